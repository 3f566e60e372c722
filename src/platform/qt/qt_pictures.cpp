#include "platform/qt/qt_pictures.h"

#include "dots/picture_reader.h"
#include "platform/process_setup.h"
#include "platform/whole_file.h"

namespace glowreel {

GreyPicture GreyOf(const QImage& picture) {
  const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  GreyPicture grey;
  grey.Resize(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      grey.Set(x, y, Luma(qRed(line[x]), qGreen(line[x]), qBlue(line[x])),
               static_cast<uint8_t>(qAlpha(line[x])));
  }
  return grey;
}

PictureFile::PictureFile(const std::string& path) {
  std::string bytes;
  if (const int32_t error = ReadWholeFile(path, bytes); error != 0) error_ = RunTimeError(error);
  bytes_ = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
  buffer_.setBuffer(&bytes_);
  buffer_.open(QIODevice::ReadOnly);
  QImageReader::setAllocationLimit(kPictureMegabytes);
  reader_.setDevice(&buffer_);
  reader_.setAutoTransform(true);
}

void QtPictureFrames::Rewind() {
  file_ = std::make_unique<PictureFile>(path_);
  QImageReader& reader = file_->reader();
  animated_ = reader.supportsAnimation() && reader.imageCount() > 1;
  done_ = false;
}

bool QtPictureFrames::Next(DotFrame& frame) {
  if (!file_) Rewind();
  QImageReader& reader = file_->reader();
  if (done_ || (animated_ && !reader.canRead())) return false;
  if (file_->Error()) {
    error_ = file_->Error();
    return !(done_ = true);
  }
  QImage picture;
  {
    const QuietStandardError quiet;  // libpng's own complaint; the report says it once
    picture = reader.read();
  }
  if (picture.isNull()) {
    error_ = BadPicture(reader.errorString().toStdString());
    return !(done_ = true);
  }
  const int delay = reader.nextImageDelay();
  frame = DotsOfPicture(GreyOf(picture), options_);
  frame.slices = FrameSlices(animated_, delay, stillSlices_);
  done_ = !animated_;
  return true;
}

}  // namespace glowreel
