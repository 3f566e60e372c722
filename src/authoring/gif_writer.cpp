#include "authoring/gif_writer.h"

#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace glowreel {

namespace {
constexpr int kLongestDelay = 65535;  // hundredths of a second, the most a frame can say
}  // namespace

GifWriter::GifWriter(const std::string& path, int width, int height,
                     const std::vector<QRgb>& palette, bool loop)
    : file_(path), width_(width), height_(height), palette_(palette) {
  if (file_.Fd() < 0) {
    error_ = file_.Error();
    return;
  }
  int code = 0;
  gif_ = EGifOpenFileHandle(dup(file_.Fd()), &code);
  if (!gif_) {
    Fail(code);
    return;
  }
  int mapSize = 2;
  while (mapSize < static_cast<int>(palette_.size())) mapSize *= 2;
  ColorMapObject* map = GifMakeMapObject(mapSize, nullptr);
  for (std::size_t i = 0; i < palette_.size(); ++i) {
    map->Colors[i] = {static_cast<GifByteType>(qRed(palette_[i])),
                      static_cast<GifByteType>(qGreen(palette_[i])),
                      static_cast<GifByteType>(qBlue(palette_[i]))};
  }
  EGifSetGifVersion(gif_, true);
  bool good = EGifPutScreenDesc(gif_, width, height, 8, 0, map) == GIF_OK;
  GifFreeMapObject(map);
  if (good && loop) {  // the NETSCAPE2.0 block: loop for ever
    const GifByteType loops[] = {1, 0, 0};
    good = EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif_, 11, "NETSCAPE2.0") == GIF_OK &&
           EGifPutExtensionBlock(gif_, 3, loops) == GIF_OK &&
           EGifPutExtensionTrailer(gif_) == GIF_OK;
  }
  if (!good) Fail(gif_->Error);
}

GifWriter::~GifWriter() {
  if (gif_) EGifCloseFile(gif_, nullptr);
}

void GifWriter::Fail(int code) {
  if (!error_.empty()) return;
  const bool written = code == E_GIF_ERR_WRITE_FAILED || code == E_GIF_ERR_DISK_IS_FULL ||
                       code == E_GIF_ERR_CLOSE_FAILED;
  const char* text = written && errno != 0 ? std::strerror(errno) : GifErrorString(code);
  error_ = text ? text : "cannot write the GIF";
}

void GifWriter::Add(const QImage& picture, int64_t holdMs) {
  for (int64_t delay = (holdMs + 5) / 10; delay > 0 && error_.empty(); delay -= kLongestDelay) {
    if (!PutFrame(picture, static_cast<int>(std::min<int64_t>(delay, kLongestDelay))))
      Fail(gif_->Error);
  }
}

bool GifWriter::PutFrame(const QImage& picture, int delay) {
  GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, delay, NO_TRANSPARENT_COLOR};
  GifByteType extension[4];
  EGifGCBToExtension(&control, extension);
  if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_OK ||
      EGifPutImageDesc(gif_, 0, 0, width_, height_, false, nullptr) != GIF_OK)
    return false;
  std::vector<GifPixelType> line(static_cast<std::size_t>(width_));
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  QRgb last = palette_.front();
  GifPixelType lastIndex = 0;
  for (int y = 0; y < height_; ++y) {
    const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < width_; ++x) {
      if (pixels[x] != last) {  // pictures are runs of few colours
        last = pixels[x];
        const auto found = std::find(palette_.begin(), palette_.end(), last);
        lastIndex = static_cast<GifPixelType>(
            found == palette_.end() ? 0 : std::distance(palette_.begin(), found));
      }
      line[x] = lastIndex;
    }
    if (EGifPutLine(gif_, line.data(), width_) != GIF_OK) return false;
  }
  ++frames_;
  return true;
}

std::string GifWriter::Finish() {
  if (gif_) {
    int code = 0;
    if (EGifCloseFile(gif_, &code) != GIF_OK) Fail(code);
    gif_ = nullptr;
  }
  return error_.empty() ? file_.Commit() : error_;
}

}  // namespace glowreel
