#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/display_facts.h"
#include "platform/run_time_error.h"

// Frames of every dot of the display, for what a movie's cells cannot show: text, pictures.
namespace glowreel {

// A frame of all 128 x 64 dots, row by row, and how many 10 ms slices it is held.
struct DotFrame {
  std::array<bool, kPixelColumns * kPixelRows> dots{};
  int32_t slices = 1;
  bool& At(int x, int y) { return dots[static_cast<std::size_t>(y * kPixelColumns + x)]; }
  bool At(int x, int y) const { return dots[static_cast<std::size_t>(y * kPixelColumns + x)]; }
};

// Where a player's frames come from, one at a time as they are shown, pass after pass.
class DotSource {
 public:
  virtual ~DotSource() = default;
  // Starts a pass at the first frame.
  virtual void Rewind() = 0;
  // The next frame of the pass into `frame`; false at the pass's end.
  virtual bool Next(DotFrame& frame) = 0;
  // Why the pass ended before its frames did, once.
  virtual std::optional<RunTimeError> TakeError() { return std::nullopt; }
};

}  // namespace glowreel
