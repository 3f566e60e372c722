// The editor's movie document without widgets: opened with the player's reading, saved so that
// it plays the same, edited and undone.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "authoring/cell_edits.h"
#include "authoring/movie_document.h"
#include "authoring/movie_writer.h"
#include "player/session.h"
#include "support/fake_platform.h"
#include "support/movies.h"
#include "support/port_record.h"

namespace glowreel {
namespace {

using test::TempFile;

// Every register write playing the file makes, from a fresh start.
std::vector<test::PortWrite> PlayedWrites(const std::string& path) {
  Playback pb;
  test::RecordingWindow window;
  test::FakePlatform platform;
  test::RecordingPort port;
  PlaySession(pb, window, path);
  return port.Writes();
}

// Comments, short rows and bad characters, a frame without its passed-over line (the next
// header is skipped), one with seven rows, and a file that ends inside a frame, with LF ends.
const std::string kGolden = GLOWREEL_GOLDEN_DIR, kMessy = kGolden + "/messy.grm";

TEST(MovieDocument, AMovieOpenedAndSavedWithoutAnEditPlaysTheSame) {
  const std::string samples = GLOWREEL_SAMPLES_DIR;
  TempFile saved;
  for (const std::string& path : {samples + "/wave.grm", samples + "/ball.grm",
                                  samples + "/scroll.grm", kMessy, kGolden + "/broken.grm"}) {
    SCOPED_TRACE(path);
    MovieDocument document;
    EXPECT_EQ(document.Open(path), "");
    const LineList original = ReadMovieFile(path).lines;
    std::vector<std::string> lines(original.FileLine(0) - 1);  // the empty lines it opens with
    for (std::size_t i = 0; i < original.size(); ++i) lines.emplace_back(original[i]);
    EXPECT_EQ(document.Lines(), lines) << "every line is kept, comments and empty ones too";
    EXPECT_EQ(document.Save(saved.Path()), "");
    EXPECT_FALSE(document.IsModified());
    const auto writes = PlayedWrites(path);
    EXPECT_GT(writes.size(), 4224u);
    EXPECT_EQ(PlayedWrites(saved.Path()), writes);
  }
}

TEST(MovieDocument, AnEditRewritesOnlyTheRowsItChangesAndUndoGivesTheLinesBack) {
  MovieDocument document;
  ASSERT_EQ(document.Open(kMessy), "");
  const std::vector<std::string> original = document.Lines();
  EXPECT_EQ(document.FrameCount(), 4) << "the skipped header and the eighth-row one are no frames";
  EXPECT_EQ(document.Look(0).mismatches.size(), 8u * 16) << "15 missing cells and an x a row";

  Cells cells = document.LitCells(0);
  cells[17][7] = false;  // the last row only
  document.SetCells(0, cells, "Draw", 1);
  cells[16][7] = false;
  document.SetCells(0, cells, "Draw", 1);  // the same stroke: one step
  EXPECT_EQ(document.Frames()[0].rows[7], "111111111111111100");
  EXPECT_EQ(document.Frames()[0].rows[6], "1x1") << "untouched rows keep their text";
  EXPECT_TRUE(document.IsModified());
  document.Undo().undo();
  EXPECT_EQ(document.Lines(), original);
  EXPECT_FALSE(document.IsModified());

  document.SetDurations({1, 2}, 250);
  EXPECT_EQ(document.Duration(2), 250);
  EXPECT_EQ(document.Duration(3), 70);
}

TEST(MovieDocument, FramesMoveAndGoWhileCommentsStayAndTheLastFrameStaysWhole) {
  MovieDocument document;
  ASSERT_EQ(document.Open(kMessy), "");
  EXPECT_EQ(document.Frames().back().rows.size(), 2u) << "the file ends in the last frame";
  document.InsertFrames(document.FrameCount(), {{90, Cells{}}}, "Add Frame");
  EXPECT_EQ(document.FrameCount(), 5) << "the new frame is not read as the last one's rows";
  EXPECT_EQ(document.Frames()[3].rows.size(), 8u);
  EXPECT_EQ(document.Frames()[3].rows[2], "101010101010101010")
      << "a missing row is written as the player showed it: the frame before's cells";
  EXPECT_EQ(document.Duration(4), 90);

  document.MoveFrame(1, 0);
  EXPECT_EQ(document.Frames()[0].before, std::vector<std::string>{"title"});
  EXPECT_EQ(document.Duration(0), 40);
  document.RemoveFrames({0, 1});
  EXPECT_EQ(document.FrameCount(), 3);
  EXPECT_EQ(document.Lines().front(), "title") << "the comments of a deleted frame stay";
  EXPECT_EQ(document.Lines()[1], "a comment");
  for (int step = 0; step < 3; ++step) document.Undo().undo();
  MovieDocument fresh;
  fresh.Open(kMessy);
  EXPECT_EQ(document.Lines(), fresh.Lines());
}

// Only the frames an edit touches are read again; the rest must agree with a reading afresh,
// through overflowing durations carried on, a last frame without all its rows, and undo.
TEST(MovieDocument, AfterAnyEditsEveryFrameLooksAndChecksAsItsLinesReadAfresh) {
  std::mt19937 random(7);
  TempFile fresh;
  const TempFile carried{test::Frame("100", test::OneCell(0, 0)) +
                         test::Frame("99999999999", test::OneCell(1, 0)) +
                         test::Frame("99999999999", test::OneCell(2, 0)) + test::Frame("5", {})};
  for (const std::string& path : {kMessy, kGolden + "/broken.grm", carried.Path()}) {
    MovieDocument document;
    ASSERT_EQ(document.Open(path), "");
    for (int step = 0; step < 120; ++step) {
      const int count = document.FrameCount();
      const int k = count ? static_cast<int>(random() % count) : 0;
      const int op = count ? static_cast<int>(random() % 7) : 3;
      SCOPED_TRACE(path + ", step " + std::to_string(step) + ", edit " + std::to_string(op) +
                   " at frame " + std::to_string(k));
      Cells cells{};
      cells[random() % kCellColumns][random() % kCellRows] = true;
      switch (op) {
        case 0:
          document.SetCells(k, cells, "Draw");
          break;
        case 1:
          document.SetDurations({k, (k + 2) % count}, static_cast<int32_t>(random() % 500));
          break;
        case 2:
          document.RemoveFrames({k});
          break;
        case 3:
          document.InsertFrames(k, {{70, cells}}, "Add");
          break;
        case 4:
          document.MoveFrame(k, static_cast<int>(random() % count));
          break;
        case 5:
          document.SetComment(k, {"note " + std::to_string(step)});
          break;
        default:
          document.Undo().undo();
          break;
      }
      ASSERT_EQ(WriteMovieLines(fresh.Path(), document.Lines()), "");
      MovieDocument read;
      ASSERT_EQ(read.Open(fresh.Path()), "");
      ASSERT_EQ(read.FrameCount(), document.FrameCount());
      for (int f = 0; f < read.FrameCount(); ++f) {
        EXPECT_EQ(document.Duration(f), read.Duration(f)) << "frame " << f;
        EXPECT_EQ(document.LitCells(f), read.LitCells(f)) << "frame " << f;
      }
      std::string told, afresh;
      for (const auto& [problem, frame] : document.Check())
        told +=
            std::to_string(frame) + ":" + std::to_string(problem.line) + " " + problem.text + "\n";
      for (const auto& [problem, frame] : read.Check())
        afresh +=
            std::to_string(frame) + ":" + std::to_string(problem.line) + " " + problem.text + "\n";
      ASSERT_EQ(told, afresh);
    }
  }
}

TEST(MovieDocument, BlankLinesOpeningAFileAreKeptAndCountedAsThePlayerCountsThem) {
  const std::string text = "\r\n\r\n" + test::Frame("100", test::Rows("x00000000000000000"));
  TempFile file(text), saved;
  MovieDocument document;
  ASSERT_EQ(document.Open(file.Path()), "");
  ASSERT_FALSE(document.Check().empty());
  EXPECT_EQ(document.Check().front().problem.line, 4u) << "the first row stands on line 4";
  ASSERT_EQ(document.Save(saved.Path()), "");
  std::ifstream in(saved.Path(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text) << "nothing lost";
}

TEST(MovieDocument, StartTimesAddUpTheRealPausesAndFollowEdits) {
  // 100 ms is held 11 slices; an overflowing duration makes no pause; a carried one its own.
  TempFile file(test::Frame("100", test::Rows("0")) + test::Frame("999999", test::Rows("0")) +
                test::Frame("20", test::Rows("0")));
  MovieDocument document;
  ASSERT_EQ(document.Open(file.Path()), "");
  EXPECT_EQ(document.StartMs(1), 110);
  EXPECT_EQ(document.StartMs(2), 110);
  EXPECT_EQ(document.TotalMs(), 140);
  document.SetDurations({0}, 0);
  EXPECT_EQ(document.TotalMs(), 40) << "a pause of one slice";
  document.Undo().undo();
  EXPECT_EQ(document.TotalMs(), 140);
}

TEST(MovieDocument, AMarqueeMovesACellAStepFromOutOfSightToOutOfSightHeldInTheMiddle) {
  const struct {
    ScrollWay way;
    std::size_t frames;
    int middleX, middleY;  // where the text's top left stands when held
  } kWays[] = {{ScrollWay::kLeft, 18 + 11, 3, 1},
               {ScrollWay::kRight, 18 + 11, 3, 1},
               {ScrollWay::kUp, 8 + 7, 3, 0}};
  for (const auto& way : kWays) {
    SCOPED_TRACE(static_cast<int>(way.way));
    const CellFrames frames = ScrollingText("AB", {way.way, 1, 50, 1000});
    ASSERT_EQ(frames.size(), way.frames);
    int held = 0;
    for (const auto& [duration, cells] : frames) {
      if (duration == 40) continue;  // a 50 ms step is 5 slices
      ++held;
      EXPECT_EQ(duration, 990) << "held 100 slices";
      EXPECT_EQ(cells, Lettered(Lettered({}, way.middleX, way.middleY, 'A'), way.middleX + 6,
                                way.middleY, 'B'));
    }
    EXPECT_EQ(held, 1);
    EXPECT_EQ(frames.back().second, Cells{}) << "it ends out of sight";
  }
}

}  // namespace
}  // namespace glowreel
