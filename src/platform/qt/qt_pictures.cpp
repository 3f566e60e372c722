#include "platform/qt/qt_pictures.h"

#include "dots/picture_reader.h"
#include "platform/process_setup.h"

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

void QtPictureFrames::Rewind() {
  reader_ = std::make_unique<QImageReader>(path_);
  reader_->setAutoTransform(true);
  animated_ = reader_->supportsAnimation() && reader_->imageCount() > 1;
  done_ = false;
}

bool QtPictureFrames::Next(DotFrame& frame) {
  if (!reader_) Rewind();
  if (done_ || (animated_ && !reader_->canRead())) return false;
  QImage picture;
  {
    const QuietStandardError quiet;  // libpng's own complaint; the report says it once
    picture = reader_->read();
  }
  if (picture.isNull()) {
    error_ = BadPicture(reader_->errorString().toStdString());
    return !(done_ = true);
  }
  const int delay = reader_->nextImageDelay();
  frame = DotsOfPicture(GreyOf(picture), options_);
  frame.slices = FrameSlices(animated_, delay, stillSlices_);
  done_ = !animated_;
  return true;
}

}  // namespace glowreel
