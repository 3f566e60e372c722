// Pictures into cells, movies written and read back, a movie as a GIF.
#include <gtest/gtest.h>

#include <QImageReader>
#include <QPainter>
#include <random>

#include "authoring/gif_export.h"
#include "authoring/movie_writer.h"
#include "authoring/picture_cells.h"
#include "player/frame.h"
#include "support/fake_platform.h"
#include "support/movies.h"

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
  // clang-format off
  const std::pair<CellOptions, int> cases[] = {  // the options, and the cells they light
      {{Fit::kStretch, 50, false, false}, 144}, {{Fit::kStretch, 51, false, false}, 0},
      {{Fit::kStretch, 49, true, false}, 144},  {{Fit::kStretch, 50, true, false}, 0},
      {{Fit::kContain, 50, false, false}, 8 * 8} /* the bars stay black */,
      {{Fit::kCover, 50, false, false}, 144}};
  // clang-format on
  for (const auto& [options, lit] : cases) {
    SCOPED_TRACE(std::to_string(options.threshold) + (options.invert ? " inverted" : ""));
    EXPECT_EQ(Lit(CellsOfPicture(grey, options)), lit);
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

TEST(GifExport, EachPictureIsHeldForItsPauseAndAFrameWithoutOneIsLeftOut) {
  TempFile movie(test::Frame("100", test::OneCell(0, 0)) +
                 test::Frame("-100", test::OneCell(5, 5)) +
                 test::Frame("50", test::OneCell(17, 7)));
  for (const bool repeat : {false, true}) {
    const std::string gif = movie.Directory() + "/movie.gif";
    std::string warnings;
    ASSERT_EQ(ExportGif(movie.Path(), gif, repeat, [&](const std::string& w) { warnings += w; }),
              "");
    EXPECT_EQ(warnings, "");
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
