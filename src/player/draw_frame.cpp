#include "core/playback.h"
#include "player/frame.h"

namespace glowreel {

namespace {

void DrawBlock(PixelBuffer& pixels, int cellX, int cellY) {
  for (int c = 0; c < kBlockWidth; ++c) {
    auto& column = pixels[cellX * kCellPitchX + c];
    for (int r = 0; r < kBlockHeight; ++r) column[cellY * kCellPitchY + r] = kLit;
  }
}

}  // namespace

// A cell reads as a number: zero is dark, any other number lit; no value is dark; a text that
// is no number cannot be converted.
CellLight ConvertCell(const Cell& cell) {
  if (!cell.HasValue()) return CellLight::kDark;
  if (cell.IsEmptyText()) return CellLight::kMismatch;
  const char c = cell.Character();
  if (c == '0') return CellLight::kDark;
  if (c >= '1' && c <= '9') return CellLight::kLit;
  return CellLight::kMismatch;
}

void DrawCells(const CellGrid& cells, PixelBuffer& pixels, const MismatchSink& onMismatch) {
  for (auto& column : pixels) column.fill(kDark);
  for (int y = 0; y < kCellRows; ++y) {
    for (int x = 0; x < kCellColumns; ++x) {
      const CellLight light = ConvertCell(cells[x][y]);
      if (light == CellLight::kMismatch && onMismatch) onMismatch(x, y);
      if (light != CellLight::kDark) DrawBlock(pixels, x, y);
    }
  }
}

void DrawFrame(Playback& pb, const MismatchSink& onMismatch) {
  DrawCells(pb.cellGrid, pb.pixelBuffer, onMismatch);
}

}  // namespace glowreel
