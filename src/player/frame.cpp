#include "player/frame.h"

#include "core/shared_state.h"
#include "platform/report_error.h"
#include "player/duration.h"

namespace glowreel {

void ReadFrame(const LineList& lines, std::size_t i, int32_t& duration) {
  for (int y = 0; y < kCellRows; ++y) {
    const std::size_t row = i + static_cast<std::size_t>(y) + 1;
    for (int x = 0; x < kCellColumns; ++x) {
      if (row >= lines.size()) {
        ReportError(RunTimeError(kErrSubscriptOutOfRange));
        continue;
      }
      const std::string_view line = lines[row];
      cellGrid[x][y] =
          static_cast<std::size_t>(x) < line.size() ? Cell::Char(line[x]) : Cell::EmptyText();
    }
  }
  const std::optional<int32_t> value = ParseDuration(lines[i].substr(1));
  if (value) {
    duration = *value;
  } else {
    ReportError(RunTimeError(kErrOverflow));
  }
}

}  // namespace glowreel
