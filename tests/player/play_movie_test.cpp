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

TEST_F(PlayMovieTest, DelayRunsRoundedSlicesOfTenMillisecondsOrReportsOverflow) {
  struct Case {
    int32_t duration;
    int slices;
    int overflows;
  };
  for (const Case c :
       {Case{0, 1, 0}, Case{5, 1, 0}, Case{-5, 1, 0}, Case{-6, 0, 0}, Case{6, 2, 0}, Case{14, 2, 0},
        Case{15, 3, 0}, Case{25, 3, 0}, Case{26, 4, 0}, Case{45, 5, 0}, Case{100, 11, 0},
        Case{1000, 101, 0}, Case{-327685, 0, 0}, Case{327674, 32768, 0}, Case{327675, 0, 1},
        Case{-327695, 0, 1}, Case{INT32_MAX, 0, 1}, Case{INT32_MIN, 0, 1}}) {
    SCOPED_TRACE("duration " + std::to_string(c.duration));
    FakePlatform clock;
    Delay(c.duration);
    EXPECT_EQ(clock.sleeps, std::vector<int32_t>(c.slices, 10));
    EXPECT_EQ(clock.pumps, c.slices);
    EXPECT_EQ(clock.ErrorReports(6), c.overflows);
    EXPECT_EQ(clock.ErrorReports(), c.overflows);
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

TEST_F(PlayMovieTest, RepeatWithoutPausesStaysStoppable) {
  window.repeat = 1;
  platform.AtPump(5, [this] { ClickStop(); });
  Play(Frame("-100", Rows("1")) + Frame("-6", Rows("0")));
  EXPECT_EQ(FramesSent(), 10u) << "five passes of two frames, one pump at the end of each";
  EXPECT_EQ(platform.sleeps, std::vector<int32_t>{1}) << "only the start-up wait";
  EXPECT_FALSE(bPlaying);
}

TEST_F(PlayMovieTest, FrameMissingALineHidesTheFrameAfterIt) {
  std::string glued = Frame("100", Rows(kLitRow));
  glued.resize(glued.size() - 2);  // no passed-over line: the next header takes its place
  std::string seven = "@100\r\n";
  for (int row = 0; row < 7; ++row) seven += kDarkRow + "\r\n";  // the next header is row 8
  const std::string rest = Frame("200", Rows(kDarkRow)) + Frame("300", Rows(kLitRow));
  struct Case {
    const char* name;
    std::string movie;
    int mismatches;
  };
  for (const Case& c : {Case{"without passed-over line", glued + rest, 0},
                        Case{"with seven rows", seven + rest, 15}}) {
    SCOPED_TRACE(c.name);
    FakePlatform counting;
    port.Clear();
    slicesPerFrame.clear();
    counting.onSleep = platform.onSleep;
    Play(c.movie);
    EXPECT_EQ(slicesPerFrame, (std::vector<int>{11, 31}));
    // With seven rows, "@200" is the eighth: "@" and its fourteen empty cells do not convert.
    EXPECT_EQ(counting.ErrorReports(13), c.mismatches);
  }
}

}  // namespace
}  // namespace glowreel
