#include "authoring/picture_cells.h"

#include <QImageReader>

#include "platform/exit_signals.h"
#include "platform/port/qt/display_render.h"
#include "player/frame.h"
#include "player/movie_file.h"

#include <algorithm>
#include <cmath>

namespace glowreel {

namespace {

constexpr double kAreaWidth = kCellAreaWidth, kAreaHeight = kCellAreaHeight;
constexpr double kCellWidth = kCellPitchX, kCellHeight = kCellPitchY;
constexpr int32_t kUndelayedFrame = 100;

// Where the picture lies on the area: area = offset + scale * picture.
struct Placement {
  double scaleX, scaleY, offsetX, offsetY;
};

Placement Place(int width, int height, Fit fit) {
  const double sx = kAreaWidth / width, sy = kAreaHeight / height;
  if (fit == Fit::kStretch) return {sx, sy, 0, 0};
  const double s = fit == Fit::kContain ? std::min(sx, sy) : std::max(sx, sy);
  return {s, s, (kAreaWidth - width * s) / 2, (kAreaHeight - height * s) / 2};
}

// Brightness 0..1 of a pixel seen on black.
double Brightness(QRgb pixel, bool invert) {
  const double luma = (0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel)) / 255;
  return (invert ? 1 - luma : luma) * qAlpha(pixel) / 255;
}

// The mean brightness over [u0, u1) x [v0, v1) of the picture; what lies outside it is black.
double MeanOver(const QImage& image, double u0, double u1, double v0, double v1, bool invert) {
  double sum = 0;
  const int left = std::max(0, static_cast<int>(std::floor(u0)));
  const int right = std::min(image.width(), static_cast<int>(std::ceil(u1)));
  const int top = std::max(0, static_cast<int>(std::floor(v0)));
  const int bottom = std::min(image.height(), static_cast<int>(std::ceil(v1)));
  for (int y = top; y < bottom; ++y) {
    const double h = std::min<double>(y + 1, v1) - std::max<double>(y, v0);
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = left; x < right; ++x) {
      const double w = std::min<double>(x + 1, u1) - std::max<double>(x, u0);
      sum += w * h * Brightness(line[x], invert);
    }
  }
  return sum / ((u1 - u0) * (v1 - v0));
}

}  // namespace

Cells CellsOfPicture(const QImage& picture, const CellOptions& options) {
  const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  const bool oneToOne = image.width() == kCellColumns && image.height() == kCellRows;
  const Placement at = Place(image.width(), image.height(), oneToOne ? Fit::kStretch : options.fit);
  std::array<std::array<double, kCellRows>, kCellColumns> mean{};
  for (int x = 0; x < kCellColumns; ++x) {
    for (int y = 0; y < kCellRows; ++y) {
      const double u0 = (x * kCellWidth - at.offsetX) / at.scaleX;
      const double v0 = (y * kCellHeight - at.offsetY) / at.scaleY;
      mean[x][y] = MeanOver(image, u0, u0 + kCellWidth / at.scaleX, v0,
                            v0 + kCellHeight / at.scaleY, options.invert);
    }
  }
  const double threshold = options.threshold / 100.0;
  Cells cells{};
  for (int y = 0; y < kCellRows; ++y) {
    for (int x = 0; x < kCellColumns; ++x) {
      cells[x][y] = mean[x][y] > threshold;
      if (!options.dither) continue;
      const double error = mean[x][y] - (cells[x][y] ? 1.0 : 0.0);
      const auto spread = [&](int dx, int dy, double share) {
        if (x + dx >= 0 && x + dx < kCellColumns && y + dy < kCellRows)
          mean[x + dx][y + dy] += error * share;
      };
      spread(1, 0, 7.0 / 16);
      spread(-1, 1, 3.0 / 16);
      spread(0, 1, 5.0 / 16);
      spread(1, 1, 1.0 / 16);
    }
  }
  return cells;
}

QImage CellsLook(const Cells& cells) {
  CellGrid grid;
  for (int x = 0; x < kCellColumns; ++x)
    for (int y = 0; y < kCellRows; ++y) grid[x][y] = Cell::Char(cells[x][y] ? '1' : '0');
  PixelBuffer pixels;
  DrawCells(grid, pixels, nullptr);
  return RenderDisplay(DisplaySnapshot::Of(pixels));
}

std::string ReadPictures(const std::vector<std::string>& paths, const CellOptions& options,
                         const FrameDurations& durations, CellFrames& frames) {
  for (const std::string& path : paths) {
    if (const auto error = UnreadableFile(path))  // a picture is held to a movie's limits
      return path + ": " + std::to_string(error->Number()) + " - " + error->Description();
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    const bool animated = reader.supportsAnimation() && reader.imageCount() > 1;
    do {
      if (ExitSignalPending()) return path + ": stopped by a signal";
      const QImage picture = reader.read();
      if (picture.isNull()) return path + ": " + reader.errorString().toStdString();
      const int delay = reader.nextImageDelay();
      const int32_t own = !animated ? durations.still : delay > 0 ? delay : kUndelayedFrame;
      frames.emplace_back(durations.every.value_or(own), CellsOfPicture(picture, options));
    } while (animated && reader.canRead());
  }
  return "";
}

}  // namespace glowreel
