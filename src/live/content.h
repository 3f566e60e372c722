#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a live display shows: a playlist in the background, messages on top, a schedule over
// both. Plain values: the JSON of the API and of playlist files reads into and writes from them.
namespace glowreel::live {

// kScreens: the screens other programs keep on the display (lcdproc's clients).
enum class ItemKind { kMovie, kPicture, kText, kClock, kScreens };

// A thing to show, as a playlist item or a message's content.
struct Item {
  ItemKind kind = ItemKind::kText;
  std::string source;      // movie or picture: a stored media name or, from a playlist file, a path
  std::string text;        // text: the words; clock: the time's strftime format
  std::string date;        // clock: the date's strftime format under the time, empty for none
  int32_t passes = 0;      // 0: one pass, or as long as durationMs where that is given
  int32_t durationMs = 0;  // 0: as long as its passes take
  int32_t scrollMs = 0;    // text: a marquee step, 0 where unasked
};

enum class Priority { kInfo, kAlert };

struct Message {
  uint64_t id = 0;
  Item content;
  Priority priority = Priority::kInfo;
  int32_t repeat = 1;       // showings still to come
  int64_t lifetimeMs = 0;   // from its posting until it must have been shown; 0: the default
  int64_t expiresAtMs = 0;  // CLOCK_MONOTONIC milliseconds
};

// A time-of-day window on some weekdays: the brightness there, whether the display is on, and
// which playlist items play (all where none are named). A window whose end is before its start
// runs past midnight and belongs to the weekday it starts on.
struct ScheduleWindow {
  std::array<bool, 7> days{true, true, true, true, true, true, true};  // Sunday first, as tm_wday
  int32_t fromMinute = 0;                                              // minutes after midnight
  int32_t toMinute = 0;               // equal to fromMinute: the whole day
  std::optional<int16_t> brightness;  // the display's level, 0-15
  bool on = true;
  std::vector<int32_t> items;  // playlist indices
};

// Where other programs' screens take their place: in turns with the playlist's items, before
// them, only when the playlist has nothing to show, or never; alert screens interrupt in all.
enum class ScreensPlace { kTurns, kFirst, kLast, kAlerts };

struct Playlist {
  std::vector<Item> items;
  std::vector<ScheduleWindow> schedule;
};

// The display's level from a person's 1-16, and back.
inline int16_t LevelOfBrightness(int32_t brightness) {
  return static_cast<int16_t>(brightness - 1);
}
inline int32_t BrightnessOfLevel(int16_t level) {
  return level + 1;
}

}  // namespace glowreel::live
