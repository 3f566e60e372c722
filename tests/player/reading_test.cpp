// Reading a movie: its lines, frame headers, durations and cells, and drawing the cells.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "core/shared_state.h"
#include "player/duration.h"
#include "player/frame.h"
#include "support/fake_platform.h"
#include "support/movie_text.h"
#include "support/temp_file.h"

namespace glowreel {
namespace {

using test::FakePlatform;
using test::TempFile;

std::vector<std::string> Lines(const LineList& list) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < list.size(); ++i) lines.emplace_back(list[i]);
  return lines;
}

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
  FakePlatform platform;
  int32_t duration = 0;
};

TEST_F(Reading, EveryKindOfLineEndDividesTheFileAlike) {
  struct Case {
    const char* bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {{"", {}},
                        {"abc", {"abc"}},
                        {"a\nb\nc", {"a", "b", "c"}},
                        {"a\r\nb\r\nc", {"a", "b", "c"}},
                        {"a\rb\rc", {"a", "b", "c"}},
                        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
                        {"a\r\nb\r\n", {"a", "b"}},
                        {"a\rb\r", {"a", "b"}},
                        {"a\nb\n", {"a", "b", ""}},
                        {"a\r\n\r\n\r\nb", {"a", "", "", "b"}},
                        {"\r\n\r\na\r\nb", {"a", "b"}},
                        {"\n\na\nb", {"", "", "a", "b"}},
                        {"\r", {}},
                        {"\n", {"", ""}},
                        {"a\r\n\nb", {"a", "", "b"}},
                        {"a\r\rb", {"a", "", "b"}},
                        {"\xE9\xFF\r\n\x01", {"\xE9\xFF", "\x01"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.bytes)));
    TempFile file(c.bytes);
    sMovieFile = file.Path();
    EXPECT_EQ(Lines(ReadMovieFile()), c.lines);
  }
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(Reading, AFileThatCannotBeReadIsReportedOnceAndHasNoLines) {
  TempFile file("@100\r\n");
  const std::string dir = file.Directory();
  const std::string fifo = dir + "/pipe.grm";  // no writer: opening it must not block
  mkfifo(fifo.c_str(), 0600);
  const std::string huge = dir + "/huge.grm";  // sparse, 100 GB that take no room
  std::ofstream{huge};
  ASSERT_EQ(truncate(huge.c_str(), off_t{100} << 30), 0);
  struct Case {
    std::string path;
    int32_t number;
  };
  for (const Case& c :
       {Case{dir + "/nothing.grm", 53}, Case{dir + "/no/such.grm", 53}, Case{"", 53}, Case{dir, 75},
        Case{"/dev/zero", 75}, Case{fifo, 75}, Case{huge, 7}}) {
    SCOPED_TRACE(c.path);
    FakePlatform boxes;
    sMovieFile = c.path;
    EXPECT_TRUE(ReadMovieFile().empty());
    EXPECT_EQ(boxes.ErrorReports(), 1);
    EXPECT_EQ(boxes.ErrorReports(c.number), 1) << (boxes.boxes.empty() ? "" : boxes.boxes[0].text);
  }
  if (geteuid() != 0) {  // root reads every file
    chmod(file.Path().c_str(), 0);
    sMovieFile = file.Path();
    ReadMovieFile();
    EXPECT_EQ(platform.ErrorReports(70), 1);
  }
}

TEST_F(Reading, DurationsFollowTheNumberRules) {
  struct Case {
    const char* text;
    std::optional<int32_t> value;  // empty: overflow
  };
  const auto overflow = std::nullopt;
  const Case cases[] = {{"", 0},
                        {"100", 100},
                        {"100ms", 100},
                        {"1 0 0", 100},
                        {"\t1\t0 0 ms", 100},
                        {"abc", 0},
                        {"-20", -20},
                        {"+20", 20},
                        {"- 20", -20},
                        {"100.5", 100},
                        {"101.5", 102},
                        {"-2.5", -2},
                        {"0.5", 0},
                        {"1.5", 2},
                        {"2.4999", 2},
                        {"1E3", 1000},
                        {"1e3", 1000},
                        {"1D3", 1000},
                        {"1d+3", 1000},
                        {"15E-1", 2},
                        {"1 E 3", 1000},
                        {"1E", 1},
                        {"1E-", 1},
                        {"E5", 0},
                        {"-", 0},
                        {".", 0},
                        {".5", 0},
                        {".51", 1},
                        {"1.2.3", 1},
                        {"1e3.5", 1000},
                        {"+-5", 0},
                        {"&H10", 0},
                        {"007", 7},
                        {"0.000000001e9", 1},
                        {"1e-400", 0},
                        {"0e999999999999", 0},
                        {"2147483647", 2147483647},
                        {"2147483648", overflow},
                        {"-2147483648", -2147483648},
                        {"-2147483649", overflow},
                        {"2147483647.4", 2147483647},
                        {"2147483647.5", overflow},
                        {"2147483646.5", 2147483646},
                        {"-2147483648.5", -2147483648},
                        {"1E10", overflow},
                        {"-2147483649.5", overflow},
                        {"99999999999999999999999", overflow},
                        {"0.0000000000000000000001e30", 100000000},
                        {"0.0000000000000000000001e33", overflow}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("text \"") + c.text + "\"");
    EXPECT_EQ(ParseDuration(c.text), c.value);
  }
}

