// Pictures into cells, movies written and read back, a movie as a GIF.
#include <gtest/gtest.h>

#include <QImageReader>
#include <QPainter>
#include <random>

#include <sys/stat.h>

#include <filesystem>

#include "authoring/cell_edits.h"
#include "authoring/gif_export.h"
#include "authoring/movie_writer.h"
#include "authoring/picture_cells.h"
#include "player/frame.h"
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
  const LineList read = ReadMovieFile(file.Path()).lines;
  std::size_t k = 0, wrong = 0;
  int32_t duration = 0;
  CellGrid grid{};
  ForEachFrame(read, [&](std::size_t header) {
    ReadFrame(read, header, duration, grid, [](const MovieReport&) { ADD_FAILURE(); });
    EXPECT_EQ(duration, frames[k].first);
    for (int x = 0; x < kCellColumns; ++x)
      for (int y = 0; y < kCellRows; ++y)
        wrong += (ConvertCell(grid[x][y]) == CellLight::kLit) != frames[k].second[x][y];
    return ++k < frames.size();
  });
  EXPECT_EQ(k, frames.size());
  EXPECT_EQ(wrong, 0u);
  EXPECT_NE(WriteMovieLines("/nonexistent/movie.grm", lines), "");
}

TEST(MovieWriter, AFileIsReplacedWholeThroughItsLinkKeepingItsModeOrGettingTheUsualOne) {
  TempFile target("old");
  const std::string link = target.Directory() + "/link.grm", fresh = target.Directory() + "/new";
  ASSERT_EQ(symlink(target.Path().c_str(), link.c_str()), 0);
  chmod(target.Path().c_str(), 0600);
  const mode_t mask = umask(022);
  EXPECT_EQ(WriteMovieLines(link, {"new"}), "");
  EXPECT_EQ(WriteMovieLines(fresh, {"new"}), "");
  EXPECT_NE(WriteMovieLines(target.Directory() + "/no/such.grm", {"new"}), "");
  umask(mask);
  struct stat info {};
  EXPECT_EQ(lstat(link.c_str(), &info) == 0 && S_ISLNK(info.st_mode), true) << "still a link";
  EXPECT_EQ(ReadMovieFile(target.Path()).lines[0], "new") << "written to its target";
  EXPECT_EQ(stat(target.Path().c_str(), &info) == 0 ? info.st_mode & 0777 : 0, 0600u);
  EXPECT_EQ(stat(fresh.c_str(), &info) == 0 ? info.st_mode & 0777 : 0, 0644u)
      << "readable by the kiosk service's own user";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target.Directory()), {}), 3)
      << "no temporary left";
}

TEST(CellEdits, EachChangeMovesTheCellsOfTheFrameOrOfItsRectangle) {
  Cells cells{};
  cells[0][0] = cells[2][1] = true;
  const CellRect all, box{2, 0, 4, 2};  // columns 2-5, rows 0-1
  // clang-format off
  const std::pair<const char*, Cells> cases[] = {
      {"0,0 2,1", cells}, {"136 lit", Inverted(Filled(Cleared(cells, box), all), box)},
      {"", Cleared(cells)}, {"1,0 3,1", Shifted(cells, 1, 0, false)},
      {"1,1", Shifted(cells, -1, 0, false)}, {"1,1 17,0", Shifted(cells, -1, 0, true)},
      {"0,7 2,0", Shifted(cells, 0, -1, true)}, {"15,1 17,0", Mirrored(cells)},
      {"0,7 2,6", Flipped(cells)}, {"15,6 17,7", Rotated180(cells)},
      {"0,0 5,1", Mirrored(cells, box)}, {"0,0 2,0", Flipped(cells, box)},
      {"0,0 5,0", Rotated180(cells, box)}, {"0,0 5,1", Shifted(cells, -1, 0, true, box)},
      {"0,0", Shifted(cells, 0, 1, false, box)}};
  // clang-format on
  for (const auto& [expected, changed] : cases) {
    SCOPED_TRACE(expected);
    std::string lit;
    int count = 0;
    for (int x = 0; x < kCellColumns; ++x)
      for (int y = 0; y < kCellRows; ++y)
        if (changed[x][y] && ++count) lit += " " + std::to_string(x) + "," + std::to_string(y);
    EXPECT_EQ(count > 10 ? std::to_string(count) + " lit" : lit.substr(lit.empty() ? 0 : 1),
              expected);
  }
}

