#include "dots/picture_dots.h"

#include <algorithm>
#include <cmath>

namespace glowreel {
namespace {

// Where the picture lies on the area: area = offset + scale * picture.
struct Placement {
  double scaleX, scaleY, offsetX, offsetY;
};

Placement Place(const GreyPicture& picture, double areaWidth, double areaHeight, Fit fit) {
  const double sx = areaWidth / picture.width, sy = areaHeight / picture.height;
  if (fit == Fit::kStretch) return {sx, sy, 0, 0};
  const double s = fit == Fit::kContain ? std::min(sx, sy) : std::max(sx, sy);
  return {s, s, (areaWidth - picture.width * s) / 2, (areaHeight - picture.height * s) / 2};
}

// The mean brightness over [u0, u1) x [v0, v1) of the picture seen on black; what lies outside
// it is black.
double MeanOver(const GreyPicture& picture, double u0, double u1, double v0, double v1,
                bool invert) {
  double sum = 0;
  const int left = std::max(0, static_cast<int>(std::floor(u0)));
  const int right = std::min(picture.width, static_cast<int>(std::ceil(u1)));
  const int top = std::max(0, static_cast<int>(std::floor(v0)));
  const int bottom = std::min(picture.height, static_cast<int>(std::ceil(v1)));
  for (int y = top; y < bottom; ++y) {
    const double h = std::min<double>(y + 1, v1) - std::max<double>(y, v0);
    for (int x = left; x < right; ++x) {
      const double w = std::min<double>(x + 1, u1) - std::max<double>(x, u0);
      const auto at = static_cast<std::size_t>(y * picture.width + x);
      const double light = picture.brightness[at] / 255.0;
      sum += w * h * (invert ? 1 - light : light) * picture.opacity[at] / 255.0;
    }
  }
  return sum / ((u1 - u0) * (v1 - v0));
}

constexpr std::pair<const char*, Fit> kFits[] = {
    {"contain", Fit::kContain}, {"cover", Fit::kCover}, {"stretch", Fit::kStretch}};

}  // namespace

const char* FitName(Fit fit) {
  for (const auto& [name, each] : kFits)
    if (each == fit) return name;
  return "";
}

int32_t FrameSlices(bool animated, int delayMs, int32_t stillSlices) {
  if (!animated) return stillSlices;
  const int ms = delayMs > 0 ? delayMs : kUndelayedFrameMs;
  return std::max(1, (ms + kSliceMs / 2) / kSliceMs);
}

std::string TakeFit(const std::string& mode, PictureOptions& options) {
  for (const auto& [name, fit] : kFits)
    if (mode == name) return options.fit = fit, "";
  return "--fit takes contain, cover or stretch";
}

std::string TakeThreshold(const std::string& percent, PictureOptions& options) {
  const bool number = !percent.empty() && percent.size() <= 3 &&
                      percent.find_first_not_of("0123456789") == std::string::npos;
  if (!number || std::stoi(percent) > 100) return "--threshold takes a number from 0 to 100";
  options.threshold = std::stoi(percent);
  return "";
}

void GreyPicture::Resize(int w, int h) {
  width = w;
  height = h;
  brightness.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
  opacity.assign(brightness.size(), 0);
}

std::vector<bool> LightSpots(const GreyPicture& picture, int columns, int rows, double spotWidth,
                             double spotHeight, const PictureOptions& options) {
  std::vector<bool> lit(static_cast<std::size_t>(columns * rows));
  if (picture.width <= 0 || picture.height <= 0) return lit;
  const Placement at = Place(picture, columns * spotWidth, rows * spotHeight, options.fit);
  std::vector<double> mean(lit.size());
  const auto spot = [rows](int x, int y) { return static_cast<std::size_t>(x * rows + y); };
  for (int x = 0; x < columns; ++x) {
    for (int y = 0; y < rows; ++y) {
      const double u0 = (x * spotWidth - at.offsetX) / at.scaleX;
      const double v0 = (y * spotHeight - at.offsetY) / at.scaleY;
      mean[spot(x, y)] = MeanOver(picture, u0, u0 + spotWidth / at.scaleX, v0,
                                  v0 + spotHeight / at.scaleY, options.invert);
    }
  }
  const double threshold = options.threshold / 100.0;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < columns; ++x) {
      lit[spot(x, y)] = mean[spot(x, y)] > threshold;
      if (!options.dither) continue;
      const double error = mean[spot(x, y)] - (lit[spot(x, y)] ? 1.0 : 0.0);
      const auto spread = [&](int dx, int dy, double share) {
        if (x + dx >= 0 && x + dx < columns && y + dy < rows)
          mean[spot(x + dx, y + dy)] += error * share;
      };
      spread(1, 0, 7.0 / 16);
      spread(-1, 1, 3.0 / 16);
      spread(0, 1, 5.0 / 16);
      spread(1, 1, 1.0 / 16);
    }
  }
  return lit;
}

DotFrame DotsOfPicture(const GreyPicture& picture, const PictureOptions& options) {
  const std::vector<bool> lit = LightSpots(picture, kPixelColumns, kPixelRows, 1, 1, options);
  DotFrame frame;
  for (int x = 0; x < kPixelColumns; ++x)
    for (int y = 0; y < kPixelRows; ++y)
      frame.At(x, y) = lit[static_cast<std::size_t>(x * kPixelRows + y)];
  return frame;
}

}  // namespace glowreel
