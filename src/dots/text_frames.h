#pragma once

#include <string>
#include <vector>

#include "dots/dot_frame.h"

namespace glowreel {

// Text in the pixel font. Lines are broken at line feeds and at "\n" written out (more than 8
// are joined into one again); lines of up to 21 characters stand still in the middle of the
// display, held `holdSlices`. Longer ones, or any text given `scrollSlices` per dot step, come
// in at the right edge and leave at the left, the lines one block in the middle.
class TextFrames : public DotSource {
 public:
  TextFrames(const std::string& utf8, int32_t holdSlices, int32_t scrollSlices = 0);
  void Rewind() override { step_ = 0; }
  bool Next(DotFrame& frame) override;

  // Dots of the widest line; whether the text scrolls.
  int Width() const { return width_; }
  bool Scrolls() const { return scrollSlices_ > 0; }

 private:
  std::vector<std::u32string> lines_;
  int width_ = 0;
  int32_t holdSlices_;
  int32_t scrollSlices_;
  int step_ = 0;
};

// What a marquee steps at when the text does not fit and no speed was asked: 30 ms a dot.
inline constexpr int32_t kDefaultScrollSlices = 3;

}  // namespace glowreel
