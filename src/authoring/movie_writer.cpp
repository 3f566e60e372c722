#include "authoring/movie_writer.h"

#include "platform/replace_file.h"

namespace glowreel {

namespace {
constexpr std::size_t kChunk = 1 << 16;
}  // namespace

std::vector<std::string> FrameLines(int32_t duration, const Cells& cells) {
  std::vector<std::string> lines = {"@" + std::to_string(duration)};
  for (int y = 0; y < kCellRows; ++y) {
    std::string row(kCellColumns, '0');
    for (int x = 0; x < kCellColumns; ++x) row[x] = cells[x][y] ? '1' : '0';
    lines.push_back(row);
  }
  lines.emplace_back();
  return lines;
}

std::string WriteMovieLines(const std::string& path, const std::vector<std::string>& lines) {
  ReplacementFile file(path);
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
    if (text.size() < kChunk) continue;
    file.Write(text.data(), text.size());  // after a failure, nothing more is tried
    text.clear();
  }
  file.Write(text.data(), text.size());
  return file.Commit();
}

}  // namespace glowreel
