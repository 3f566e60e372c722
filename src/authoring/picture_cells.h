#pragma once

#include <QImage>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/playback.h"
#include "dots/picture_dots.h"
#include "platform/qt/qt_pictures.h"

namespace glowreel {

// A frame's cells as a picture gives them: lit or dark, indexed [x][y].
using Cells = std::array<std::array<bool, kCellRows>, kCellColumns>;

using CellOptions = PictureOptions;

// The picture fitted to the 126 x 64 dots the cells cover, on black; a cell is lit when the mean
// brightness of its 7 x 8 dots passes the threshold. A picture of 18 x 8 pixels gives one cell
// per pixel, whatever the fit.
Cells CellsOfPicture(const QImage& picture, const CellOptions& options);

// The cells as the display shows them, in the virtual display's look.
QImage CellsLook(const Cells& cells);

// How long the frames of pictures last: every frame `every` when given; otherwise a still
// picture `still`, and a frame of an animated GIF its own delay (0 counts as 100 ms, as
// browsers do).
struct FrameDurations {
  std::optional<int32_t> every;
  int32_t still = kStillPictureMs;
};

// Each frame of the pictures, in order, with how long it lasts in milliseconds. Returns "" or
// "<file>: <reason>" for the first that cannot be read.
std::string ForEachPicture(const std::vector<std::string>& paths, const FrameDurations& durations,
                           const std::function<void(const QImage&, int32_t)>& onFrame);

// The frames of the pictures as cells, in order.
using CellFrames = std::vector<std::pair<int32_t, Cells>>;
std::string ReadPictures(const std::vector<std::string>& paths, const CellOptions& options,
                         const FrameDurations& durations, CellFrames& frames);

}  // namespace glowreel
