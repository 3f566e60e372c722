#pragma once

#include <string>
#include <vector>

#include "dots/dot_frame.h"

namespace glowreel {

// What a marquee steps at when the text does not fit and no speed was asked: 30 ms a dot.
inline constexpr int32_t kDefaultScrollSlices = 3;

// A marquee step asked in milliseconds, in whole slices: at least one.
inline int32_t ScrollSlices(int32_t ms) {
  return ms < kSliceMs ? 1 : (ms + kSliceMs / 2) / kSliceMs;
}

// Text in the pixel font on an area of `columns` x `rows` dots from the top left (the display's,
// or a movie's 18 x 8 cells taken as dots). Lines are broken at line feeds and at "\n" written
// out (more than fit are joined into one again); lines that fit (21 characters across the
// display) stand still in the middle, held `holdSlices`. Longer ones, or any text given
// `scrollSlices` per step, come in at the right edge and leave at the left a dot a step, the
// lines one block in the middle; unasked, at `fallbackScroll` a step.
class TextFrames : public DotSource {
 public:
  TextFrames(const std::string& utf8, int32_t holdSlices, int32_t scrollSlices = 0,
             int32_t fallbackScroll = kDefaultScrollSlices, int columns = kPixelColumns,
             int rows = kPixelRows);
  void Rewind() override { step_ = 0; }
  bool Next(DotFrame& frame) override;

  // Dots of the widest line; whether the text scrolls.
  int Width() const { return width_; }
  bool Scrolls() const { return scrollSlices_ > 0; }

 private:
  std::vector<std::u32string> lines_;
  int columns_;
  int rows_;
  int width_ = 0;
  int32_t holdSlices_;
  int32_t scrollSlices_;
  int step_ = 0;
};

}  // namespace glowreel
