// lcdproc's clients' screens on the live display: where they take their place beside the
// playlist, alerts that interrupt, "listen" and "ignore" as they come and go on the display,
// a change shown within a slice, stored movies in a pixmap at their own pace.
#include <gtest/gtest.h>

#include <map>

#include "core/playback.h"
#include "lcdproc/screen_show.h"
#include "lcdproc/session.h"
#include "live/item_frames.h"
#include "player/session.h"
#include "support/fake_platform.h"
#include "support/port_record.h"
#include "vfd/vfd.h"

namespace glowreel::lcdproc {
namespace {

using live::ScreensPlace;

// A playlist item "A1x100" is one frame of source A held 100 slices.
std::unique_ptr<DotSource> Numbered(const live::Item& item, std::string&) {
  struct Source : DotSource {
    int frames = 1, at = 0;
    int32_t slices = 1;
    void Rewind() override { at = 0; }
    bool Next(DotFrame& frame) override {
      if (at == frames) return false;
      frame.At(at++, 0) = true;
      frame.slices = slices;
      return true;
    }
  };
  auto source = std::make_unique<Source>();
  std::sscanf(item.text.c_str() + 1, "%dx%d", &source->frames, &source->slices);
  return source;
}

live::Playlist Items(std::vector<std::string> names) {
  live::Playlist playlist;
  for (const std::string& name : names) {
    live::Item item;
    item.text = name;
    playlist.items.push_back(item);
  }
  return playlist;
}

// A stage on a virtual clock with two clients' sessions as the screens' feed.
struct ScreensLive {
  ScreensLive() {
    for (Session& client : clients) client.Handle("hello");
    stage.onFrame = [this](const DotFrame&) {
      const live::Stage::Now on = stage.Showing();
      const std::string what = on.item ? on.item->text : "dark";
      if (shown.empty() || shown.back().substr(shown.back().find(' ') + 1) != what)
        shown.push_back(std::to_string(platform.now) + " " + what);
    };
    BringDisplayUp(pb);
    platform.now = 0;
  }
  // Each command as "client: command", client 1 or 2; the stage told, as the server tells it.
  void Say(const std::vector<std::string>& commands) {
    for (const std::string& line : commands)
      ASSERT_EQ(clients[line[0] - '1'].Handle(line.substr(3)), std::vector<std::string>{"success"})
          << line;
    stage.ScreensChanged();
  }
  void Play(ScreensPlace place, live::Playlist playlist, int64_t untilMs) {
    stage.SetScreens(&show, place);
    stage.SetPlaylist(std::move(playlist));
    At(untilMs, [this] { pb.bExiting = true; });
    stage.Run();
  }
  void At(int64_t ms, std::function<void()> action) { platform.At(ms, std::move(action)); }

