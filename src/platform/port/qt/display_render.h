#pragma once

#include <QImage>
#include <bitset>
#include <optional>
#include <vector>

#include "core/playback.h"
#include "platform/port/display_model.h"

namespace glowreel {

// What the display shows at one moment.
struct DisplaySnapshot {
  std::bitset<DisplayModel::kWidth * DisplayModel::kHeight> lit;
  int brightness = DisplayModel::kMaxBrightness;
  bool on = false;

  static DisplaySnapshot Of(const DisplayModel& model);
  // A lit display showing these pixels at full brightness.
  static DisplaySnapshot Of(const PixelBuffer& pixels);
};

// The display drawn as glowing square dots on black, dimmer for lower brightness.
QImage RenderDisplay(const DisplaySnapshot& snapshot);
// The dots of a picture RenderDisplay drew (a GIF export's frame read back): its size, each dot
// lit where its middle glows; nothing for any other picture.
std::optional<DisplaySnapshot> SnapshotOfRender(const QImage& picture);
// Every colour RenderDisplay draws with.
std::vector<QRgb> DisplayPalette();

}  // namespace glowreel
