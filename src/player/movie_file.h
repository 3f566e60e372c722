#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace glowreel {

// A movie's lines: one buffer of text and the start of each line in it.
class LineList {
 public:
  LineList() = default;
  // Takes text whose lines are separated by single line feeds; an empty text has no lines.
  explicit LineList(std::string text);

  std::size_t size() const { return starts_.size(); }
  bool empty() const { return starts_.empty(); }
  std::string_view operator[](std::size_t i) const {
    const std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] - 1 : text_.size();
    return std::string_view(text_).substr(starts_[i], end - starts_[i]);
  }

 private:
  std::string text_;
  std::vector<std::size_t> starts_;
};

// Reads the file named by sMovieFile. A line ends at CR, CR LF or the end of the file; a lone
// LF stays in its line and so divides it when the gathered text is cut at line feeds. A file
// that cannot be read (missing, not a regular file, too large to hold) is reported once and
// gives a movie without lines.
LineList ReadMovieFile();

// The same rules applied to bytes already in memory.
LineList SplitMovieText(std::string bytes);

// A frame header is a line whose first character is "@".
inline bool IsFrameHeader(std::string_view line) {
  return !line.empty() && line.front() == '@';
}

// A frame takes ten lines: the header, eight rows and one passed-over line.
inline constexpr std::size_t kFrameLines = 10;

// Walks the lines as playback does, calling onFrame(i) for every header it reaches; the walk
// goes on after the frame's ten lines. Returns false when onFrame stopped it by returning false.
template <typename OnFrame>
bool ForEachFrame(const LineList& lines, OnFrame&& onFrame) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!IsFrameHeader(lines[i])) continue;
    if (!onFrame(i)) return false;
    i += kFrameLines - 1;
  }
  return true;
}

}  // namespace glowreel