  test::FakePlatform platform;
  test::RecordingPort port;
  Playback pb;
  Session clients[2];
  std::vector<std::string> shown;  // "time what" as what the display shows changed
  std::vector<std::string> told;   // "time client: line"
  std::function<const DotFrame*(const std::string&, int64_t)> pictureOf;
  ScreenShow show{
      {[this] {
         return std::vector<ClientScreens>{{1, &clients[0].Screens()}, {2, &clients[1].Screens()}};
       },
       [this](uint64_t client, const std::string& line) {
         told.push_back(std::to_string(platform.now) + " " + std::to_string(client) + ": " + line);
       },
       [this](const ScreenKey& key) { clients[key.client - 1].RemoveScreen(key.id); }},
      [this] { return platform.now; },
      [this](const std::string& name, int64_t ms) {
        return pictureOf ? pictureOf(name, ms) : nullptr;
      }};
  live::Stage stage{pb, Numbered, {[this] { return platform.now; }, [] { return std::tm{}; }}, 15};
};

// The test's own stage, as a fixture.
class Screens : public ::testing::Test, public ScreensLive {};

TEST_F(Screens, TakeTurnsWithThePlaylistEachScreenOnceAndTheirClientsHearWhenTheyShow) {
  Say({"1: screen_add a", "1: screen_set a -duration 8", "2: screen_add b",
       "2: screen_set b -duration 8"});
  Play(ScreensPlace::kTurns, Items({"A1x100"}), 4500);
  EXPECT_EQ(shown,
            (std::vector<std::string>{"0 A1x100", "1000 a", "2000 b", "3000 A1x100", "4000 a"}));
  EXPECT_EQ(told,
            (std::vector<std::string>{"1000 1: listen a", "2000 1: ignore a", "2000 2: listen b",
                                      "3000 2: ignore b", "4000 1: listen a"}));
}

TEST_F(Screens, AnAlertScreenInterruptsWithinTheSliceAndTheItemResumesWhenItGoes) {
  At(505, [&] { Say({"2: screen_add x", "2: screen_set x -priority alert"}); });
  At(1205, [&] { Say({"2: screen_del x"}); });
  Play(ScreensPlace::kTurns, Items({"A1x300"}), 2500);
  EXPECT_EQ(shown, (std::vector<std::string>{"0 A1x300", "510 x", "1210 A1x300"}));
  EXPECT_EQ(told, (std::vector<std::string>{"510 2: listen x"}))
      << "a screen deleted hears no more";
}

TEST(ScreensPlaces, EachShowsTheScreensWhereItSays) {
  struct Case {
    ScreensPlace place;
    std::vector<std::string> items, shown;
  };
  const Case cases[] = {
      {ScreensPlace::kFirst, {"A1x100"}, {"0 a", "1500 A1x100"}},  // while there are any
      {ScreensPlace::kLast, {"A1x100"}, {"0 A1x100"}},  // only when the playlist has nothing
      {ScreensPlace::kLast, {}, {"0 a"}},  // a screen with nothing on it, as dark as none
      {ScreensPlace::kAlerts, {"A1x100"}, {"0 A1x100"}},  // never but an alert
      {ScreensPlace::kAlerts, {}, {"0 dark"}},
  };
  for (const Case& c : cases) {
    ScreensLive live;
    live.Say({"1: screen_add a"});
    live.At(1495, [&] { live.Say({"1: screen_del a"}); });
    live.Play(c.place, Items(c.items), 2500);
    EXPECT_EQ(live.shown, c.shown)
        << static_cast<int>(c.place) << " with " << testing::PrintToString(c.items);
  }
}

TEST_F(Screens, AChangedWidgetReachesTheDisplayWithinASliceAndATimeoutCountsOnlyTimeShown) {
  Say({"1: screen_add a", "1: screen_set a -duration 8 -timeout 20", "1: widget_add a w string",
       "1: widget_set a w 1 1 {one}"});
  const auto word = [&] {
    std::string dots;
    for (int x = 0; x < 18; ++x)
      for (int y = 0; y < 7; ++y) dots += port.Model().Lit(x, y) ? '#' : '.';
    return dots;
  };
  std::string one;
  At(1003, [&] {
    one = word();
    Say({"1: widget_set a w 1 1 {two}"});
  });
  At(1013, [&] { EXPECT_NE(word(), one) << "two on the display a slice after"; });
  // Shown 1 s, then 2 s, then half a second more with the playlist's turns between.
  Play(ScreensPlace::kTurns, Items({"A1x100"}), 6000);
  EXPECT_EQ(shown, (std::vector<std::string>{"0 A1x100", "1000 a", "2000 A1x100", "3000 a",
                                             "4000 A1x100", "5000 a", "5500 A1x100"}));
  EXPECT_TRUE(clients[0].Screens().empty()) << "deleted when its time was up";
}

TEST_F(Screens, APixmapShowsAStoredMovieAtItsPaceOverAndOverAndAMissingOneAfterItIsStored) {
  bool stored = false;
  live::MediaAtTime media(
      [&](const live::Item& item, std::string& why) -> std::unique_ptr<DotSource> {
        if (item.source != "clip" || !stored) return why = "none", nullptr;
        live::Item frames;
        frames.text = "M3x20";  // three frames of 200 ms: dot (k, 0) in the k-th
        return Numbered(frames, why);
      },
      [this] { return platform.now; });
  pictureOf = [&](const std::string& name, int64_t ms) { return media.At(name, ms); };
  Say({"1: screen_add a", "1: widget_add a p pixmap", "1: widget_set a p 1 1 128 1 clip"});
  std::vector<std::string> lit;
  stage.onFrame = [&](const DotFrame& frame) {
    std::string dots;
    for (int x = 0; x < 3; ++x) dots += frame.At(x, 0) ? '#' : '.';
    if (lit.empty() || lit.back().substr(lit.back().find(' ') + 1) != dots)
      lit.push_back(std::to_string(platform.now) + " " + dots);
  };
  At(1000, [&] { stored = true; });
  Play(ScreensPlace::kTurns, Items({}), 3800);
  EXPECT_EQ(lit,
            (std::vector<std::string>{"0 ...", "2000 .#.", "2200 ..#", "2400 #..", "2600 .#.",
                                      "2800 ..#", "3000 #..", "3200 .#.", "3400 ..#", "3600 #.."}))
      << "tried again two seconds after it was missing, in step with the screen's time";
}

}  // namespace
}  // namespace glowreel::lcdproc
