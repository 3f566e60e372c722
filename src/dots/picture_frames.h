#pragma once

#include <functional>
#include <memory>

#include "dots/dot_frame.h"
#include "dots/picture_reader.h"

namespace glowreel {

// A picture's frames on all the display's dots, decoded as they are played: a GIF frame held
// for its delay in slices (d hundredths, d slices; 0 taken as 10, as browsers do), a still
// picture `stillSlices`. Opened again, where it was given the means, when asked to reopen.
class PictureFrames : public DotSource {
 public:
  using Opener = std::function<std::unique_ptr<PictureReader>(RunTimeError& why)>;
  PictureFrames(std::unique_ptr<PictureReader> reader, const PictureOptions& options,
                int32_t stillSlices, Opener reopen = {})
      : reader_(std::move(reader)),
        reopen_(std::move(reopen)),
        options_(options),
        stillSlices_(stillSlices) {}
  void Rewind() override { reader_->Rewind(); }
  bool Next(DotFrame& frame) override;
  std::optional<RunTimeError> TakeError() override;
  std::optional<RunTimeError> Reopen() override;

 private:
  std::unique_ptr<PictureReader> reader_;
  Opener reopen_;
  PictureOptions options_;
  int32_t stillSlices_;
  GreyPicture picture_;
  bool told_ = false;
};

}  // namespace glowreel
