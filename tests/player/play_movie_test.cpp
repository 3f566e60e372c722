#include <gtest/gtest.h>

#include "app/shared_state.h"
#include "player/play_movie.h"
#include "support/fake_platform.h"
#include "support/movie_text.h"
#include "support/recording_port.h"
#include "support/temp_file.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

using test::FakePlatform;
using test::Frame;
using test::OneCell;
using test::RecordingPort;
using test::Rows;
using test::TempFile;

class FakeWindow : public PlayerWindow {
 public:
  int RepeatValue() const override { return repeat; }
  void SetGoCaption(const std::string& caption) override { captions.push_back(caption); }
  int repeat = 0;
  std::vector<std::string> captions;
};

class PlayMovieTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSharedState();
    lPortBase = 888;
    InitDisplay();  // the display model needs the start-up sequence to advance X
    initWrites = port.Writes().size();
    SetPlayerWindow(&window);
    // Slices per frame: each sleep is counted against the frames sent so far.
    platform.onSleep = [this](int32_t) {
      const std::size_t frame = FramesSent();
      if (slicesPerFrame.size() < frame) slicesPerFrame.resize(frame);
      if (frame > 0) ++slicesPerFrame[frame - 1];
    };
  }
  void TearDown() override { SetPlayerWindow(nullptr); }

  void Play(const std::string& movie) {
    file.Write(movie);
    sMovieFile = file.Path();
    bPlaying = true;
    PlayMovie();
  }
  // Every refresh sets the Y page 0 once.
  std::size_t FramesSent() const {
    const auto commands = test::Commands(port.Transfers());
    std::size_t frames = 0;
    for (std::size_t i = 0; i + 1 < commands.size(); ++i) {
      frames += commands[i] == 0x60 && commands[i + 1] == 0x00;
    }
    return frames;
  }
  // What the user clicks while the movie plays, as the window's handlers do it.
  void ClickStop() {
    bPlaying = false;
    ClearDisplay();
    window.SetGoCaption("&Play");
  }

  FakePlatform platform;
  RecordingPort port;
  FakeWindow window;
  TempFile file;
  std::vector<int> slicesPerFrame;
  std::size_t initWrites = 0;
};

const std::string kLitRow(18, '1');
const std::string kDarkRow(18, '0');

