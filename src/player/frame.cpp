#include "player/frame.h"

#include "player/duration.h"

namespace glowreel {

void ReadFrame(const LineList& lines, std::size_t i, int32_t& duration, CellGrid& cells,
               const ReportSink& report) {
  const std::size_t headerLine = lines.FileLine(i);
  for (int y = 0; y < kCellRows; ++y) {
    const std::size_t row = i + static_cast<std::size_t>(y) + 1;
    if (row >= lines.size()) {
      for (int x = 0; x < kCellColumns; ++x)
        report({RunTimeError(kErrSubscriptOutOfRange), headerLine});
      continue;
    }
    const std::string_view line = lines[row];
    for (int x = 0; x < kCellColumns; ++x) {
      cells[x][y] =
          static_cast<std::size_t>(x) < line.size() ? Cell::Char(line[x]) : Cell::EmptyText();
    }
  }
  const std::optional<int32_t> value = ParseDuration(lines[i].substr(1));
  if (value) {
    duration = *value;
  } else {
    report({RunTimeError(kErrOverflow), headerLine});
  }
}

}  // namespace glowreel
