#include "authoring/movie_check.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "core/playback.h"
#include "player/duration.h"
#include "player/frame.h"
#include "player/play_movie.h"

namespace glowreel {

namespace {

constexpr std::array<const char*, kProblemKinds> kMore = {"frames the file ends in",
                                                          "frame headers taken as rows",
                                                          "rows with cells that are no digits",
                                                          "short rows",
                                                          "durations that do not fit 32 bits",
                                                          "durations that read otherwise",
                                                          "durations out of the pause's range",
                                                          "frame headers skipped"};

using Problems = std::vector<FrameProblem>;

std::string Quoted(std::string_view text) {
  return "\"" + Printable(text) + "\"";
}

std::string Text(const RunTimeError& error) {
  return std::to_string(error.Number()) + " - " + error.Description();
}

// What the cells of row y that will not convert are: "" when all do.
std::string BadCells(const CellGrid& cells, std::string_view row, int y) {
  std::string bad;
  int count = 0;
  for (int x = 0; x < std::min<int>(kCellColumns, static_cast<int>(row.size())); ++x) {
    if (ConvertCell(cells[x][y]) != CellLight::kMismatch) continue;
    if (count++ > 0) bad += ", ";
    bad += std::to_string(x + 1);
    bad += " is " + Quoted(row.substr(x, 1));
  }
  if (count == 0) return bad;
  return (count == 1 ? "cell " : "cells ") + bad +
         (count == 1 ? ", no digit: it" : ", no digits: each") +
         " will report 13 - Type mismatch and show lit";
}

void CheckRows(const LineList& lines, std::size_t header, const CellGrid& cells,
               Problems& problems) {
  const std::size_t rowsThere = std::min<std::size_t>(kCellRows, lines.size() - header - 1);
  const std::size_t headerLine = lines.FileLine(header);
  if (rowsThere < kCellRows) {
    problems.push_back({kMissingRows,
                        {headerLine,
                         "9 - Subscript out of range: the file ends " + std::to_string(rowsThere) +
                             (rowsThere == 1 ? " row" : " rows") +
                             " into this frame; the missing rows keep the cells before",
                         true}});
  }
  for (std::size_t y = 0; y < rowsThere; ++y) {
    const std::size_t line = lines.FileLine(header + 1 + y);
    const std::string_view row = lines[header + 1 + y];
    const std::string rowName = "row " + std::to_string(y + 1);
    if (IsFrameHeader(row)) {
      problems.push_back({kHeaderAsRow,
                          {line,
                           "frame header taken as " + rowName + " of the frame at line " +
                               std::to_string(headerLine),
                           false}});
    }
    if (const std::string bad = BadCells(cells, row, static_cast<int>(y)); !bad.empty())
      problems.push_back({kBadCells, {line, rowName + ", " + bad, true}});
    if (row.size() < static_cast<std::size_t>(kCellColumns)) {
      problems.push_back(
          {kShortRow,
           {line,
            rowName + " has " + std::to_string(row.size()) + " cells; cells " +
                std::to_string(row.size() + 1) + "-18 will report 13 - Type mismatch and show lit",
            true}});
    }
  }
}

void CheckDuration(std::string_view text, std::size_t line, int32_t before, int32_t now,
                   bool overflowed, Problems& problems) {
  bool clean = false;
  ParseDuration(text, &clean);
  if (overflowed) {
    problems.push_back({kNoFit,
                        {line,
                         "6 - Overflow: duration " + Quoted(text) +
                             " does not fit 32 bits; the frame keeps the one before (" +
                             std::to_string(before) + " ms)",
                         true}});
  } else if (!clean) {
    problems.push_back(
        {kReadsAs, {line, "duration " + Quoted(text) + " reads as " + std::to_string(now), false}});
  }
  if (!SliceCount(now)) {
    const std::string range = now > 0 ? " is too long (at most " + std::to_string(kLongestPauseMs)
                                      : " is below the shortest the pause can count (at least " +
                                            std::to_string(kMostNegativeMs);
    problems.push_back({kNoPause,
                        {line,
                         "6 - Overflow: duration " + std::to_string(now) + range +
                             " ms); the frame is shown without a pause",
                         true}});
  }
}

}  // namespace

std::string Printable(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      shown += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, byte == '\\' ? "\\\\" : "\\x%02X", byte);
      shown += escaped;
    }
  }
  return shown;
}

void CheckMovie(const std::string& path, const ProblemSink& onProblem, std::size_t perKind) {
  const MovieLines read = ReadMovieFile(path);
  if (read.error) return onProblem({0, Text(*read.error), true});
  CheckMovieLines(read.lines, onProblem, perKind);
}

std::vector<FrameProblem> CheckFrame(const LineList& lines, std::size_t header, int32_t& duration,
                                     CellGrid& cells) {
  const int32_t before = duration;
  bool overflowed = false;
  ReadFrame(lines, header, duration, cells, [&](const MovieReport& report) {
    overflowed = overflowed || report.error.Number() == kErrOverflow;
  });
  Problems problems;
  CheckRows(lines, header, cells, problems);
  CheckDuration(lines[header].substr(1), lines.FileLine(header), before, duration, overflowed,
                problems);
  const std::size_t passedOver = header + kFrameLines - 1;
  if (passedOver < lines.size() && IsFrameHeader(lines[passedOver])) {
    problems.push_back({kHeaderSkipped,
                        {lines.FileLine(passedOver),
                         "frame header skipped: it stands on the line after the rows of the "
                         "frame at line " +
                             std::to_string(lines.FileLine(header)),
                         false}});
  }
  std::stable_sort(
      problems.begin(), problems.end(),
      [](const FrameProblem& a, const FrameProblem& b) { return a.told.line < b.told.line; });
  return problems;
}

void ProblemTally::Tell(const FrameProblem& problem) {
  reports_[problem.kind] = reports_[problem.kind] || problem.told.reports;
  if (told_[problem.kind]++ < perKind_) onProblem_(problem.told);
}

void ProblemTally::Finish(bool anyFrame) {
  if (!anyFrame)
    onProblem_({0, "no frame header (a line starting with @): nothing to show", false});
  for (int kind = 0; kind < kProblemKinds; ++kind) {
    if (told_[kind] <= perKind_) continue;
    onProblem_({0, std::to_string(told_[kind] - perKind_) + " more " + kMore[kind] + ", not listed",
                reports_[kind]});
  }
}

void CheckMovieLines(const LineList& lines, const ProblemSink& onProblem, std::size_t perKind) {
  bool anyFrame = false;
  int32_t duration = 0;
  CellGrid cells{};
  ProblemTally tally(onProblem, perKind);
  ForEachFrame(lines, [&](std::size_t header) {
    anyFrame = true;
    for (const FrameProblem& problem : CheckFrame(lines, header, duration, cells))
      tally.Tell(problem);
    return true;
  });
  tally.Finish(anyFrame);
}

}  // namespace glowreel
