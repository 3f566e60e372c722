#pragma once

#include "authoring/picture_cells.h"

// Changes to a frame's cells as the editor makes them: pure functions of the cells, each over
// the whole frame or a rectangle of it.
namespace glowreel {

struct CellRect {
  int x = 0;
  int y = 0;
  int width = kCellColumns;
  int height = kCellRows;
  bool Contains(int cx, int cy) const {
    return cx >= x && cx < x + width && cy >= y && cy < y + height;
  }
};

Cells Cleared(const Cells& cells, const CellRect& area = {});
Cells Filled(const Cells& cells, const CellRect& area = {});
Cells Inverted(const Cells& cells, const CellRect& area = {});
// By (dx, dy) cells; what leaves the area comes back on the other side when `wrap`, and the
// cells it leaves behind are dark otherwise.
Cells Shifted(const Cells& cells, int dx, int dy, bool wrap, const CellRect& area = {});
// Left for right.
Cells Mirrored(const Cells& cells, const CellRect& area = {});
// Upside down.
Cells Flipped(const Cells& cells, const CellRect& area = {});
Cells Rotated180(const Cells& cells, const CellRect& area = {});

}  // namespace glowreel