TEST_F(Reading, AFrameTakesItsRowsAsTheyStandAndThenItsDuration) {
  auto rows = test::Rows("101010101010101010XYZ");  // past 18 characters: ignored
  rows[3] = "1111100000";                           // short: the rest is the empty text
  rows[5] = "";
  rows[6] = "@10";  // still a row, although it begins with "@"
  Read(test::Frame("250", rows));
  EXPECT_EQ(duration, 250);
  EXPECT_EQ(cellGrid[1][0], Cell::Char('0'));
  EXPECT_EQ(cellGrid[17][7], Cell::Char('0'));
  EXPECT_EQ(cellGrid[9][3], Cell::Char('0'));
  EXPECT_EQ(cellGrid[10][3], Cell::EmptyText());
  EXPECT_EQ(cellGrid[0][5], Cell::EmptyText());
  EXPECT_EQ(cellGrid[0][6], Cell::Char('@'));
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(Reading, MissingRowsAreReportedPerCellBeforeTheOverflowAndKeepTheOldCells) {
  Read(test::Frame("70", test::OneCell(4, 6)));
  Read("@1e20\r\n111\r\n111\r\n111");
  EXPECT_EQ(cellGrid[0][2], Cell::Char('1'));
  EXPECT_EQ(cellGrid[3][2], Cell::EmptyText());
  EXPECT_EQ(cellGrid[4][6], Cell::Char('1')) << "a missing row keeps the earlier frame's cells";
  EXPECT_EQ(cellGrid[3][6], Cell::Char('0'));
  ASSERT_EQ(platform.boxes.size(), 5u * 18 + 1);
  EXPECT_EQ(platform.ErrorReports(9), 90);
  EXPECT_EQ(platform.boxes.back().text, "An error has occured: \r\n6 - Overflow");
  EXPECT_EQ(duration, 70) << "an overflowing duration keeps the one before";
}

TEST_F(Reading, EachCellIsDrawnByItsTextAndTheImageIsRebuiltEveryTime) {
  struct Case {
    const char* name;
    Cell cell;
    bool lit;
    int reports;
  };
  const Case cases[] = {
      {"no value", Cell::NoValue(), false, 0}, {"0", Cell::Char('0'), false, 0},
      {"1", Cell::Char('1'), true, 0},         {"9", Cell::Char('9'), true, 0},
      {"empty", Cell::EmptyText(), true, 1},   {"blank", Cell::Char(' '), true, 1},
      {"x", Cell::Char('x'), true, 1},         {"@", Cell::Char('@'), true, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("cell ") + c.name);
    platform.boxes.clear();
    pixelBuffer[127][63] = kLit;
    cellGrid[0][0] = c.cell;
    DrawFrame();
    EXPECT_EQ(LitPixels(), c.lit ? 42 : 0);
    EXPECT_EQ(platform.ErrorReports(13), c.reports);
  }
}

TEST_F(Reading, LitCellsAreSixBySevenBlocksAtAPitchOfSevenByEight) {
  Read(test::Frame("1", test::Rows(std::string(18, '1'))));
  DrawFrame();
  for (int x = 0; x < kPixelColumns; ++x)
    for (int y = 0; y < kPixelRows; ++y)
      ASSERT_EQ(pixelBuffer[x][y] != 0, x < 126 && x % 7 < 6 && y % 8 < 7) << x << "," << y;
  Read(test::Frame("1", test::OneCell(17, 7)));
  DrawFrame();
  EXPECT_EQ(LitPixels(), 42);
  EXPECT_TRUE(pixelBuffer[119][56] && pixelBuffer[124][62]);
}

}  // namespace
}  // namespace glowreel
