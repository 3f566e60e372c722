#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/run_time_error.h"

namespace glowreel {

// A movie's lines: the text with its lines separated by single line feeds. Lines are found as
// they are asked for, walking from the last one asked for, so the list costs no more memory than
// its text; playing and checking walk it in order.
class LineList {
 public:
  LineList() = default;
  // Takes text whose lines are separated by single line feeds; an empty text has no lines.
  // `skipped` empty lines stood before it in the file.
  explicit LineList(std::string text, std::size_t skipped = 0);

  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  std::string_view operator[](std::size_t i) const;
  // The number the file's own line ends give line i, counted from 1.
  std::size_t FileLine(std::size_t i) const { return i + 1 + skipped_; }

 private:
  std::string text_;
  std::size_t count_ = 0;
  std::size_t skipped_ = 0;
  mutable std::size_t at_ = 0;       // the line last asked for
  mutable std::size_t atStart_ = 0;  // where it starts in the text
};

// A movie as read: its lines, or the error that stopped the reading and no lines.
struct MovieLines {
  LineList lines;
  std::optional<RunTimeError> error;
};

// Reads a movie file. A line ends at CR, CR LF or the end of the file; a lone LF stays in its
// line and so divides it when the gathered text is cut at line feeds. A file that cannot be read
// (missing, not a regular file, too large to hold) gives the error and no lines.
MovieLines ReadMovieFile(const std::string& path);

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
