#pragma once

#include <optional>
#include <string>

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
  bool operator==(const CellRect&) const = default;
};

// The rectangle with these two cells as its corners.
CellRect Spanning(int x0, int y0, int x1, int y1);
// The part of the rectangle that lies on the frame; nothing where none does.
std::optional<CellRect> OnFrame(const CellRect& area);

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

// Shapes drawn lit, or dark, from one cell to another.
Cells WithLine(const Cells& cells, int x0, int y0, int x1, int y1, bool lit);
Cells WithRectangle(const Cells& cells, const CellRect& area, bool filled, bool lit);
// The area of `block` put with its top left at (x, y), over what was there; what falls off the
// frame is left out.
Cells Stamped(const Cells& cells, const Cells& block, const CellRect& area, int x, int y);
// The area lifted and put down (dx, dy) away; where it was is dark.
Cells MovedArea(const Cells& cells, const CellRect& area, int dx, int dy);
// A character of the pixel font, its top left at (x, y), its 5 x 7 cells lit or dark.
Cells Lettered(const Cells& cells, int x, int y, char32_t character);

// The area's cells as movie text: a frame header, then a row of "0" and "1" for each of its
// rows. Movie text as the block it shows: rows of "0" and "1" after the first header (or from
// the start), each as long as the longest; nothing where there is no such row.
std::string BlockText(const Cells& cells, const CellRect& area, int32_t duration);
std::optional<std::pair<Cells, CellRect>> BlockOfText(const std::string& text);

// Text in the pixel font as frames of cells taken as dots: still, or scrolling in from the right
// a cell every `scrollMs`, as the player steps.
CellFrames TextInCells(const std::string& utf8, int32_t holdMs, int32_t scrollMs);

// A marquee as the editor makes it: the text comes in at one edge and leaves at the other, a
// cell a step, each step held `stepMs` (in whole slices); where the text stands in the middle
// it is held `holdMs` instead, when that is more. `row` is the text's top row when it moves
// across, and ignored when it moves up (it is centred across then).
enum class ScrollWay { kLeft, kRight, kUp };
struct ScrollOptions {
  ScrollWay way = ScrollWay::kLeft;
  int row = 0;
  int32_t stepMs = 200;
  int32_t holdMs = 0;
};
CellFrames ScrollingText(const std::string& utf8, const ScrollOptions& options);

}  // namespace glowreel
