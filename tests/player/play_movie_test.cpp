// Playback: the scan for frames, the pacing in slices, the end of a pass, Repeat and Stop.
#include <gtest/gtest.h>

#include "core/shared_state.h"
#include "player/play_movie.h"
#include "support/fake_platform.h"
#include "support/movie_text.h"
#include "support/port_record.h"
#include "support/temp_file.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

using test::FakePlatform;
using test::Frame;
using test::OneCell;
using test::Rows;

const std::string kLit(18, '1');
const std::string kDark(18, '0');

class FakeWindow : public PlayerWindow {
 public:
  int RepeatValue() const override { return repeat; }
  void SetGoCaption(const std::string& caption) override { captions.push_back(caption); }
  int repeat = 0;
  std::vector<std::string> captions;
};

class Playing : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSharedState();
    lPortBase = 888;
    InitDisplay();  // the display model needs the start-up to advance X
    SetPlayerWindow(&window);
    platform.onSleep = [this](int32_t ms) { port.Note("wait " + std::to_string(ms)); };
  }
  void TearDown() override { SetPlayerWindow(nullptr); }

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
    window.SetGoCaption("&Play");
  }

  FakePlatform platform;
  test::RecordingPort port;
  FakeWindow window;
  test::TempFile file;
};

TEST_F(Playing, EachFrameIsHeldForItsSlicesAndTheLastStaysWhenTheMovieEnds) {
  Play("My movie\r\n" + Frame("100", OneCell(0, 0)) + "a comment\r\n" +
       Frame("50", OneCell(17, 7)));
  EXPECT_EQ(SlicesPerFrame(), (std::vector<int>{11, 6}));
  EXPECT_EQ(platform.pumps, 17 + 1) << "one pump per slice and one at the end of the pass";
  EXPECT_FALSE(bPlaying);
  EXPECT_EQ(window.captions, std::vector<std::string>{"&Play"});
  EXPECT_TRUE(port.Model().Lit(119, 56));
  EXPECT_FALSE(port.Model().Lit(0, 0));
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(Playing, DelayRunsRoundedSlicesOfTenMillisecondsOrReportsAnOverflow) {
  struct Case {
    int32_t duration;
    int slices;
    int overflows;
  };
  for (const Case c :
       {Case{0, 1, 0}, Case{5, 1, 0}, Case{-5, 1, 0}, Case{-6, 0, 0}, Case{6, 2, 0}, Case{14, 2, 0},
        Case{15, 3, 0}, Case{25, 3, 0}, Case{26, 4, 0}, Case{100, 11, 0}, Case{-327685, 0, 0},
        Case{327674, 32768, 0}, Case{327675, 0, 1}, Case{-327695, 0, 1}, Case{INT32_MIN, 0, 1}}) {
    SCOPED_TRACE("duration " + std::to_string(c.duration));
    FakePlatform clock;
    EXPECT_EQ(Delay(c.duration), c.slices > 0);
    EXPECT_EQ(clock.sleeps, std::vector<int32_t>(c.slices, 10));
    EXPECT_EQ(clock.pumps, c.slices);
    EXPECT_EQ(clock.ErrorReports(6), c.overflows);
    EXPECT_EQ(clock.ErrorReports(), c.overflows);
  }
}

TEST_F(Playing, AMovieWithoutFramesEndsAtOnceEvenWithRepeat) {
  window.repeat = 1;
  const std::size_t writes = port.Writes().size();
  for (const std::string movie : {"", "no frames here\r\n at\r\n"}) {
    Play(movie);
    EXPECT_FALSE(bPlaying);
  }
  EXPECT_EQ(window.captions, (std::vector<std::string>{"&Play", "&Play"}));
  EXPECT_EQ(port.Writes().size(), writes);
}

TEST_F(Playing, NotPlayingOnEntryReturnsWithoutOpeningTheFile) {
  sMovieFile = "/nonexistent/movie.grm";
  PlayMovie();
  EXPECT_TRUE(platform.boxes.empty());
  EXPECT_TRUE(window.captions.empty());
}

TEST_F(Playing, RepeatReusesTheLinesReadAtTheStartAndCarriesTheDurationOver) {
  window.repeat = 1;
  platform.AtPump(1, [this] { file.Write(Frame("10", OneCell(17, 7))); });
  platform.AtPump(1 + 4 + 1 + 4, [this] { ClickStop(); });  // slices and ends of passes
  Play(Frame("1e20", OneCell(0, 0)) + Frame("30", OneCell(0, 0)));
  EXPECT_EQ(SlicesPerFrame(), (std::vector<int>{1, 4, 4})) << "1e20 overflows: the one before";
  EXPECT_EQ(platform.ErrorReports(6), 2);
  EXPECT_FALSE(port.Model().Lit(119, 56)) << "the changed file is not read again";
}

TEST_F(Playing, ARepeatPassWithoutAPauseEndsPlaybackOnlyWhenItReported) {
  struct Case {
    const char* name;
    std::string movie;
    int frames;
  };
  const Case cases[] = {
      {"no pause", Frame("-100", Rows(kLit)) + Frame("-6", Rows(kDark)), 5 * 2},  // until Stop
      {"slices out of range", Frame("400000", Rows("1")), 1},
      {"no pause, a bad cell", Frame("-100", Rows("1x")), 1}};
  window.repeat = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform counting;
    const auto before = port.Position();
    counting.AtPump(5, [this] { ClickStop(); });
    Play(c.movie);
    EXPECT_FALSE(bPlaying);
    const auto lines = port.TranscriptFrom(before);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "page 0"), c.frames);
    EXPECT_EQ(window.captions.back(), "&Play");
  }
}

TEST_F(Playing, AFrameMissingALineHidesTheFrameAfterIt) {
  std::string glued = Frame("100", Rows(kLit));
  glued.resize(glued.size() - 2);  // no passed-over line: the next header takes its place
  std::string seven = "@100\r\n";
  for (int row = 0; row < 7; ++row) seven += kDark + "\r\n";
  const std::string rest = Frame("200", Rows(kDark)) + Frame("300", Rows(kLit));
  struct Case {
    const char* name;
    std::string movie;
    int mismatches;  // with seven rows, "@200" is the eighth: "@" and 14 empty cells
  };
  for (const Case& c : {Case{"without passed-over line", glued + rest, 0},
                        Case{"with seven rows", seven + rest, 15}}) {
    SCOPED_TRACE(c.name);
    FakePlatform counting;
    Play(c.movie);
    EXPECT_EQ(counting.sleeps, std::vector<int32_t>(11 + 31, 10)) << "the 100 and the 300";
    EXPECT_EQ(counting.ErrorReports(13), c.mismatches);
  }
}

TEST_F(Playing, OnceTheProgramIsExitingEveryPauseEndsAtOnce) {
  platform.AtPump(3, [] {
    bPlaying = false;
    bExiting = true;
  });
  Play(Frame("327674", Rows("1")));
  EXPECT_EQ(std::count(platform.sleeps.begin(), platform.sleeps.end(), 10), 3);
}

}  // namespace
}  // namespace glowreel
