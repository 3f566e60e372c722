#include "platform/port/qt/display_render.h"

#include <algorithm>

namespace glowreel {

namespace {

constexpr int kDotPitch = 5;
constexpr int kDotSize = 4;
constexpr int kBorder = 12;
constexpr QRgb kGlow = qRgb(0x40, 0xFF, 0x90);  // the blue-green of a vacuum-fluorescent dot
constexpr QRgb kUnlitDot = qRgb(0x0C, 0x16, 0x10);

QRgb Dimmed(QRgb colour, int brightness) {
  // Level 0 still glows faintly, as the real tube does.
  const int scale = 64 + (brightness * (255 - 64)) / DisplayModel::kMaxBrightness;
  return qRgb(qRed(colour) * scale / 255, qGreen(colour) * scale / 255,
              qBlue(colour) * scale / 255);
}

}  // namespace

DisplaySnapshot DisplaySnapshot::Of(const DisplayModel& model) {
  DisplaySnapshot snapshot;
  snapshot.brightness = model.Brightness();
  snapshot.on = model.IsOn();
  for (int y = 0; y < DisplayModel::kHeight; ++y)
    for (int x = 0; x < DisplayModel::kWidth; ++x)
      snapshot.lit[y * DisplayModel::kWidth + x] = model.Lit(x, y);
  return snapshot;
}

DisplaySnapshot DisplaySnapshot::Of(const PixelBuffer& pixels) {
  DisplaySnapshot snapshot;
  snapshot.on = true;
  for (int y = 0; y < kPixelRows; ++y)
    for (int x = 0; x < kPixelColumns; ++x) snapshot.lit[y * kPixelColumns + x] = pixels[x][y] != 0;
  return snapshot;
}

std::optional<DisplaySnapshot> SnapshotOfRender(const QImage& picture) {
  if (picture.width() != 2 * kBorder + DisplayModel::kWidth * kDotPitch ||
      picture.height() != 2 * kBorder + DisplayModel::kHeight * kDotPitch)
    return std::nullopt;
  DisplaySnapshot snapshot;
  snapshot.on = true;
  for (int y = 0; y < DisplayModel::kHeight; ++y)
    for (int x = 0; x < DisplayModel::kWidth; ++x) {
      const QRgb middle = picture.pixel(kBorder + x * kDotPitch + kDotSize / 2,
                                        kBorder + y * kDotPitch + kDotSize / 2);
      snapshot.lit[y * DisplayModel::kWidth + x] = qGreen(middle) > 2 * qGreen(kUnlitDot);
    }
  return snapshot;
}

std::vector<QRgb> DisplayPalette() {
  std::vector<QRgb> palette = {qRgb(0, 0, 0), kUnlitDot};
  for (int level = 0; level <= DisplayModel::kMaxBrightness; ++level)
    palette.push_back(Dimmed(kGlow, level));
  return palette;
}

QImage RenderDisplay(const DisplaySnapshot& snapshot) {
  const int width = 2 * kBorder + DisplayModel::kWidth * kDotPitch;
  const int height = 2 * kBorder + DisplayModel::kHeight * kDotPitch;
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::black);
  const QRgb lit = Dimmed(kGlow, snapshot.brightness);
  // Plain loops over the scan lines: every frame of a GIF export and of the window passes here.
  for (int y = 0; y < DisplayModel::kHeight; ++y) {
    for (int row = 0; row < kDotSize; ++row) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(kBorder + y * kDotPitch + row));
      for (int x = 0; x < DisplayModel::kWidth; ++x) {
        const bool glowing = snapshot.on && snapshot.lit[y * DisplayModel::kWidth + x];
        std::fill_n(line + kBorder + x * kDotPitch, kDotSize, glowing ? lit : kUnlitDot);
      }
    }
  }
  return image;
}

}  // namespace glowreel
