#include "authoring/movie_check.h"

#include <algorithm>

#include "authoring/quiet_platform.h"
#include "core/shared_state.h"
#include "player/duration.h"
#include "player/frame.h"
#include "player/play_movie.h"

namespace glowreel {

namespace {

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// What the cells of row y that will not convert are: "" when all do.
std::string BadCells(std::string_view row, int y) {
  std::string bad;
  int count = 0;
  for (int x = 0; x < std::min<int>(kCellColumns, static_cast<int>(row.size())); ++x) {
    if (ConvertCell(cellGrid[x][y]) != CellLight::kMismatch) continue;
    if (count++ > 0) bad += ", ";
    bad += std::to_string(x + 1);
    bad += " is " + Quoted(row.substr(x, 1));
  }
  if (count == 0) return bad;
  return (count == 1 ? "cell " : "cells ") + bad +
         (count == 1 ? ", no digit: it" : ", no digits: each") +
         " will report 13 - Type mismatch and show lit";
}

void CheckRows(const LineList& lines, std::size_t header, std::vector<MovieProblem>& problems) {
  const std::size_t rowsThere = std::min<std::size_t>(8, lines.size() - header - 1);
  if (rowsThere < 8) {
    problems.push_back({header + 1,
                        "9 - Subscript out of range: the file ends " + std::to_string(rowsThere) +
                            (rowsThere == 1 ? " row" : " rows") +
                            " into this frame; the missing rows keep the cells before",
                        true});
  }
  for (std::size_t y = 0; y < rowsThere; ++y) {
    const std::size_t line = header + 1 + y;
    const std::string_view row = lines[line];
    const std::string rowName = "row " + std::to_string(y + 1);
    if (IsFrameHeader(row)) {
      problems.push_back({line + 1,
                          "frame header taken as " + rowName + " of the frame at line " +
                              std::to_string(header + 1),
                          false});
    }
    if (const std::string bad = BadCells(row, static_cast<int>(y)); !bad.empty()) {
      problems.push_back({line + 1, rowName + ", " + bad, true});
    }
    if (row.size() < static_cast<std::size_t>(kCellColumns)) {
      problems.push_back({line + 1,
                          rowName + " has " + std::to_string(row.size()) + " cells; cells " +
                              std::to_string(row.size() + 1) +
                              "-18 will report 13 - Type mismatch and show lit",
                          true});
    }
  }
}

void CheckDuration(std::string_view text, std::size_t line, int32_t before, int32_t now,
                   bool overflowed, std::vector<MovieProblem>& problems) {
  bool clean = false;
  ParseDuration(text, &clean);
  if (overflowed) {
    problems.push_back({line,
                        "6 - Overflow: duration " + Quoted(text) +
                            " does not fit 32 bits; the frame keeps the one before (" +
                            std::to_string(before) + " ms)",
                        true});
  } else if (!clean) {
    problems.push_back(
        {line, "duration " + Quoted(text) + " reads as " + std::to_string(now), false});
  }
  if (!SliceCount(now)) {
    problems.push_back({line,
                        "6 - Overflow: duration " + std::to_string(now) +
                            " is too long (at most 327674 ms); the frame is shown without a pause",
                        true});
  }
}

}  // namespace

std::vector<MovieProblem> CheckMovie(const std::string& path) {
  QuietPlatform listening;
  sMovieFile = path;
  const LineList lines = ReadMovieFile();
  if (!listening.reports.empty()) return {{0, listening.reports.front(), true}};
  return CheckMovieLines(lines);
}

std::vector<MovieProblem> CheckMovieLines(const LineList& lines) {
  std::vector<MovieProblem> problems;
  QuietPlatform listening;
  bool anyFrame = false;
  int32_t duration = 0;
  ForEachFrame(lines, [&](std::size_t header) {
    anyFrame = true;
    const int32_t before = duration;
    listening.reports.clear();
    ReadFrame(lines, header, duration);
    const bool overflowed =
        !listening.reports.empty() && listening.reports.back().rfind("6 - ", 0) == 0;
    CheckRows(lines, header, problems);
    CheckDuration(lines[header].substr(1), header + 1, before, duration, overflowed, problems);
    const std::size_t passedOver = header + kFrameLines - 1;
    if (passedOver < lines.size() && IsFrameHeader(lines[passedOver])) {
      problems.push_back({passedOver + 1,
                          "frame header skipped: it stands on the line after the rows of the "
                          "frame at line " +
                              std::to_string(header + 1),
                          false});
    }
    return true;
  });
  std::stable_sort(problems.begin(), problems.end(),
                   [](const MovieProblem& a, const MovieProblem& b) { return a.line < b.line; });
  if (!anyFrame)
    problems.push_back({0, "no frame header (a line starting with @): nothing to show", false});
  return problems;
}

}  // namespace glowreel
