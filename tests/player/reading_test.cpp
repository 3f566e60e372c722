// Reading a movie: its lines, frame headers, durations and cells, and drawing the cells.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>

#include "player/duration.h"
#include "player/frame.h"
#include "support/movies.h"

namespace glowreel {
namespace {

using test::TempFile;

class Reading : public ::testing::Test {
 protected:
  void Read(const std::string& movie) {
    ReadFrame(SplitMovieText(movie), 0, duration, pb.cellGrid, [this](const MovieReport& report) {
      reports.push_back(report.error.Number());
      EXPECT_EQ(report.line, 1u) << "every report of a frame names its header";
    });
  }
  Playback pb;
  int32_t duration = 0;
  std::vector<int32_t> reports;
};

TEST_F(Reading, EveryKindOfLineEndDividesTheFileAlikeAndLinesKeepTheFilesNumbers) {
  using Lines = std::vector<std::string>;
  // clang-format off
  const std::tuple<const char*, Lines, std::size_t> cases[] = {  // bytes, lines, the first's number
      {"", {}, 1}, {"abc", {"abc"}, 1}, {"a\nb\nc", {"a", "b", "c"}, 1},
      {"a\r\nb\r\nc", {"a", "b", "c"}, 1}, {"a\rb\rc", {"a", "b", "c"}, 1},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}, 1}, {"a\r\nb\r\n", {"a", "b"}, 1},
      {"a\rb\r", {"a", "b"}, 1}, {"a\nb\n", {"a", "b", ""}, 1},
      {"a\r\n\r\n\r\nb", {"a", "", "", "b"}, 1}, {"\r\n\r\na\r\nb", {"a", "b"}, 3},
      {"\r\n\nb", {"", "b"}, 2}, {"\n\na\nb", {"", "", "a", "b"}, 1}, {"\r", {}, 2},
      {"\n", {"", ""}, 1}, {"a\r\n\nb", {"a", "", "b"}, 1}, {"a\r\rb", {"a", "", "b"}, 1},
      {"\xE9\xFF\r\n\x01", {"\xE9\xFF", "\x01"}, 1}};
  // clang-format on
  for (const auto& [bytes, expected, first] : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(bytes)));
    TempFile file(bytes);
    const MovieLines read = ReadMovieFile(file.Path());
    EXPECT_FALSE(read.error);
    Lines lines;
    for (std::size_t i = 0; i < read.lines.size(); ++i) lines.emplace_back(read.lines[i]);
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(read.lines.FileLine(0), first);
    if (!lines.empty()) {
      EXPECT_EQ(read.lines[0], lines.front()) << "asked for again";
    }
  }
}

TEST_F(Reading, AFileThatCannotBeReadGivesItsErrorAndNoLines) {
  TempFile file("@100\r\n");
  const std::string dir = file.Directory(), fifo = dir + "/pipe", huge = dir + "/huge.grm";
  mkfifo(fifo.c_str(), 0600);  // no writer: opening it must not block
  std::ofstream{huge};
  ASSERT_EQ(truncate(huge.c_str(), off_t{100} << 30), 0);  // sparse: 100 GB that take no room
  // clang-format off
  const std::pair<std::string, int32_t> cases[] = {
      {dir + "/nothing.grm", 53}, {dir + "/no/such.grm", 53}, {"", 53}, {dir, 75},
      {"/dev/zero", 75}, {fifo, 75}, {huge, 7}};
  // clang-format on
  for (const auto& [path, number] : cases) {
    SCOPED_TRACE(path);
    const MovieLines read = ReadMovieFile(path);
    EXPECT_TRUE(read.lines.empty());
    EXPECT_EQ(read.error.value_or(RunTimeError(0)).Number(), number);
  }
}

