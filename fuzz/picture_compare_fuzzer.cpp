// The same bytes decoded by glowreel-play's readers and by Qt's: where both read a BMP or a
// PBM/PGM/PPM, they must agree on its size and, within a step of rounding, on every opaque
// pixel's brightness. A disagreement is a picture glowreel-play shows differently from the
// window and the converter.
#include <sys/mman.h>
#include <unistd.h>

#include <QImage>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dots/picture_reader.h"

namespace {

// Bit fields narrower than a byte, run-length gaps and palette indices past the palette are
// scaled or filled differently by each reader, colours count differently in grey, and Qt reads
// a plain bitmap's digits run together as one number (each is a pixel); only what both must
// decode alike is compared.
bool Comparable(const std::string& bytes, glowreel::FileKind kind) {
  if (kind == glowreel::FileKind::kPnm)
    return bytes.size() > 1 && (bytes[1] == '2' || bytes[1] == '4' || bytes[1] == '5');
  if (kind != glowreel::FileKind::kBmp || bytes.size() < 54) return false;
  const auto u16 = [&](std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
  };
  const int bpp = u16(28), compression = u16(30) | u16(32) << 16, info = u16(14);
  // Pixels that overlap the palette are read from different places by each.
  const int palette = bpp <= 8 ? 4 << bpp : 0, offset = u16(10) | u16(12) << 16;
  return info == 40 && compression == 0 && (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24) &&
         u16(46) == 0 && u16(48) == 0 && offset >= 54 + palette;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const glowreel::FileKind kind = glowreel::KindOfHead(bytes, "picture");
  if (!Comparable(bytes, kind)) return 0;
  const int fd = memfd_create("picture", 0);
  if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size)) return close(fd), 0;
  glowreel::RunTimeError why(0);
  auto reader = glowreel::OpenPicture("/proc/self/fd/" + std::to_string(fd), why);
  close(fd);
  QImage theirs;
  if (!reader || !theirs.loadFromData(data, static_cast<int>(size))) return 0;
  glowreel::GreyPicture ours;
  int delay = 0;
  if (!reader->Next(ours, delay)) return 0;
  if (ours.width != theirs.width() || ours.height != theirs.height()) {
    std::fprintf(stderr, "size %dx%d, Qt %dx%d\n", ours.width, ours.height, theirs.width(),
                 theirs.height());
    std::abort();
  }
  const QImage argb = theirs.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < ours.height; ++y)
    for (int x = 0; x < ours.width; ++x) {
      const QRgb pixel = argb.pixel(x, y);
      const int mine = ours.brightness[static_cast<std::size_t>(y * ours.width + x)];
      const int qt = glowreel::Luma(qRed(pixel), qGreen(pixel), qBlue(pixel));
      if (qAlpha(pixel) == 255 && std::abs(mine - qt) > 1) {
        std::fprintf(stderr, "pixel %d,%d: %d, Qt %d\n", x, y, mine, qt);
        std::abort();
      }
    }
  return 0;
}
