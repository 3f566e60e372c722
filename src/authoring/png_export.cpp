#include "authoring/png_export.h"

#include <unistd.h>

#include <QBuffer>
#include <cstdio>
#include <cstring>

#include "platform/exit_signals.h"
#include "platform/port/qt/display_render.h"
#include "platform/replace_file.h"

namespace glowreel {

std::string WritePng(const std::string& path, const QImage& picture) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, "PNG")) return "the picture cannot be made a PNG";
  ReplacementFile file(path);
  if (!file.Write(bytes.constData(), static_cast<std::size_t>(bytes.size()))) return file.Error();
  return file.Commit();
}

PngSequence::PngSequence(const std::string& path) : stem_(path) {
  if (stem_.size() > 4 && stem_.compare(stem_.size() - 4, 4, ".png") == 0)
    stem_.resize(stem_.size() - 4);
}

std::string PngSequence::PathOf(int n) const {
  char number[16];
  std::snprintf(number, sizeof number, "-%04d.png", n);
  return stem_ + number;
}

PngSequence::~PngSequence() {
  for (int n = whole_ ? frames_ + 1 : 1; n <= frames_; ++n) unlink(PathOf(n).c_str());
}

void PngSequence::Add(const QImage& picture, int64_t) {
  if (!error_.empty()) return;
  const std::string path = PathOf(++frames_);
  if (const std::string failure = WritePng(path, picture); !failure.empty()) {
    error_ = path + ": " + failure;
    --frames_;
  }
}

std::string PngSequence::Finish() {
  whole_ = error_.empty() && !ExitSignalPending();
  return error_;
}

SpriteSheet::SpriteSheet(const std::string& path) : path_(path) {
  for (const QRgb colour : DisplayPalette()) palette_.push_back(colour);
}

void SpriteSheet::Add(const QImage& picture, int64_t) {
  tooMany_ = tooMany_ || Frames() == kMostFrames;
  // Kept in the display's few colours, a byte a pixel, until the sheet's size is known.
  if (!tooMany_)
    pictures_.push_back(picture.convertToFormat(QImage::Format_Indexed8, palette_,
                                                Qt::ThresholdDither | Qt::AvoidDither));
}

std::string SpriteSheet::Finish() {
  if (tooMany_)
    return "more than " + std::to_string(kMostFrames) +
           " pictures for one sheet: export a sequence of pictures instead";
  if (pictures_.empty()) return "";
  const QSize one = pictures_.front().size();
  const int across = std::min(Frames(), kAcross);
  const int down = (Frames() + kAcross - 1) / kAcross;
  QImage sheet(one.width() * across, one.height() * down, QImage::Format_Indexed8);
  sheet.setColorTable(palette_);
  sheet.fill(0);
  for (int k = 0; k < Frames(); ++k)
    for (int y = 0; y < one.height(); ++y)
      std::memcpy(sheet.scanLine(k / kAcross * one.height() + y) + k % kAcross * one.width(),
                  pictures_[k].constScanLine(y), static_cast<std::size_t>(one.width()));
  return WritePng(path_, sheet);
}

}  // namespace glowreel
