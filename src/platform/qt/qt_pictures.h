#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "dots/dot_frame.h"
#include "dots/picture_dots.h"

// Pictures of any format Qt reads, for the programs that have it.
namespace glowreel {

// The picture's brightness and opacity, as the full-resolution path takes pictures.
GreyPicture GreyOf(const QImage& picture);

// A picture file for Qt's reader, its bytes read through the programs' one way of opening
// files (never blocking on a FIFO, regular files only, size-capped). A photo of up to
// kPictureMegabytes decoded is read; Qt's own limit stops at about 33 megapixels.
inline constexpr int kPictureMegabytes = 1024;
class PictureFile {
 public:
  explicit PictureFile(const std::string& path);
  // Why the file cannot be read at all, or nothing; then reader() has its bytes.
  const std::optional<RunTimeError>& Error() const { return error_; }
  QImageReader& reader() { return reader_; }

 private:
  QByteArray bytes_;
  QBuffer buffer_;
  QImageReader reader_;
  std::optional<RunTimeError> error_;
};

// A picture's frames on all the display's dots, read as they are played: an animated one's
// frames each held for its delay (0 taken as 100 ms, as browsers do), a still one
// `stillSlices`.
class QtPictureFrames : public DotSource {
 public:
  QtPictureFrames(const std::string& path, const PictureOptions& options, int32_t stillSlices)
      : path_(path), options_(options), stillSlices_(stillSlices) {}
  void Rewind() override;
  bool Next(DotFrame& frame) override;
  std::optional<RunTimeError> TakeError() override { return std::exchange(error_, std::nullopt); }

 private:
  std::string path_;
  PictureOptions options_;
  int32_t stillSlices_;
  std::unique_ptr<PictureFile> file_;
  bool animated_ = false;
  bool done_ = false;
  std::optional<RunTimeError> error_;
};

}  // namespace glowreel
