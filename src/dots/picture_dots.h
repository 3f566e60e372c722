#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "dots/dot_frame.h"

// Pictures onto the display: fitted to a grid of spots (the 128 x 64 dots, or a movie's cells)
// and each spot lit or dark. No window system: the headless player uses it too.
namespace glowreel {

// A picture as its pixels' brightness and opacity, 0 to 255 each, row by row.
struct GreyPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> brightness;
  std::vector<uint8_t> opacity;
  void Resize(int w, int h);
  void Set(int x, int y, uint8_t light, uint8_t alpha) {
    brightness[static_cast<std::size_t>(y * width + x)] = light;
    opacity[static_cast<std::size_t>(y * width + x)] = alpha;
  }
};

// The brightness of a colour, 0 to 255.
inline uint8_t Luma(int red, int green, int blue) {
  return static_cast<uint8_t>((299 * red + 587 * green + 114 * blue + 500) / 1000);
}

enum class Fit { kContain, kCover, kStretch };
// Its name on the command line.
const char* FitName(Fit fit);

// How long a still picture is shown unless told, and a frame of an animation that gives no
// delay (as browsers do).
inline constexpr int32_t kStillPictureMs = 100;
inline constexpr int32_t kUndelayedFrameMs = 100;

// The slices a picture's frame is held: a still one `stillSlices`, an animation's frame its
// delay in whole slices (at least one).
int32_t FrameSlices(bool animated, int delayMs, int32_t stillSlices);

struct PictureOptions {
  Fit fit = Fit::kContain;
  int threshold = 50;  // percent of full brightness a spot's mean must pass to be lit
  bool invert = false;
  bool dither = false;  // Floyd-Steinberg: each spot's rounding error goes to its neighbours
};

// --fit MODE and --threshold N as every program's command line takes them: "" when taken,
// otherwise what is wrong with them.
std::string TakeFit(const std::string& mode, PictureOptions& options);
std::string TakeThreshold(const std::string& percent, PictureOptions& options);
using TakeOption = std::string (*)(const std::string& value, PictureOptions& options);
inline constexpr std::pair<const char*, TakeOption> kPictureValueOptions[] = {
    {"fit", TakeFit}, {"threshold", TakeThreshold}};

// The picture fitted to `columns` x `rows` spots of `spotWidth` x `spotHeight` dots each, on
// black; a spot is lit when the mean brightness over it passes the threshold. Column by column:
// spot (x, y) at [x * rows + y].
std::vector<bool> LightSpots(const GreyPicture& picture, int columns, int rows, double spotWidth,
                             double spotHeight, const PictureOptions& options);

// The picture on all the display's dots.
DotFrame DotsOfPicture(const GreyPicture& picture, const PictureOptions& options);

}  // namespace glowreel