TEST_F(Reading, DurationsFollowTheNumberRules) {
  const std::optional<int32_t> overflow;
  // clang-format off
  const std::pair<const char*, std::optional<int32_t>> cases[] = {
      {"", 0}, {"100", 100}, {"100ms", 100}, {"1 0 0", 100}, {"\t1\t0 0 ms", 100}, {"abc", 0},
      {"-20", -20}, {"+20", 20}, {"- 20", -20}, {"100.5", 100}, {"101.5", 102}, {"-2.5", -2},
      {"0.5", 0}, {"1.5", 2}, {"2.4999", 2}, {"1E3", 1000}, {"1e3", 1000}, {"1D3", 1000},
      {"1d+3", 1000}, {"15E-1", 2}, {"1 E 3", 1000}, {"1E", 1}, {"1E-", 1}, {"E5", 0}, {"-", 0},
      {".", 0}, {".5", 0}, {".51", 1}, {"1.2.3", 1}, {"1e3.5", 1000}, {"+-5", 0}, {"&H10", 0},
      {"007", 7}, {"0.000000001e9", 1}, {"1e-400", 0}, {"0e999999999999", 0},
      {"2147483647", 2147483647}, {"2147483648", overflow}, {"-2147483648", -2147483648},
      {"-2147483649", overflow}, {"2147483647.4", 2147483647}, {"2147483647.5", overflow},
      {"2147483646.5", 2147483646}, {"-2147483648.5", -2147483648}, {"1E10", overflow},
      {"-2147483649.5", overflow}, {"99999999999999999999999", overflow},
      {"0.0000000000000000000001e30", 100000000}, {"0.0000000000000000000001e33", overflow}};
  // clang-format on
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(std::string("text \"") + text + "\"");
    EXPECT_EQ(ParseDuration(text), value);
  }
}

TEST_F(Reading, AFrameTakesItsRowsAsTheyStandThenItsDurationAndMissingRowsKeepOldCells) {
  auto rows = test::Rows("101010101010101010XYZ");  // past 18 characters: ignored
  rows[3] = "1111100000";                           // short: the rest is the empty text
  rows[6] = "@10";                                  // still a row, although it begins with "@"
  Read(test::Frame("250", rows));
  EXPECT_EQ(duration, 250);
  EXPECT_EQ(pb.cellGrid[17][7], Cell::Char('0'));
  EXPECT_EQ(pb.cellGrid[9][3], Cell::Char('0'));
  EXPECT_EQ(pb.cellGrid[10][3], Cell::EmptyText());
  EXPECT_EQ(pb.cellGrid[0][6], Cell::Char('@'));
  EXPECT_TRUE(reports.empty());

  Read("@1e20\r\n111\r\n111\r\n111");  // five rows missing, then a duration too big
  EXPECT_EQ(pb.cellGrid[3][2], Cell::EmptyText());
  EXPECT_EQ(pb.cellGrid[0][6], Cell::Char('@')) << "a missing row keeps the earlier frame's cells";
  std::vector<int32_t> expected(5 * 18, kErrSubscriptOutOfRange);
  expected.push_back(kErrOverflow);
  EXPECT_EQ(reports, expected);
  EXPECT_EQ(duration, 250) << "an overflowing duration keeps the one before";
}

TEST_F(Reading, EachCellIsDrawnByItsTextAsASixBySevenBlockOnASevenByEightPitch) {
  // clang-format off
  const std::tuple<const char*, Cell, bool, int> cases[] = {
      {"no value", Cell::NoValue(), false, 0}, {"0", Cell::Char('0'), false, 0},
      {"1", Cell::Char('1'), true, 0},         {"9", Cell::Char('9'), true, 0},
      {"empty", Cell::EmptyText(), true, 1},   {"blank", Cell::Char(' '), true, 1},
      {"x", Cell::Char('x'), true, 1},         {"@", Cell::Char('@'), true, 1}};
  // clang-format on
  for (const auto& [name, cell, lit, mismatches] : cases) {
    SCOPED_TRACE(name);
    pb.pixelBuffer[127][63] = kLit;
    pb.cellGrid[17][7] = cell;
    std::vector<std::pair<int, int>> told;
    DrawFrame(pb, [&](int x, int y) { told.emplace_back(x, y); });
    const int16_t* const pixels = &pb.pixelBuffer[0][0];
    EXPECT_EQ(std::count(pixels, pixels + kPixelColumns * kPixelRows, kDark),
              lit ? 8192 - 42 : 8192);
    EXPECT_EQ(lit, pb.pixelBuffer[119][56] && pb.pixelBuffer[124][62]);
    EXPECT_EQ(told, (std::vector<std::pair<int, int>>(mismatches, {17, 7})));
  }
}

}  // namespace
}  // namespace glowreel
