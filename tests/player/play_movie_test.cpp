// Playback: the walk through the frames, the pacing in slices, the end of a pass, Repeat, Stop.
#include <gtest/gtest.h>

#include "core/playback.h"
#include "player/play_movie.h"
#include "support/fake_platform.h"
#include "support/movies.h"
#include "support/port_record.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

using test::Frame;
using test::OneCell;
using test::Rows;

const std::string kLit(18, '1'), kDark(18, '0');

class Playing : public ::testing::Test, public test::RecordingWindow {
 protected:
  void SetUp() override {
    pb.lPortBase = kFirstParallelPort;
    InitDisplay(pb);  // the display model needs the start-up to advance X
  }

  void Play(const std::string& movie) {
    file.Write(movie);
    pb.sMovieFile = file.Path();
    pb.bPlaying = true;
    PlayMovie(pb, *this);
  }
  // The slices each frame sent was held for, in order.
  std::vector<int> SlicesPerFrame() const {
    std::vector<int> slices;
    for (const std::string& line : port.TranscriptFrom()) {
      if (line == "page 0") slices.push_back(0);
      if (line == "wait 10" && !slices.empty()) ++slices.back();
    }
    return slices;
  }
  // What the Stop button does while the movie plays.
  void ClickStop() {
    pb.bPlaying = false;
    ClearDisplay(pb);
    SetGoCaption("&Play");
  }

  Playback pb;
  test::FakePlatform platform;
  test::RecordingPort port;
  test::TempFile file;
};

TEST_F(Playing, EachFrameIsHeldForItsSlicesAndTheLastStaysWhenTheMovieEnds) {
  platform.onSleep = [this](int32_t ms) { port.Note("wait " + std::to_string(ms)); };
  Play("My movie\r\n" + Frame("100", OneCell(0, 0)) + "a note\r\n" + Frame("50", OneCell(17, 7)));
  EXPECT_EQ(SlicesPerFrame(), (std::vector<int>{11, 6}));
  EXPECT_EQ(platform.pumps, 17 + 1) << "one pump per slice and one at the end of the pass";
  EXPECT_FALSE(pb.bPlaying);
  EXPECT_EQ(captions, std::vector<std::string>{"&Play"});
  EXPECT_TRUE(port.Model().Lit(119, 56));
  EXPECT_FALSE(port.Model().Lit(0, 0));
  EXPECT_TRUE(reports.empty());
  EXPECT_TRUE(platform.boxes.empty()) << "the player's reports go to its window only";
}

TEST_F(Playing, DelayRunsRoundedSlicesOfTenMillisecondsOrTellsOfAnOverflow) {
  const auto made = Pause::kMade, none = Pause::kNone, overflow = Pause::kOverflow;
  // clang-format off
  const std::tuple<int32_t, int, Pause> cases[] = {  // duration, slices, what the pause came to
      {0, 1, made}, {5, 1, made}, {-5, 1, made}, {-6, 0, none}, {6, 2, made}, {14, 2, made},
      {15, 3, made}, {25, 3, made}, {26, 4, made}, {100, 11, made}, {-327685, 0, none},
      {327674, 32768, made}, {327675, 0, overflow}, {-327695, 0, overflow},
      {INT32_MIN, 0, overflow}};
  // clang-format on
  for (const auto& [duration, slices, pause] : cases) {
    SCOPED_TRACE("duration " + std::to_string(duration));
    test::FakePlatform clock;
    EXPECT_EQ(Delay(pb, duration), pause);
    EXPECT_EQ(clock.sleeps, std::vector<int32_t>(slices, 10));
    EXPECT_EQ(clock.pumps, slices);
  }
}

TEST_F(Playing, EachReportNamesTheLineThatCausedIt) {
  auto rows = Rows(kDark);
  rows[2] = "0x";  // row 3: "x" and 16 cells without text cannot be drawn
  Play("title\r\n\r\n" + Frame("400000", rows) + "@1e20\r\n" + kDark + "\r\n");
  std::vector<std::string> expected(17, "13 at 6");
  expected.push_back("6 at 3");                        // a pause too long to count
  expected.insert(expected.end(), 7 * 18, "9 at 13");  // the rows the file lacks
  expected.push_back("6 at 13");                       // a duration that does not fit
  expected.insert(expected.end(), 17, "13 at 13");     // row 3 kept: the header tells
  expected.push_back("6 at 13");
  EXPECT_EQ(reports, expected);
}

TEST_F(Playing, NothingToShowEndsAtOnceEvenWithRepeatAndAMissingFileIsReportedOnce) {
  repeat = 1;
  const std::size_t writes = port.Writes().size();
  for (const std::string movie : {"", "no frames here\r\n at\r\n"}) Play(movie);
  EXPECT_EQ(captions, (std::vector<std::string>{"&Play", "&Play"}));
  EXPECT_EQ(port.Writes().size(), writes);
  EXPECT_TRUE(reports.empty());
  pb.sMovieFile = "/nonexistent/movie.grm";
  pb.bPlaying = true;
  PlayMovie(pb, *this);
  EXPECT_EQ(reports, std::vector<std::string>{"53 at 0"});
  pb.bPlaying = false;
  PlayMovie(pb, *this);
  EXPECT_EQ(reports.size(), 1u) << "not playing: the file is not even read";
}

TEST_F(Playing, RepeatReusesTheLinesReadAtTheStartAndCarriesTheDurationOver) {
  repeat = 1;
  platform.onSleep = [this](int32_t ms) { port.Note("wait " + std::to_string(ms)); };
  platform.AtPump(1, [this] { file.Write(Frame("10", OneCell(17, 7))); });
  platform.AtPump(1 + 4 + 1 + 4, [this] { ClickStop(); });  // slices and ends of passes
  Play(Frame("1e20", OneCell(0, 0)) + Frame("30", OneCell(0, 0)));
  EXPECT_EQ(SlicesPerFrame(), (std::vector<int>{1, 4, 4})) << "1e20 overflows: the one before";
  EXPECT_EQ(reports, (std::vector<std::string>{"6 at 1", "6 at 1"}));
  EXPECT_FALSE(port.Model().Lit(119, 56)) << "the changed file is not read again";
}

TEST_F(Playing, ARepeatPassWithoutAPauseEndsPlaybackOnlyWhenItReported) {
  repeat = 1;
  // clang-format off
  const std::tuple<const char*, std::string, int> cases[] = {
      {"no pause", Frame("-100", Rows(kLit)) + Frame("-6", Rows(kDark)), 5 * 2},  // until Stop
      {"slices out of range", Frame("400000", Rows(kLit)), 1},
      {"no pause, a bad cell", Frame("-100", Rows("1x")), 1}};
  // clang-format on
  for (const auto& [name, movie, frames] : cases) {
    SCOPED_TRACE(name);
    test::FakePlatform counting;
    test::RecordingPort fresh;
    counting.AtPump(5, [this] { ClickStop(); });
    Play(movie);
    EXPECT_FALSE(pb.bPlaying);
    const auto lines = fresh.TranscriptFrom();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "page 0"), frames);
    EXPECT_EQ(captions.back(), "&Play");
  }
}

}  // namespace
}  // namespace glowreel
