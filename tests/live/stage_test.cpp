// The live display's rules: what shows when, as the display received it, on a virtual clock.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/playback.h"
#include "live/content_json.h"
#include "live/item_frames.h"
#include "live/schedule.h"
#include "live/stage.h"
#include "player/session.h"
#include "support/fake_platform.h"
#include "support/movies.h"
#include "support/port_record.h"
#include "vfd/vfd.h"

namespace glowreel::live {
namespace {

// Item `text` names a source of frames: "A3x50" is three frames held 50 slices each, frame k
// of source A lighting the dot (column 'A', row k), so that the display tells which is shown.
std::unique_ptr<DotSource> Numbered(const Item& item, std::string&) {
  struct Source : DotSource {
    char name = 'A';
    int frames = 1, at = 0;
    int32_t slices = 1;
    void Rewind() override { at = 0; }
    bool Next(DotFrame& frame) override {
      if (at == frames) return false;
      frame.At(name, at++) = true;
      frame.slices = slices;
      return true;
    }
  };
  auto source = std::make_unique<Source>();
  source->name = item.text[0];
  std::sscanf(item.text.c_str() + 1, "%dx%d", &source->frames, &source->slices);
  return source;
}

Item Frames(const std::string& text, int32_t passes = 0) {
  Item item;
  item.text = text;
  item.passes = passes;
  return item;
}

Message Said(const std::string& text, Priority priority = Priority::kInfo) {
  Message message;
  message.content = Frames(text);
  message.priority = priority;
  return message;
}

std::tm Noon() {
  std::tm noon{};
  noon.tm_hour = 12;
  noon.tm_wday = 1;
  return noon;
}

// Items in order, no schedule.
Playlist Items(std::vector<Item> items) {
  return {std::move(items), {}};
}

class Live : public ::testing::Test {
 protected:
  void SetUp() override {
    stage.onFrame = [this](const DotFrame& frame) {
      std::string shown = "dark";
      for (int x = 0; x < kPixelColumns && shown == "dark"; ++x)
        for (int y = 0; y < kPixelRows; ++y)
          if (frame.At(x, y)) shown = std::string(1, static_cast<char>(x)) + std::to_string(y);
      log.push_back(std::to_string(platform.now) + " " + shown);
    };
    BringDisplayUp(pb);
    platform.now = 0;
  }
  void Play(Playlist playlist, int64_t untilMs, bool once = false) {
    stage.SetPlaylist(std::move(playlist), once);
    At(untilMs, [this] { pb.bExiting = true; });
    stage.Run();
  }
  void At(int64_t ms, std::function<void()> action) { platform.At(ms, std::move(action)); }

  test::FakePlatform platform;
  test::RecordingPort port;
  Playback pb;
  std::tm local = Noon();
  Stage stage{pb, Numbered, {[this] { return platform.now; }, [this] { return local; }}, 15};
  std::vector<std::string> log;  // "time-in-ms frame" as each frame was sent
};

TEST_F(Live, AnAlertInterruptsWithinTheSliceAndTheItemResumesAtItsFrameForWhatItHadLeft) {
  At(620, [&] { stage.Post(Said("Z1x30", Priority::kAlert)); });
  Play(Items({Frames("A3x50")}), 1400);
  EXPECT_EQ(log, (std::vector<std::string>{"0 A0", "500 A1", "620 Z0", "920 A1", "1300 A2"}));
  EXPECT_EQ(stage.Tally().shown, 1u);
}

TEST_F(Live, InfoWaitsForTheItemToEndMessagesGoInOrderAndAnAlertGoesFirst) {
  At(100, [&] { stage.Post(Said("P1x10")); });
  At(200, [&] { stage.Post(Said("Q1x10")); });
  At(300, [&] { stage.Post(Said("Z1x10", Priority::kAlert)); });
  Play(Items({Frames("A1x100"), Frames("B1x10")}), 1500);
  // The alert cut into A; the infos waited for A's end and kept their order; B came after them.
  ASSERT_GE(log.size(), 6u) << testing::PrintToString(log);
  EXPECT_EQ(
      std::vector<std::string>(log.begin(), log.begin() + 6),
      (std::vector<std::string>{"0 A0", "300 Z0", "400 A0", "1100 P0", "1200 Q0", "1300 B0"}));
}

TEST_F(Live, MessagesExpireUnshownRepeatAndCanBeTakenAwayWhileShown) {
  Message brief = Said("P1x10");
  brief.lifetimeMs = 300;
  Message twice = Said("R1x10", Priority::kAlert);
  twice.repeat = 2;
  uint64_t longOne = 0;
  int64_t expiredAt = 0;
  stage.onDone = [&](const Message& message) {
    if (message.content.text == "P1x10") expiredAt = platform.now;
  };
  At(100, [&] { stage.Post(brief); });
  At(1100, [&] { stage.Post(twice); });
  At(1400, [&] { longOne = stage.Post(Said("L1x500", Priority::kAlert)); });
  At(1600, [&] { stage.Delete(longOne); });
  Play(Items({Frames("A1x100")}), 2000);
  ASSERT_GE(log.size(), 7u) << testing::PrintToString(log);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 7),
            (std::vector<std::string>{"0 A0", "1000 A0", "1100 R0", "1200 R0", "1300 A0", "1400 L0",
                                      "1600 A0"}));
  EXPECT_EQ(stage.Tally().expired, 1u);
  // Dropped within a tenth of a second of its lifetime's end, while A's long frame was held.
  EXPECT_GE(expiredAt, 400);
  EXPECT_LE(expiredAt, 500);
  EXPECT_EQ(stage.Tally().shown, 2u);  // repeats are one message shown
  EXPECT_FALSE(stage.Delete(longOne));
}

