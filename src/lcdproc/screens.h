#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a client of lcdproc's protocol has put up: its screens and their widgets, positions in
// the protocol's own terms (characters of the 21 x 8 grid from 1, bars in dots).
namespace glowreel::lcdproc {

// The character grid the display offers: the 5 x 7 font on its 6 x 8 pitch fills 21 x 8.
inline constexpr int kColumns = 21;
inline constexpr int kRows = 8;
inline constexpr int kCellWidth = 6;
inline constexpr int kCellHeight = 8;

// Screens of the higher classes show first; only background, info and foreground take turns.
enum class Priority { kHidden, kBackground, kInfo, kForeground, kAlert, kInput };

enum class WidgetType {
  kString,
  kTitle,
  kHbar,
  kVbar,
  kPbar,
  kIcon,
  kScroller,
  kFrame,
  kNum,
  kPixmap
};

struct Widget {
  std::string id;
  WidgetType type = WidgetType::kString;
  std::string frame;  // the frame widget it is in; empty: the screen itself
  // Where: a character's column and row from 1; a scroller or frame to (right, bottom).
  int x = 1, y = 1, right = 0, bottom = 0;
  // hbar and vbar: dots long; pbar: characters wide and tenths of a percent; num: the digit,
  // 10 a colon; frame: the rows and columns inside; pixmap: dots across and down.
  int length = 0, width = 0, height = 0, promille = 0;
  char direction = 'h';  // a scroller's h, v or m; a frame's h or v
  int speed = 0;         // movements a stroke of 1/8 s; negative: strokes a movement
  std::string text;      // a string's, title's or scroller's text; pbar's begin label; icon's name
  std::string endLabel;
  std::vector<uint8_t> dots;  // a pixmap's, a byte a column of each 8-dot page, as the display's
  std::string media;          // or the stored picture it shows
  bool set = false;           // nothing is drawn before the first widget_set
};

struct Screen {
  std::string id;
  std::string name;
  int width = kColumns, height = kRows;
  Priority priority = Priority::kInfo;
  std::string heartbeat = "open", backlight = "open", cursor = "off";
  int cursorX = 1, cursorY = 1;
  int durationEighths = 0;  // 0: the server's turn length
  int timeoutEighths = -1;  // shown this long in all, then deleted; -1 never
  std::vector<Widget> widgets;
};

}  // namespace glowreel::lcdproc
