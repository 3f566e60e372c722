#include "authoring/cell_edits.h"

namespace glowreel {

namespace {

// Each cell of the area becomes what `from(x, y)` (area-relative) says of the cells before.
template <typename From>
Cells Remap(const Cells& cells, const CellRect& area, From from) {
  Cells result = cells;
  for (int x = 0; x < area.width; ++x)
    for (int y = 0; y < area.height; ++y) result[area.x + x][area.y + y] = from(x, y);
  return result;
}

}  // namespace

Cells Cleared(const Cells& cells, const CellRect& area) {
  return Remap(cells, area, [](int, int) { return false; });
}

Cells Filled(const Cells& cells, const CellRect& area) {
  return Remap(cells, area, [](int, int) { return true; });
}

Cells Inverted(const Cells& cells, const CellRect& area) {
  return Remap(cells, area, [&](int x, int y) { return !cells[area.x + x][area.y + y]; });
}

Cells Shifted(const Cells& cells, int dx, int dy, bool wrap, const CellRect& area) {
  return Remap(cells, area, [&](int x, int y) {
    int sx = x - dx, sy = y - dy;
    if (wrap) {
      sx = ((sx % area.width) + area.width) % area.width;
      sy = ((sy % area.height) + area.height) % area.height;
    }
    const bool inside = sx >= 0 && sx < area.width && sy >= 0 && sy < area.height;
    return inside && cells[area.x + sx][area.y + sy];
  });
}

Cells Mirrored(const Cells& cells, const CellRect& area) {
  return Remap(cells, area,
               [&](int x, int y) { return cells[area.x + area.width - 1 - x][area.y + y]; });
}

Cells Flipped(const Cells& cells, const CellRect& area) {
  return Remap(cells, area,
               [&](int x, int y) { return cells[area.x + x][area.y + area.height - 1 - y]; });
}

Cells Rotated180(const Cells& cells, const CellRect& area) {
  return Mirrored(Flipped(cells, area), area);
}

}  // namespace glowreel
