#include "dots/picture_frames.h"

namespace glowreel {

namespace {
constexpr int32_t kUndelayedSlices = 10;
}

bool PictureFrames::Next(DotFrame& frame) {
  int delay = 0;
  if (!reader_->Next(picture_, delay)) return false;
  frame = DotsOfPicture(picture_, options_);
  frame.slices = !reader_->Animated() ? stillSlices_ : delay > 0 ? delay : kUndelayedSlices;
  return true;
}

std::optional<RunTimeError> PictureFrames::TakeError() {
  // A broken file is told on the first pass, not again on each.
  if (told_ || !reader_->Error()) return std::nullopt;
  told_ = true;
  return reader_->Error();
}

}  // namespace glowreel
