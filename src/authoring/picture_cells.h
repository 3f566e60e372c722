#pragma once

#include <QImage>
#include <array>

#include "core/shared_state.h"

namespace glowreel {

// A frame's cells as a picture gives them: lit or dark, indexed [x][y].
using Cells = std::array<std::array<bool, kCellRows>, kCellColumns>;

enum class Fit { kContain, kCover, kStretch };

struct CellOptions {
  Fit fit = Fit::kContain;
  int threshold = 50;  // percent of full brightness a cell's mean must pass to be lit
  bool invert = false;
  bool dither = false;  // Floyd-Steinberg: each cell's rounding error goes to its neighbours
};

// The picture fitted to the 126 x 64 dots the cells cover, on black; a cell is lit when the mean
// brightness of its 7 x 8 dots passes the threshold. A picture of 18 x 8 pixels gives one cell
// per pixel, whatever the fit.
Cells CellsOfPicture(const QImage& picture, const CellOptions& options);

}  // namespace glowreel
