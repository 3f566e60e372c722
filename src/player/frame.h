#pragma once

#include <cstddef>
#include <cstdint>

#include "core/shared_state.h"
#include "player/movie_file.h"

namespace glowreel {

// Takes the frame whose header is line i: the eight lines below it into the cell grid, then the
// header's duration into `duration`. Missing rows and an overflowing duration are reported;
// what they would have set keeps its old value.
void ReadFrame(const LineList& lines, std::size_t i, int32_t& duration);

// Makes every pixel dark, then draws each lit cell as a 6 x 7 block at a pitch of 7 x 8.
void DrawFrame();

// What a cell shows: a cell that cannot be converted reports a type mismatch and shows lit.
enum class CellLight { kDark, kLit, kMismatch };
CellLight ConvertCell(const Cell& cell);

// DrawFrame for any cells and pixels; reports only when asked.
void DrawCells(const CellGrid& cells, PixelBuffer& pixels, bool report);

}  // namespace glowreel
