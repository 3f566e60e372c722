// Reading a movie: its lines, frame headers, durations and cells, and drawing the cells.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>

#include "player/duration.h"
#include "player/frame.h"
#include "support/fake_platform.h"
#include "support/movies.h"

namespace glowreel {
namespace {

using test::TempFile;

int LitPixels() {
  int lit = 0;
  for (const auto& column : pixelBuffer)
    for (int16_t pixel : column) lit += pixel != 0;
  return lit;
}

class Reading : public ::testing::Test {
 protected:
  void SetUp() override { ResetSharedState(); }
  void Read(const std::string& movie) { ReadFrame(SplitMovieText(movie), 0, duration); }
  test::FakePlatform platform;
  int32_t duration = 0;
};

TEST_F(Reading, EveryKindOfLineEndDividesTheFileAlike) {
  using Lines = std::vector<std::string>;
  // clang-format off
  const std::pair<const char*, Lines> cases[] = {
      {"", {}}, {"abc", {"abc"}}, {"a\nb\nc", {"a", "b", "c"}}, {"a\r\nb\r\nc", {"a", "b", "c"}},
      {"a\rb\rc", {"a", "b", "c"}}, {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\r\nb\r\n", {"a", "b"}}, {"a\rb\r", {"a", "b"}}, {"a\nb\n", {"a", "b", ""}},
      {"a\r\n\r\n\r\nb", {"a", "", "", "b"}}, {"\r\n\r\na\r\nb", {"a", "b"}},
      {"\n\na\nb", {"", "", "a", "b"}}, {"\r", {}}, {"\n", {"", ""}}, {"a\r\n\nb", {"a", "", "b"}},
      {"a\r\rb", {"a", "", "b"}}, {"\xE9\xFF\r\n\x01", {"\xE9\xFF", "\x01"}}};
  // clang-format on
  for (const auto& [bytes, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(bytes)));
    TempFile file(bytes);
    sMovieFile = file.Path();
    const LineList lines = ReadMovieFile();
    Lines read;
    for (std::size_t i = 0; i < lines.size(); ++i) read.emplace_back(lines[i]);
    EXPECT_EQ(read, expected);
  }
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(Reading, AFileThatCannotBeReadIsReportedOnceAndHasNoLines) {
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
    test::FakePlatform boxes;
    sMovieFile = path;
    EXPECT_TRUE(ReadMovieFile().empty());
    EXPECT_EQ(boxes.ErrorReports(), 1);
    EXPECT_EQ(boxes.ErrorReports(number), 1);
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
  EXPECT_EQ(cellGrid[17][7], Cell::Char('0'));
  EXPECT_EQ(cellGrid[9][3], Cell::Char('0'));
  EXPECT_EQ(cellGrid[10][3], Cell::EmptyText());
  EXPECT_EQ(cellGrid[0][6], Cell::Char('@'));
  EXPECT_TRUE(platform.boxes.empty());

  Read("@1e20\r\n111\r\n111\r\n111");  // five rows missing, then a duration too big
  EXPECT_EQ(cellGrid[3][2], Cell::EmptyText());
  EXPECT_EQ(cellGrid[0][6], Cell::Char('@')) << "a missing row keeps the earlier frame's cells";
  ASSERT_EQ(platform.boxes.size(), 5u * 18 + 1);
  EXPECT_EQ(platform.ErrorReports(9), 90);
  EXPECT_EQ(platform.boxes.back().text, "An error has occured: \r\n6 - Overflow");
  EXPECT_EQ(duration, 250) << "an overflowing duration keeps the one before";
}

TEST_F(Reading, EachCellIsDrawnByItsTextAsASixBySevenBlockRebuiltEveryFrame) {
  // clang-format off
  const std::tuple<const char*, Cell, bool, int> cases[] = {
      {"no value", Cell::NoValue(), false, 0}, {"0", Cell::Char('0'), false, 0},
      {"1", Cell::Char('1'), true, 0},         {"9", Cell::Char('9'), true, 0},
      {"empty", Cell::EmptyText(), true, 1},   {"blank", Cell::Char(' '), true, 1},
      {"x", Cell::Char('x'), true, 1},         {"@", Cell::Char('@'), true, 1}};
  // clang-format on
  for (const auto& [name, cell, lit, reports] : cases) {
    SCOPED_TRACE(name);
    platform.boxes.clear();
    pixelBuffer[127][63] = kLit;
    cellGrid[17][7] = cell;
    DrawFrame();
    EXPECT_EQ(LitPixels(), lit ? 42 : 0);
    EXPECT_EQ(lit, pixelBuffer[119][56] && pixelBuffer[124][62]);
    EXPECT_EQ(platform.ErrorReports(13), reports);
  }
  Read(test::Frame("1", test::Rows(std::string(18, '1'))));
  DrawFrame();
  for (int x = 0; x < kPixelColumns; ++x)
    for (int y = 0; y < kPixelRows; ++y)
      ASSERT_EQ(pixelBuffer[x][y] != 0, x < 126 && x % 7 < 6 && y % 8 < 7) << x << "," << y;
}

}  // namespace
}  // namespace glowreel
