#pragma once

#include <QImage>
#include <QImageReader>
#include <QString>
#include <memory>

#include "dots/dot_frame.h"
#include "dots/picture_dots.h"

// Pictures of any format Qt reads, for the programs that have it.
namespace glowreel {

// The picture's brightness and opacity, as the full-resolution path takes pictures.
GreyPicture GreyOf(const QImage& picture);

// A picture's frames on all the display's dots, read as they are played: an animated one's
// frames each held for its delay (0 taken as 100 ms, as browsers do), a still one
// `stillSlices`.
class QtPictureFrames : public DotSource {
 public:
  QtPictureFrames(const QString& path, const PictureOptions& options, int32_t stillSlices)
      : path_(path), options_(options), stillSlices_(stillSlices) {}
  void Rewind() override;
  bool Next(DotFrame& frame) override;
  std::optional<RunTimeError> TakeError() override { return std::exchange(error_, std::nullopt); }

 private:
  QString path_;
  PictureOptions options_;
  int32_t stillSlices_;
  std::unique_ptr<QImageReader> reader_;
  bool animated_ = false;
  bool done_ = false;
  std::optional<RunTimeError> error_;
};

}  // namespace glowreel
