#include "authoring/cell_edits.h"

#include "player/play_movie.h"

#include <algorithm>
#include <sstream>

#include "dots/dot_drawing.h"
#include "dots/picture_dots.h"
#include "dots/pixel_font.h"
#include "dots/text_frames.h"
#include "player/movie_file.h"

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

bool OnCells(int x, int y) {
  return x >= 0 && x < kCellColumns && y >= 0 && y < kCellRows;
}

}  // namespace

CellRect Spanning(int x0, int y0, int x1, int y1) {
  return {std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0) + 1, std::abs(y1 - y0) + 1};
}

std::optional<CellRect> OnFrame(const CellRect& area) {
  const int left = std::max(area.x, 0), top = std::max(area.y, 0);
  const int right = std::min(area.x + area.width, kCellColumns);
  const int bottom = std::min(area.y + area.height, kCellRows);
  if (left >= right || top >= bottom) return std::nullopt;
  return CellRect{left, top, right - left, bottom - top};
}

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

Cells WithLine(const Cells& cells, int x0, int y0, int x1, int y1, bool lit) {
  Cells result = cells;
  const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
  for (int k = 0; k <= steps; ++k) {
    // Rounded to the nearest cell, so that a line looks the same drawn either way.
    const int x =
        x0 + (steps ? ((x1 - x0) * 2 * k + (x1 >= x0 ? steps : -steps)) / (2 * steps) : 0);
    const int y =
        y0 + (steps ? ((y1 - y0) * 2 * k + (y1 >= y0 ? steps : -steps)) / (2 * steps) : 0);
    if (OnCells(x, y)) result[x][y] = lit;
  }
  return result;
}

Cells WithRectangle(const Cells& cells, const CellRect& area, bool filled, bool lit) {
  Cells result = cells;
  for (int x = area.x; x < area.x + area.width; ++x)
    for (int y = area.y; y < area.y + area.height; ++y) {
      const bool edge = x == area.x || y == area.y || x == area.x + area.width - 1 ||
                        y == area.y + area.height - 1;
      if ((filled || edge) && OnCells(x, y)) result[x][y] = lit;
    }
  return result;
}

Cells Stamped(const Cells& cells, const Cells& block, const CellRect& area, int x, int y) {
  Cells result = cells;
  for (int i = 0; i < area.width; ++i)
    for (int j = 0; j < area.height; ++j)
      if (OnCells(x + i, y + j)) result[x + i][y + j] = block[area.x + i][area.y + j];
  return result;
}

Cells MovedArea(const Cells& cells, const CellRect& area, int dx, int dy) {
  return Stamped(Cleared(cells, area), cells, area, area.x + dx, area.y + dy);
}

Cells Lettered(const Cells& cells, int x, int y, char32_t character) {
  Cells result = cells;
  const Glyph glyph = GlyphFor(character);
  for (int column = 0; column < kGlyphWidth; ++column)
    for (int row = 0; row < kGlyphHeight; ++row)
      if (OnCells(x + column, y + row))
        result[x + column][y + row] = glyph[static_cast<std::size_t>(column)] >> row & 1;
  return result;
}

std::string BlockText(const Cells& cells, const CellRect& area, int32_t duration) {
  std::string text = "@" + std::to_string(duration) + "\n";
  for (int y = area.y; y < area.y + area.height; ++y) {
    for (int x = area.x; x < area.x + area.width; ++x) text += cells[x][y] ? '1' : '0';
    text += '\n';
  }
  return text;
}

std::optional<std::pair<Cells, CellRect>> BlockOfText(const std::string& text) {
  std::istringstream lines(text);
  std::vector<std::string> rows;
  bool headerSeen = false;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const bool row = !line.empty() && line.find_first_not_of("01") == std::string::npos;
    if (row && rows.size() < static_cast<std::size_t>(kCellRows)) {
      rows.push_back(line);
    } else if (!rows.empty() || (headerSeen && !row)) {
      break;  // the block ends at its first line that is no row
    }
    headerSeen = headerSeen || IsFrameHeader(line);
  }
  if (rows.empty()) return std::nullopt;
  Cells block{};
  int width = 0;
  for (std::size_t y = 0; y < rows.size(); ++y)
    for (std::size_t x = 0; x < std::min<std::size_t>(rows[y].size(), kCellColumns); ++x) {
      block[x][y] = rows[y][x] == '1';
      width = std::max(width, static_cast<int>(x) + 1);
    }
  return std::make_pair(block, CellRect{0, 0, width, static_cast<int>(rows.size())});
}

CellFrames TextInCells(const std::string& utf8, int32_t holdMs, int32_t scrollMs) {
  TextFrames frames(utf8, /*holdSlices=*/1, scrollMs > 0 ? ScrollSlices(scrollMs) : 0,
                    /*fallbackScroll=*/20, kCellColumns, kCellRows);
  CellFrames cells;
  for (DotFrame frame; frames.Next(frame);) {
    Cells shown{};
    for (int x = 0; x < kCellColumns; ++x)
      for (int y = 0; y < kCellRows; ++y) shown[x][y] = frame.At(x, y);
    // A step is held its slices, as glowreel-play --text holds it; still text its duration.
    cells.emplace_back(frames.Scrolls() ? DurationOfSlices(frame.slices) : holdMs, shown);
  }
  return cells;
}

CellFrames ScrollingText(const std::string& utf8, const ScrollOptions& options) {
  const std::u32string text = DecodeUtf8(utf8);
  if (text.empty()) return {};
  const int width = static_cast<int>(text.size()) * kGlyphPitchX - 1;
  const bool up = options.way == ScrollWay::kUp;
  // Positions of the text's top left, from just in sight to just gone.
  const int from = up                                ? kCellRows - 1
                   : options.way == ScrollWay::kLeft ? kCellColumns - 1
                                                     : 1 - width;
  const int to = up ? -kGlyphHeight : options.way == ScrollWay::kLeft ? -width : kCellColumns;
  const int step = to > from ? 1 : -1;
  const int middleAcross = (kCellColumns - width) / 2;
  const int middle = up ? (kCellRows - kGlyphHeight) / 2 : middleAcross;
  const int across = std::max(0, middleAcross);  // where a text moving up stands
  const int32_t stepDuration = DurationOfSlices(ScrollSlices(options.stepMs));
  const int32_t holdDuration =
      std::max(stepDuration, DurationOfSlices(ScrollSlices(options.holdMs)));
  CellFrames frames;
  for (int at = from; at != to + step; at += step) {
    Cells cells{};
    const int x = up ? across : at, y = up ? at : options.row;
    for (std::size_t k = 0; k < text.size(); ++k)
      cells = Lettered(cells, x + static_cast<int>(k) * kGlyphPitchX, y, text[k]);
    frames.emplace_back(at == middle && options.holdMs > 0 ? holdDuration : stepDuration, cells);
  }
  return frames;
}

}  // namespace glowreel
