#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "core/playback.h"
#include "player/movie_file.h"
#include "player/movie_report.h"

namespace glowreel {

// Takes the frame whose header is line i: the eight lines below it into `cells`, then the
// header's duration into `duration`. Each cell of a missing row and an overflowing duration are
// reported, with the header's line; what they would have set keeps its old value.
void ReadFrame(const LineList& lines, std::size_t i, int32_t& duration, CellGrid& cells,
               const ReportSink& report);

// What a cell shows: a cell that cannot be converted reports a type mismatch and shows lit.
enum class CellLight { kDark, kLit, kMismatch };
CellLight ConvertCell(const Cell& cell);

// Called with each cell that cannot be converted, as it is drawn.
using MismatchSink = std::function<void(int x, int y)>;

// Makes every pixel dark, then draws each lit cell as a 6 x 7 block at a pitch of 7 x 8.
void DrawCells(const CellGrid& cells, PixelBuffer& pixels, const MismatchSink& onMismatch);

// DrawCells from the playback's cell grid into its pixel buffer.
void DrawFrame(Playback& pb, const MismatchSink& onMismatch);

}  // namespace glowreel