TEST_F(PlayMovieTest, PlaysEachFrameForItsSlicesAndEndsWithoutRepeat) {
  Play("My movie\r\n" + Frame("100", OneCell(0, 0)) + Frame("50", OneCell(17, 7)));
  EXPECT_EQ(slicesPerFrame, (std::vector<int>{11, 6}));
  EXPECT_EQ(platform.pumps, 17 + 1) << "one pump per slice and one at the end of the pass";
  EXPECT_FALSE(bPlaying);
  EXPECT_EQ(window.captions, std::vector<std::string>{"&Play"});
  const DisplayModel shown = port.Model();
  EXPECT_TRUE(shown.Stored(0, 119, 56)) << "the last frame stays on the display";
  EXPECT_FALSE(shown.Stored(0, 0, 0));
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(PlayMovieTest, DelayRunsRoundedSlicesOfTenMilliseconds) {
  struct Case {
    int32_t duration;
    int slices;
  };
  for (const Case c : {Case{0, 1}, Case{5, 1}, Case{-5, 1}, Case{-6, 0}, Case{6, 2}, Case{14, 2},
                       Case{15, 3}, Case{25, 3}, Case{26, 4}, Case{35, 5}, Case{45, 5},
                       Case{100, 11}, Case{1000, 101}, Case{-327685, 0}, Case{327674, 32768}}) {
    SCOPED_TRACE("duration " + std::to_string(c.duration));
    FakePlatform clock;
    Delay(c.duration);
    EXPECT_EQ(clock.sleeps, std::vector<int32_t>(c.slices, 10));
    EXPECT_EQ(clock.pumps, c.slices);
    EXPECT_TRUE(clock.boxes.empty());
  }
}

TEST_F(PlayMovieTest, DelayOutsideSixteenBitsReportsOverflowAndDoesNotPause) {
  for (const int32_t duration : {327675, -327695, INT32_MAX, INT32_MIN}) {
    SCOPED_TRACE("duration " + std::to_string(duration));
    FakePlatform clock;
    Delay(duration);
    EXPECT_EQ(clock.ErrorReports(6), 1);
    EXPECT_EQ(clock.ErrorReports(), 1);
    EXPECT_TRUE(clock.sleeps.empty());
  }
}

TEST_F(PlayMovieTest, MovieWithoutFramesEndsAtOnceWithOrWithoutRepeat) {
  for (const int repeat : {0, 1}) {
    for (const std::string movie : {"", "no frames here\r\n at\r\n"}) {
      SCOPED_TRACE("repeat " + std::to_string(repeat) + ", movie \"" + movie + "\"");
      window.repeat = repeat;
      window.captions.clear();
      Play(movie);
      EXPECT_FALSE(bPlaying);
      EXPECT_EQ(window.captions, std::vector<std::string>{"&Play"});
      EXPECT_EQ(port.Writes().size(), initWrites);
    }
  }
}

TEST_F(PlayMovieTest, NotPlayingOnEntryReturnsWithoutOpeningTheFile) {
  sMovieFile = "/nonexistent/movie.grm";
  bPlaying = false;
  PlayMovie();
  EXPECT_TRUE(platform.boxes.empty());
  EXPECT_TRUE(window.captions.empty());
}

TEST_F(PlayMovieTest, StopDuringALongFrameSendsNothingMoreAndReturnsAfterTheWait) {
  platform.AtTime(1000, [this] { ClickStop(); });
  const std::size_t before = port.Writes().size();
  Play(Frame("5000", Rows("1")) + Frame("100", Rows("0")));
  EXPECT_EQ(platform.clock, 1 + 5010) << "the start-up wait, then all 501 slices of the pause";
  const auto transfers = port.Transfers(before);
  ASSERT_EQ(transfers.size(), 1056u + 1);
  EXPECT_EQ(transfers.back(), test::Cmd(0x5F)) << "only the Stop's clear follows the frame";
  EXPECT_EQ(window.captions, std::vector<std::string>{"&Play"});
}

TEST_F(PlayMovieTest, RepeatReusesTheLinesReadAtTheStart) {
  window.repeat = 1;
  std::vector<bool> cornerLit;
  platform.AtPump(1, [this] { file.Write(Frame("10", OneCell(17, 7))); });
  platform.AtPump(3 * 3, [this] { ClickStop(); });  // two slices and one end of pass each
  platform.onPump = [&] { cornerLit.push_back(port.Model().Stored(0, 0, 0)); };
  Play(Frame("10", OneCell(0, 0)));
  EXPECT_EQ(FramesSent(), 3u);
  // The last pump is the Stop, which clears the display.
  for (std::size_t i = 0; i + 1 < cornerLit.size(); ++i) EXPECT_TRUE(cornerLit[i]) << "pump " << i;
}

TEST_F(PlayMovieTest, DurationCarriesOverFromFrameToFrameAndIntoRepeats) {
  window.repeat = 1;
  platform.AtPump(1 + 4 + 1 + 4, [this] { ClickStop(); });
  Play(Frame("1e20", Rows("1")) + Frame("30", Rows("0")));
  EXPECT_EQ(slicesPerFrame, (std::vector<int>{1, 4, 4}));
  EXPECT_EQ(platform.ErrorReports(6), 2);
}

TEST_F(PlayMovieTest, PlayAfterStopPlaysNestedAndTheOuterPlaybackEndsWithoutDrawing) {
  const std::string second = Frame("20", OneCell(5, 5)) + Frame("20", OneCell(6, 6));
  platform.AtPump(2, [&] {
    ClickStop();
    file.Write(second);  // the nested playback reads the file afresh
    bPlaying = true;
    PlayMovie();
  });
  Play(Frame("100", OneCell(0, 0)) + Frame("100", OneCell(1, 1)));
  EXPECT_EQ(FramesSent(), 3u) << "the outer frame, then the two nested ones";
  // The outer frame's remaining slices run after the nested playback.
  EXPECT_EQ(slicesPerFrame, (std::vector<int>{2, 3, 3 + 9}));
  EXPECT_TRUE(port.Model().Stored(0, 6 * 7, 6 * 8));
  EXPECT_FALSE(bPlaying);
}

TEST_F(PlayMovieTest, RepeatWithoutPausesStaysStoppable) {
  window.repeat = 1;
  platform.AtPump(5, [this] { ClickStop(); });
  Play(Frame("-100", Rows("1")) + Frame("-6", Rows("0")));
  EXPECT_EQ(FramesSent(), 10u) << "five passes of two frames, one pump at the end of each";
  EXPECT_EQ(platform.sleeps, std::vector<int32_t>{1}) << "only the start-up wait";
  EXPECT_FALSE(bPlaying);
}

TEST_F(PlayMovieTest, FrameWithoutItsPassedOverLineHidesTheNextFrame) {
  std::string glued = Frame("100", Rows(kLitRow));
  glued.resize(glued.size() - 2);  // drop the passed-over line
  Play(glued + Frame("200", Rows(kDarkRow)) + Frame("300", Rows(kLitRow)));
  EXPECT_EQ(slicesPerFrame, (std::vector<int>{11, 31}));
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(PlayMovieTest, FrameWithSevenRowsTakesTheNextHeaderAsItsLastRow) {
  std::string movie = "@100\r\n";
  for (int row = 0; row < 7; ++row) movie += kDarkRow + "\r\n";
  Play(movie + Frame("200", Rows(kLitRow)) + Frame("300", Rows(kLitRow)));
  EXPECT_EQ(slicesPerFrame, (std::vector<int>{11, 31}));
  EXPECT_EQ(platform.ErrorReports(13), 15) << "\"@\" and the fourteen empty cells of \"@200\"";
}

TEST_F(PlayMovieTest, UnreadableFileIsReportedOnceAndPlaysNothing) {
  sMovieFile = file.Directory() + "/gone.grm";
  bPlaying = true;
  PlayMovie();
  EXPECT_EQ(platform.ErrorReports(53), 1);
  EXPECT_FALSE(bPlaying);
  EXPECT_EQ(port.Writes().size(), initWrites);
}

}  // namespace
}  // namespace glowreel