TEST_F(Live, AFullQueueRefusesAndAnEmptyPlaylistLeavesTheDisplayLitAndDark) {
  for (std::size_t k = 0; k < Stage::kQueueLimit; ++k) stage.Post(Said("P1x10"));
  EXPECT_EQ(stage.Post(Said("P1x10")), 0u);
  EXPECT_EQ(stage.Tally().refused, 1u);
  while (!stage.Queue().empty()) stage.Delete(stage.Queue().front().id);
  Play({}, 200);
  EXPECT_EQ(log, (std::vector<std::string>{"0 dark"}));
  EXPECT_TRUE(stage.On());
}

TEST_F(Live, APlaylistOnceEndsAndPassesAndTimeBoundAnItem) {
  Item timed = Frames("B2x30");
  timed.durationMs = 1000;  // passes on until its time is up, the last frame cut short
  Play(Items({Frames("A2x10", 2), timed}), 3000, /*once=*/true);
  EXPECT_EQ(log, (std::vector<std::string>{"0 A0", "100 A1", "200 A0", "300 A1", "400 B0", "700 B1",
                                           "1000 B0", "1300 B1", "1400 dark"}));
}

TEST_F(Live, BrightnessAndPowerActAtTheNextSliceAndTheScheduleTakesOverAtItsWindow) {
  Playlist playlist{{Frames("A1x1000")}, {}};
  ScheduleWindow night;
  night.fromMinute = 22 * 60;
  night.toMinute = 7 * 60;
  night.brightness = 2;
  playlist.schedule.push_back(night);
  const test::Mark start = port.Position();
  At(500, [&] { stage.SetBrightness(8); });
  At(1000, [&] { stage.SetPower(false); });
  At(1500, [&] { stage.SetPower(true); });
  At(2000, [&] { local.tm_hour = 23; });
  Play(playlist, 2500);
  std::vector<std::string> controls;
  for (const std::string& line : port.TranscriptFrom(start))
    if (line.rfind("brightness", 0) == 0 || line.rfind("on", 0) == 0 || line == "off")
      controls.push_back(line);
  EXPECT_EQ(controls, (std::vector<std::string>{"brightness 8", "off", "on layer0", "brightness 8",
                                                "brightness 2"}));
  EXPECT_EQ(stage.Level(), 2);
}

TEST_F(Live, AMovieSendsWhatThePlayerSendsWriteForWrite) {
  const test::TempFile movie(test::Frame("100", test::OneCell(3, 2)) +
                             test::Frame("x", test::Rows("1?")) +
                             test::Frame("0", test::OneCell(17, 7)));
  std::vector<std::string> reports;
  stage.onReport = [&](const Item&, const std::string& text) { reports.push_back(text); };
  Stage live(pb,
             MakeOpener({[](const std::string& path) { return path; },
                         {},
                         5000,
                         [&](const Item&, const std::string& text) { reports.push_back(text); }}),
             {[this] { return platform.now; }, [this] { return local; }}, 15);
  Item item;
  item.kind = ItemKind::kMovie;
  item.source = movie.Path();
  const test::Mark start = port.Position();
  live.SetPlaylist(Items({item}), /*once=*/true);
  At(2000, [this] { pb.bExiting = true; });
  live.Run();
  const auto played = port.TranscriptFrom(start);
  const test::Mark again = port.Position();
  Playback player;
  test::RecordingWindow window;
  PlaySession(player, window, movie.Path(), /*fadeOut=*/false);
  const auto expected = port.TranscriptFrom(again);
  // The session brings the display up first, the live display had it up before; then both clear
  // it and send the frames alike, up to the dark frame the live display shows when it is done.
  const auto cleared = std::find(expected.begin() + 1, expected.end(), "clear");
  ASSERT_NE(cleared, expected.end());
  const std::vector<std::string> session(cleared, expected.end());
  ASSERT_LT(session.size(), played.size());
  EXPECT_EQ(
      std::vector<std::string>(played.begin(), played.begin() + static_cast<long>(session.size())),
      session);
  // Each report of a line once while it is shown, where the window told it at every frame.
  EXPECT_EQ(reports.size(),
            std::set<std::string>(window.reports.begin(), window.reports.end()).size())
      << testing::PrintToString(reports);
}

}  // namespace
}  // namespace glowreel::live
