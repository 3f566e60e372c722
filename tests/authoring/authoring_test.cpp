// Pictures into cells, movies written and read back, a movie checked, a movie as a GIF.
#include <gtest/gtest.h>

#include <QImageReader>
#include <QPainter>
#include <random>

#include "authoring/gif_export.h"
#include "authoring/movie_check.h"
#include "authoring/movie_writer.h"
#include "authoring/picture_cells.h"
#include "player/frame.h"
#include "support/fake_platform.h"
#include "support/movie_text.h"
#include "support/temp_file.h"

namespace glowreel {
namespace {

using test::TempFile;

Cells RandomCells(std::mt19937& random) {
  Cells cells{};
  for (auto& column : cells)
    for (bool& cell : column) cell = random() % 2;
  return cells;
}

// A picture whose every `pitch` block is white where the cell is lit.
QImage PictureOf(const Cells& cells, int pitchX, int pitchY) {
  QImage picture(kCellColumns * pitchX, kCellRows * pitchY, QImage::Format_RGB32);
  picture.fill(Qt::black);
  QPainter painter(&picture);
  for (int x = 0; x < kCellColumns; ++x)
    for (int y = 0; y < kCellRows; ++y)
      if (cells[x][y]) painter.fillRect(x * pitchX, y * pitchY, pitchX, pitchY, Qt::white);
  return picture;
}

int Lit(const Cells& cells) {
  int lit = 0;
  for (const auto& column : cells)
    for (bool cell : column) lit += cell;
  return lit;
}

TEST(PictureCells, AnExactPictureLosesNothingAndBrightnessDecidesByTheThreshold) {
  std::mt19937 random(7);
  const Cells cells = RandomCells(random);
  for (const Fit fit : {Fit::kContain, Fit::kCover, Fit::kStretch}) {
    EXPECT_EQ(CellsOfPicture(PictureOf(cells, 1, 1), {fit, 50, false, false}), cells);
    EXPECT_EQ(CellsOfPicture(PictureOf(cells, 7, 8), {fit, 50, false, false}), cells);
  }
  QImage grey(40, 40, QImage::Format_RGB32);
  grey.fill(qRgb(128, 128, 128));  // 50.2 %, filling the 126 x 64 dots when stretched
  struct Case {
    CellOptions options;
    int lit;
  };
  for (const Case& c :
       {Case{{Fit::kStretch, 50, false, false}, 144}, Case{{Fit::kStretch, 51, false, false}, 0},
        Case{{Fit::kStretch, 49, true, false}, 144}, Case{{Fit::kStretch, 50, true, false}, 0},
        Case{{Fit::kContain, 50, false, false}, 8 * 8},  // the bars stay black
        Case{{Fit::kCover, 50, false, false}, 144}}) {
    SCOPED_TRACE(std::to_string(c.options.threshold) + (c.options.invert ? " inverted" : ""));
    EXPECT_EQ(Lit(CellsOfPicture(grey, c.options)), c.lit);
  }
  const Cells dithered = CellsOfPicture(grey, {Fit::kStretch, 50, false, true});
  EXPECT_NEAR(Lit(dithered), 72, 2) << "half a grey is half the cells";
  EXPECT_NE(dithered[0][0], dithered[1][0]);
}

TEST(MovieWriter, WhatItWritesTheMovieReaderReadsBackCellForCell) {
  test::FakePlatform platform;
  std::mt19937 random(11);
  std::vector<std::string> lines = {"A title line"};
  std::vector<std::pair<int32_t, Cells>> frames;
  for (int k = 0; k < 50; ++k) {
    frames.emplace_back(static_cast<int32_t>(random() % 100000) - 1000, RandomCells(random));
    for (std::string& line : FrameLines(frames.back().first, frames.back().second))
      lines.push_back(std::move(line));
  }
  TempFile file;
  ASSERT_EQ(WriteMovieLines(file.Path(), lines), "");
  sMovieFile = file.Path();
  const LineList read = ReadMovieFile();
  std::size_t k = 0;
  int32_t duration = 0;
  ForEachFrame(read, [&](std::size_t header) {
    ReadFrame(read, header, duration);
    EXPECT_EQ(duration, frames[k].first);
    for (int x = 0; x < kCellColumns; ++x)
      for (int y = 0; y < kCellRows; ++y)
        EXPECT_EQ(ConvertCell(cellGrid[x][y]) == CellLight::kLit, frames[k].second[x][y]);
    return ++k < frames.size();
  });
  EXPECT_EQ(k, frames.size());
  EXPECT_TRUE(platform.boxes.empty());
  EXPECT_NE(WriteMovieLines("/nonexistent/movie.grm", lines), "");
}

TEST(MovieCheck, TellsEachProblemWithItsLineFromThePlayersReading) {
  const std::string ok(18, '0');
  std::vector<std::string> rows = test::Rows(ok);
  rows[2] = "0000000000x0000";  // row 3: a letter, and short
  std::string seven = "@100\r\n";
  for (int row = 0; row < 7; ++row) seven += ok + "\r\n";
  const std::string movie = "title\r\n" + test::Frame("abc", rows) +
                            test::Frame("400000", test::Rows(ok)) + seven +
                            test::Frame("1e20", test::Rows(ok)) + "@50\r\n" + ok;
  TempFile file(movie);
  std::vector<std::string> told;
  for (const MovieProblem& p : CheckMovie(file.Path()))
    told.push_back(std::to_string(p.line) + (p.reports ? " ! " : " ") + p.text);
  EXPECT_EQ(
      told,
      (std::vector<std::string>{
          "2 duration \"abc\" reads as 0",
          "5 ! row 3, cell 11 is \"x\", no digit: it will report 13 - Type mismatch and show lit",
          "5 ! row 3 has 15 cells; cells 16-18 will report 13 - Type mismatch and show lit",
          "12 ! 6 - Overflow: duration 400000 is too long (at most 327674 ms); the frame is shown "
          "without a pause",
          "30 frame header taken as row 8 of the frame at line 22",
          "30 ! row 8, cells 1 is \"@\", 3 is \"e\", no digits: each will report 13 - "
          "Type mismatch and show lit",
          "30 ! row 8 has 5 cells; cells 6-18 will report 13 - Type mismatch and show lit",
          "40 ! 9 - Subscript out of range: the file ends 1 row into this frame; the "
          "missing rows keep the cells before"}));
  EXPECT_EQ(CheckMovie("/nonexistent.grm").front().text, "53 - File not found");
}

TEST(GifExport, EachPictureIsHeldForItsPauseAndAFrameWithoutOneIsLeftOut) {
  TempFile movie(test::Frame("100", test::OneCell(0, 0)) +
                 test::Frame("-100", test::OneCell(5, 5)) +
                 test::Frame("50", test::OneCell(17, 7)));
  for (const bool repeat : {false, true}) {
    const std::string gif = movie.Directory() + "/movie.gif";
    std::vector<std::string> warnings;
    ASSERT_EQ(
        ExportGif(movie.Path(), gif, repeat, [&](const std::string& w) { warnings.push_back(w); }),
        "");
    EXPECT_TRUE(warnings.empty());
    QImageReader reader(QString::fromStdString(gif));
    EXPECT_EQ(reader.loopCount(), repeat ? -1 : 0);
    std::vector<int> delays;
    std::vector<QImage> pictures;
    while (reader.canRead()) {
      pictures.push_back(reader.read());
      delays.push_back(reader.nextImageDelay());
    }
    EXPECT_EQ(delays, (std::vector<int>{110, 60}));
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_NE(pictures[0].pixel(12 + 1, 12 + 1), pictures[1].pixel(12 + 1, 12 + 1)) << "cell 0,0";
  }
}

}  // namespace
}  // namespace glowreel
