// Playback: the walk through the frames, the pacing in slices, the end of a pass, Repeat, Stop.
#include <gtest/gtest.h>

#include "core/shared_state.h"
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

class Playing : public ::testing::Test, public PlayerWindow {
 protected:
  void SetUp() override {
    ResetSharedState();
    lPortBase = 888;
    InitDisplay();  // the display model needs the start-up to advance X
    SetPlayerWindow(this);
  }
  void TearDown() override { SetPlayerWindow(nullptr); }
  int RepeatValue() const override { return repeat; }
  void SetGoCaption(const std::string& caption) override { captions.push_back(caption); }

  void Play(const std::string& movie) {
    file.Write(movie);
    sMovieFile = file.Path();
    bPlaying = true;
    PlayMovie();
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
    bPlaying = false;
    ClearDisplay();
    SetGoCaption("&Play");
  }

  test::FakePlatform platform;
  test::RecordingPort port;
  test::TempFile file;
  int repeat = 0;
  std::vector<std::string> captions;
};

TEST_F(Playing, EachFrameIsHeldForItsSlicesAndTheLastStaysWhenTheMovieEnds) {
  platform.onSleep = [this](int32_t ms) { port.Note("wait " + std::to_string(ms)); };
  Play("My movie\r\n" + Frame("100", OneCell(0, 0)) + "a note\r\n" + Frame("50", OneCell(17, 7)));
  EXPECT_EQ(SlicesPerFrame(), (std::vector<int>{11, 6}));
  EXPECT_EQ(platform.pumps, 17 + 1) << "one pump per slice and one at the end of the pass";
  EXPECT_FALSE(bPlaying);
  EXPECT_EQ(captions, std::vector<std::string>{"&Play"});
  EXPECT_TRUE(port.Model().Lit(119, 56));
  EXPECT_FALSE(port.Model().Lit(0, 0));
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(Playing, DelayRunsRoundedSlicesOfTenMillisecondsOrReportsAnOverflow) {
  // clang-format off
  const std::tuple<int32_t, int, int> cases[] = {  // duration, slices, overflow reports
      {0, 1, 0}, {5, 1, 0}, {-5, 1, 0}, {-6, 0, 0}, {6, 2, 0}, {14, 2, 0}, {15, 3, 0},
      {25, 3, 0}, {26, 4, 0}, {100, 11, 0}, {-327685, 0, 0}, {327674, 32768, 0},
      {327675, 0, 1}, {-327695, 0, 1}, {INT32_MIN, 0, 1}};
  // clang-format on
  for (const auto& [duration, slices, overflows] : cases) {
    SCOPED_TRACE("duration " + std::to_string(duration));
    test::FakePlatform clock;
    EXPECT_EQ(Delay(duration), slices > 0);
    EXPECT_EQ(clock.sleeps, std::vector<int32_t>(slices, 10));
    EXPECT_EQ(clock.pumps, slices);
    EXPECT_EQ(clock.ErrorReports(6), overflows);
    EXPECT_EQ(clock.ErrorReports(), overflows);
  }
}

TEST_F(Playing, NothingToShowEndsAtOnceEvenWithRepeatAndNotPlayingOpensNothing) {
  repeat = 1;
  const std::size_t writes = port.Writes().size();
  for (const std::string movie : {"", "no frames here\r\n at\r\n"}) Play(movie);
  EXPECT_EQ(captions, (std::vector<std::string>{"&Play", "&Play"}));
  EXPECT_EQ(port.Writes().size(), writes);
  sMovieFile = "/nonexistent/movie.grm";
  PlayMovie();
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(Playing, RepeatReusesTheLinesReadAtTheStartAndCarriesTheDurationOver) {
  repeat = 1;
  platform.onSleep = [this](int32_t ms) { port.Note("wait " + std::to_string(ms)); };
  platform.AtPump(1, [this] { file.Write(Frame("10", OneCell(17, 7))); });
  platform.AtPump(1 + 4 + 1 + 4, [this] { ClickStop(); });  // slices and ends of passes
  Play(Frame("1e20", OneCell(0, 0)) + Frame("30", OneCell(0, 0)));
  EXPECT_EQ(SlicesPerFrame(), (std::vector<int>{1, 4, 4})) << "1e20 overflows: the one before";
  EXPECT_EQ(platform.ErrorReports(6), 2);
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
    const test::Mark before = port.Position();
    counting.AtPump(5, [this] { ClickStop(); });
    Play(movie);
    EXPECT_FALSE(bPlaying);
    const auto lines = port.TranscriptFrom(before);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "page 0"), frames);
    EXPECT_EQ(captions.back(), "&Play");
  }
}

TEST_F(Playing, OnceTheProgramIsExitingEveryPauseEndsAtOnce) {
  platform.AtPump(3, [] {
    bPlaying = false;
    bExiting = true;
  });
  Play(Frame("327674", Rows("1")));
  EXPECT_EQ(platform.sleeps.size(), 1u + 3) << "the start-up's wait and three slices";
}

}  // namespace
}  // namespace glowreel
