#pragma once

#include <memory>

#include "dots/dot_frame.h"
#include "dots/picture_reader.h"

namespace glowreel {

// A picture's frames on all the display's dots, decoded as they are played: a GIF frame held
// for its delay in slices (d hundredths, d slices; 0 taken as 10, as browsers do), a still
// picture `stillSlices`.
class PictureFrames : public DotSource {
 public:
  PictureFrames(std::unique_ptr<PictureReader> reader, const PictureOptions& options,
                int32_t stillSlices)
      : reader_(std::move(reader)), options_(options), stillSlices_(stillSlices) {}
  void Rewind() override { reader_->Rewind(); }
  bool Next(DotFrame& frame) override;
  std::optional<RunTimeError> TakeError() override;

 private:
  std::unique_ptr<PictureReader> reader_;
  PictureOptions options_;
  int32_t stillSlices_;
  GreyPicture picture_;
  bool told_ = false;
};

}  // namespace glowreel
