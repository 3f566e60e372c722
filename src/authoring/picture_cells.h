#pragma once

#include <QImage>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "dots/picture_dots.h"

namespace glowreel {

// A frame's cells as a picture gives them: lit or dark, indexed [x][y].
using Cells = std::array<std::array<bool, kCellRows>, kCellColumns>;

using CellOptions = PictureOptions;

// The picture's brightness and opacity, as the full-resolution path takes pictures.
GreyPicture GreyOf(const QImage& picture);

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
  int32_t still = 100;
};

// The frames of the pictures, in order. Returns "" or "<file>: <reason>" for the first that
// cannot be read.
using CellFrames = std::vector<std::pair<int32_t, Cells>>;
std::string ReadPictures(const std::vector<std::string>& paths, const CellOptions& options,
                         const FrameDurations& durations, CellFrames& frames);

}  // namespace glowreel