// The pictures of a GIF, each with its delay in milliseconds.
std::vector<std::pair<QImage, int>> GifFrames(const std::string& path) {
  QImageReader reader(QString::fromStdString(path));
  std::vector<std::pair<QImage, int>> frames;
  for (QImage picture; reader.canRead();) {
    picture = reader.read();  // first: the delay is the picture's just read
    frames.emplace_back(picture, reader.nextImageDelay());
  }
  return frames;
}

// A selection is what of its rectangle lies on the frame; a rectangle with nothing on it, or
// none at all, selects nothing.
TEST(CellEdits, ASelectionIsItsRectangleOnTheFrameAndAnEmptyOneIsNone) {
  const struct {
    CellRect area;
    std::optional<std::array<int, 4>> selected;
  } cases[] = {
      {{2, 3, 4, 2}, std::array{2, 3, 4, 2}},
      {{-3, -3, 5, 5}, std::array{0, 0, 2, 2}},
      {{17, 7, 9, 9}, std::array{17, 7, 1, 1}},
      {{4, 4, 0, 3}, std::nullopt},
      {{4, 4, 3, 0}, std::nullopt},
      {{18, 0, 2, 2}, std::nullopt},
      {{-2, 0, 2, 2}, std::nullopt},
  };
  for (const auto& c : cases) {
    const std::optional<CellRect> got = OnFrame(c.area);
    const auto shown =
        got ? std::optional(std::array{got->x, got->y, got->width, got->height}) : std::nullopt;
    EXPECT_EQ(shown, c.selected) << c.area.x << "," << c.area.y << " " << c.area.width << "x"
                                 << c.area.height;
  }
}

TEST(GifExport, EachPictureIsHeldForItsPauseAndAFrameWithoutOneIsLeftOut) {
  TempFile movie(test::Frame("100", test::OneCell(0, 0)) +
                 test::Frame("-100", test::OneCell(5, 5)) +
                 test::Frame("50", test::OneCell(17, 7)));
  for (const bool repeat : {false, true}) {
    SCOPED_TRACE(repeat ? "looping" : "once");
    const std::string gif = movie.Directory() + "/movie.gif";
    std::string warnings;
    EXPECT_EQ(ExportGif(movie.Path(), gif, repeat, [&](const std::string& w) { warnings += w; }),
              "");
    EXPECT_EQ(warnings, "");
    EXPECT_EQ(QImageReader(QString::fromStdString(gif)).loopCount(), repeat ? -1 : 0);
    const auto frames = GifFrames(gif);
    EXPECT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames.front().second + frames.back().second, 110 + 60);
    EXPECT_NE(frames.front().first.pixel(13, 13), frames.back().first.pixel(13, 13)) << "cell 0,0";
  }
}

TEST(GifExport, APauseLongerThanAFrameCanSayIsSpreadOverFrames) {
  TempFile movie(test::Frame("300000", test::Rows("1")) + test::Frame("300000", test::Rows("1")) +
                 test::Frame("300000", test::Rows("1")));
  const std::string gif = movie.Directory() + "/long.gif";
  EXPECT_EQ(ExportGif(movie.Path(), gif, false, [](const std::string&) {}), "");
  const auto frames = GifFrames(gif);
  EXPECT_EQ(frames.size(), 2u) << "65,535 hundredths at most a frame";
  EXPECT_EQ(frames.front().second + frames.back().second, 3 * 300010);
}

}  // namespace
}  // namespace glowreel
