#include <gtest/gtest.h>

#include "app/shared_state.h"
#include "player/frame.h"
#include "support/fake_platform.h"
#include "support/movie_text.h"

namespace glowreel {
namespace {

using test::FakePlatform;

LineList Movie(const std::string& text) {
  return SplitMovieText(text);
}

int LitPixels() {
  int lit = 0;
  for (const auto& column : pixelBuffer)
    for (int16_t pixel : column) lit += pixel != 0;
  return lit;
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSharedState(); }
  FakePlatform platform;
};

TEST_F(FrameTest, ReadFrameTakesRowsAndDuration) {
  auto rows = test::Rows("101010101010101010XYZ");  // longer than 18: the rest is ignored
  rows[3] = "1111100000";                           // short: the rest is the empty text
  rows[5] = "";
  rows[6] = "@10";  // still a row, although it begins with "@"
  int32_t duration = 0;
  ReadFrame(Movie(test::Frame("250", rows)), 0, duration);
  EXPECT_EQ(duration, 250);
  EXPECT_EQ(cellGrid[0][0], Cell::Char('1'));
  EXPECT_EQ(cellGrid[1][0], Cell::Char('0'));
  EXPECT_EQ(cellGrid[17][7], Cell::Char('0'));
  EXPECT_EQ(cellGrid[9][3], Cell::Char('0'));
  EXPECT_EQ(cellGrid[10][3], Cell::EmptyText());
  EXPECT_EQ(cellGrid[17][3], Cell::EmptyText());
  EXPECT_EQ(cellGrid[0][5], Cell::EmptyText());
  EXPECT_EQ(cellGrid[0][6], Cell::Char('@'));
  EXPECT_EQ(platform.boxes.size(), 0u);
}

TEST_F(FrameTest, HeaderOnLastLineReportsEveryMissingCellAndKeepsOldCells) {
  int32_t duration = 70;
  ReadFrame(Movie(test::Frame("1", test::OneCell(4, 6))), 0, duration);
  ASSERT_EQ(cellGrid[4][6], Cell::Char('1'));

  ReadFrame(Movie("title\r\n@99"), 1, duration);
  EXPECT_EQ(platform.ErrorReports(9), 144);
  EXPECT_EQ(platform.ErrorReports(), 144);
  EXPECT_EQ(cellGrid[4][6], Cell::Char('1'));
  EXPECT_EQ(cellGrid[3][6], Cell::Char('0'));
  EXPECT_EQ(duration, 99);
}

TEST_F(FrameTest, HeaderNearTheEndFillsTheRowsThereAre) {
  int32_t duration = 0;
  ReadFrame(Movie("@1e20\r\n111\r\n111\r\n111"), 0, duration);
  EXPECT_EQ(cellGrid[0][2], Cell::Char('1'));
  EXPECT_EQ(cellGrid[3][2], Cell::EmptyText());
  EXPECT_FALSE(cellGrid[0][3].HasValue());
  // Five missing rows first, then the overflow of the duration.
  ASSERT_EQ(platform.boxes.size(), 5u * 18 + 1);
  EXPECT_EQ(platform.ErrorReports(9), 90);
  EXPECT_NE(platform.boxes.back().text.find("\r\n6 - Overflow"), std::string::npos);
  EXPECT_EQ(duration, 0) << "an overflowing duration keeps the old one";
}

TEST_F(FrameTest, AllLitFrameGivesBlocksWithDarkGaps) {
  int32_t duration = 0;
  ReadFrame(Movie(test::Frame("1", test::Rows(std::string(18, '1')))), 0, duration);
  DrawFrame();
  EXPECT_EQ(LitPixels(), 144 * 42);
  for (int x = 0; x < kPixelColumns; ++x) {
    for (int y = 0; y < kPixelRows; ++y) {
      const bool expected = x < 126 && x % 7 < 6 && y % 8 < 7;
      ASSERT_EQ(pixelBuffer[x][y] != 0, expected) << "pixel " << x << "," << y;
    }
  }
}

struct OneCellCase {
  int cellX, cellY;
  int left, top;
};

TEST_F(FrameTest, OneLitCellLightsExactlyItsBlock) {
  for (const OneCellCase c :
       {OneCellCase{0, 0, 0, 0}, OneCellCase{17, 7, 119, 56}, OneCellCase{3, 2, 21, 16}}) {
    SCOPED_TRACE("cell " + std::to_string(c.cellX) + "," + std::to_string(c.cellY));
    int32_t duration = 0;
    ReadFrame(Movie(test::Frame("1", test::OneCell(c.cellX, c.cellY))), 0, duration);
    DrawFrame();
    EXPECT_EQ(LitPixels(), 42);
    for (int x = c.left; x < c.left + 6; ++x)
      for (int y = c.top; y < c.top + 7; ++y) EXPECT_EQ(pixelBuffer[x][y], kLit);
  }
}

TEST_F(FrameTest, CellTextDecidesLightAndReport) {
  struct Case {
    const char* name;
    Cell cell;
    bool lit;
    int reports;
  };
  const Case cases[] = {
      {"no value", Cell::NoValue(), false, 0}, {"0", Cell::Char('0'), false, 0},
      {"1", Cell::Char('1'), true, 0},         {"5", Cell::Char('5'), true, 0},
      {"9", Cell::Char('9'), true, 0},         {"empty text", Cell::EmptyText(), true, 1},
      {"blank", Cell::Char(' '), true, 1},     {"x", Cell::Char('x'), true, 1},
      {"@", Cell::Char('@'), true, 1},         {".", Cell::Char('.'), true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("cell ") + c.name);
    platform.boxes.clear();
    pixelBuffer[127][63] = kLit;
    cellGrid[0][0] = c.cell;
    DrawFrame();
    EXPECT_EQ(LitPixels(), c.lit ? 42 : 0) << "the image is cleared for every frame";
    EXPECT_EQ(platform.ErrorReports(13), c.reports);
  }
}

TEST_F(FrameTest, ShortRowGivesMismatchReportsAndLitBlocks) {
  auto rows = test::Rows(std::string(18, '0'));
  rows[4] = "0000000000";
  int32_t duration = 0;
  ReadFrame(Movie(test::Frame("1", rows)), 0, duration);
  DrawFrame();
  EXPECT_EQ(platform.ErrorReports(13), 8);
  EXPECT_EQ(LitPixels(), 8 * 42);
  EXPECT_EQ(pixelBuffer[70][32], kLit);
  EXPECT_EQ(pixelBuffer[63][32], kDark);
}

}  // namespace
}  // namespace glowreel
