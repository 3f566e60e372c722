#include "dots/picture_frames.h"

namespace glowreel {

bool PictureFrames::Next(DotFrame& frame) {
  int delay = 0;
  if (!reader_->Next(picture_, delay)) return false;
  frame = DotsOfPicture(picture_, options_);
  frame.slices = FrameSlices(reader_->Animated(), delay * 10, stillSlices_);  // hundredths
  return true;
}

std::optional<RunTimeError> PictureFrames::TakeError() {
  // A broken file is told on the first pass, not again on each.
  if (told_ || !reader_->Error()) return std::nullopt;
  told_ = true;
  return reader_->Error();
}

}  // namespace glowreel
