#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/display_facts.h"

// What is playing and what the display shows: one object, handed to the display driver, the
// sessions, the platforms and the live display's stage.
namespace glowreel {

inline constexpr int16_t kLit = -1;  // a lit pixel as the frame writes it; any non-zero reads lit
inline constexpr int16_t kDark = 0;

// 128 x 64 pixels, indexed column first: pixelBuffer[x][y].
using PixelBuffer = std::array<std::array<int16_t, kPixelRows>, kPixelColumns>;

// A cell holds no value (never written), the empty text (past the end of a short row), or one
// character of the movie file.
class Cell {
 public:
  constexpr Cell() = default;  // no value
  static constexpr Cell NoValue() { return Cell(kNoValue); }
  static constexpr Cell EmptyText() { return Cell(kEmptyText); }
  static constexpr Cell Char(char c) { return Cell(static_cast<unsigned char>(c)); }

  constexpr bool HasValue() const { return code_ != kNoValue; }
  constexpr bool IsEmptyText() const { return code_ == kEmptyText; }
  // The character; only meaningful when the cell holds one.
  constexpr char Character() const { return static_cast<char>(code_); }
  constexpr bool operator==(const Cell&) const = default;

 private:
  static constexpr int16_t kNoValue = -2;
  static constexpr int16_t kEmptyText = -1;
  constexpr explicit Cell(int16_t code) : code_(code) {}
  int16_t code_ = kNoValue;
};

// 18 x 8 cells, indexed column first: cellGrid[x][y].
using CellGrid = std::array<std::array<Cell, kCellRows>, kCellColumns>;

// One display's playback. The window program, each player and the editor's preview keep their
// own.
struct Playback {
  PixelBuffer pixelBuffer{};
  CellGrid cellGrid{};
  bool bPlaying = false;
  std::string sMovieFile;
  bool bDisplayReady = false;  // initialised, so there is something to clear and fade out
  int32_t lPortBase = 0;
  // The program is ending (its main window has been unloaded, or a signal asked it to end):
  // every pause still running ends at once.
  bool bExiting = false;
  // The level last sent to the display; the fade-out starts there.
  int16_t iBrightness = kFullBrightness;
};

}  // namespace glowreel
