// The live display's schedule, its JSON, and the clock's face and writes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "core/playback.h"
#include "live/clock_face.h"
#include "live/content_json.h"
#include "live/item_frames.h"
#include "live/schedule.h"
#include "live/stage.h"
#include "player/session.h"
#include "support/fake_platform.h"
#include "support/port_record.h"
#include "vfd/vfd.h"

namespace glowreel::live {
namespace {

using nlohmann::json;

ScheduleWindow Window(int from, int to, std::array<bool, 7> days = {1, 1, 1, 1, 1, 1, 1}) {
  ScheduleWindow window;
  window.fromMinute = from;
  window.toMinute = to;
  window.days = days;
  return window;
}

TEST(Schedule, AWindowCoversItsMinutesOnItsDaysAndTheHoursPastMidnightBelongToTheDayBefore) {
  constexpr std::array<bool, 7> kWeekdays{0, 1, 1, 1, 1, 1, 0};
  struct Case {
    ScheduleWindow window;
    int weekday, hour, minute;
    bool covered;
  } cases[] = {
      {Window(9 * 60, 18 * 60), 3, 9, 0, true},
      {Window(9 * 60, 18 * 60), 3, 18, 0, false},             // the end is not in it
      {Window(22 * 60, 7 * 60, kWeekdays), 5, 23, 30, true},  // Friday night
      {Window(22 * 60, 7 * 60, kWeekdays), 6, 3, 0, true},    // Saturday morning is Friday's
      {Window(22 * 60, 7 * 60, kWeekdays), 1, 3, 0, false},   // Monday morning is Sunday's
      {Window(22 * 60, 7 * 60, kWeekdays), 6, 23, 0, false},
      {Window(0, 0, kWeekdays), 0, 12, 0, false},  // a whole day, not Sunday
      {Window(0, 0, kWeekdays), 1, 0, 0, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Covers(c.window, c.weekday, c.hour * 60 + c.minute), c.covered)
        << "window " << c.window.fromMinute << "-" << c.window.toMinute << " on day " << c.weekday
        << " at " << c.hour << ":" << c.minute;
  }
}

TEST(Schedule, TheWallClockDecidesAcrossTheChangesOfDaylightSavingTime) {
  const char* before = std::getenv("TZ");
  const std::string saved = before ? before : "";
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  const std::vector<ScheduleWindow> schedule{Window(2 * 60, 3 * 60), Window(22 * 60, 7 * 60)};
  const auto windowAt = [&](time_t utc) {
    std::tm local{};
    localtime_r(&utc, &local);
    const ScheduleWindow* window = WindowAt(schedule, local);
    return window ? static_cast<int>(window - schedule.data()) : -1;
  };
  // 29 March 2026, 00:59 UTC is 01:59 CET; a minute later it is 03:00 CEST: 02:00-03:00 never is.
  EXPECT_EQ(windowAt(1774745940), 1);
  EXPECT_EQ(windowAt(1774746000), 1);
  // 25 October 2026: 02:30 comes twice, each time in the 02:00-03:00 window.
  EXPECT_EQ(windowAt(1792888200), 0);
  EXPECT_EQ(windowAt(1792891800), 0);
  EXPECT_EQ(windowAt(1792900800), 1);   // 06:00 CET
  EXPECT_EQ(windowAt(1792922400), -1);  // 12:00 CET
  if (before)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

TEST(ContentJson, EveryWrongFieldIsNamedAndNothingIsTakenHalfway) {
  struct Case {
    const char* json;
    const char* says;
  } cases[] = {
      {R"({"text":"a","movie":"b"})", "one of movie, picture, text or clock"},
      {R"({})", "one of movie, picture, text or clock"},
      {R"({"movie":"../etc/passwd"})", "movie: the name of a stored file"},
      {R"({"picture":".hidden"})", "picture: the name of a stored file"},
      {R"({"text":5})", "text: a string"},
      {R"({"text":"a","passes":0})", "passes: a whole number from 1 to 10000"},
      {R"({"text":"a","duration_ms":1.5})", "duration_ms: a whole number"},
      {R"({"text":"a","priority":"urgent"})", "priority: \"info\" or \"alert\""},
      {R"({"text":"a","repeat":101})", "repeat: a whole number from 1 to 100"},
      {R"([1])", "a message is an object, or a string of text"},
  };
  for (const Case& c : cases) {
    Message message;
    EXPECT_NE(ReadMessage(json::parse(c.json), message).find(c.says), std::string::npos)
        << c.json << " -> " << ReadMessage(json::parse(c.json), message);
  }
  struct PlaylistCase {
    const char* json;
    const char* says;
  } playlists[] = {
      {R"({"items":[{"text":"a"}],"schedule":[{"from":"25:00"}]})",
       "schedule[0]: from: a time of day"},
      {R"({"items":[{"text":"a"}],"schedule":[{"days":["mon","xyz"]}]})", "schedule[0]: days:"},
      {R"({"items":[{"text":"a"}],"schedule":[{"items":[1]}]})", "schedule[0]: items:"},
      {R"({"items":[{"text":"a"}],"schedule":[{"brightness":0}]})",
       "brightness: a whole number from 1 to 16"},
      {R"({"items":[{"text":"a"},{"clock":3}]})", "items[1]: clock: a string"},
      {R"({"list":[]})", "unknown playlist field list"},
  };
  for (const PlaylistCase& c : playlists) {
    Playlist playlist;
    const std::string said = ReadPlaylist(json::parse(c.json), playlist, false);
    EXPECT_NE(said.find(c.says), std::string::npos) << c.json << " -> " << said;
  }
}

TEST(ContentJson, APlaylistWrittenOutReadsBackTheSame) {
  const json written = json::parse(R"({"items":[{"movie":"wave.grm","passes":2},
      {"text":"Sale","scroll_ms":20,"duration_ms":5000},{"clock":"%H:%M","date":"%d.%m."},
      {"picture":"logo.gif"}],
      "schedule":[{"days":["mon","tue"],"from":"22:00","to":"07:00","brightness":3,"power":"on","items":[2]},
                  {"days":["sun"],"from":"00:00","to":"00:00","power":"off"}]})");
  Playlist playlist;
  ASSERT_EQ(ReadPlaylist(written, playlist, false), "");
  EXPECT_EQ(PlaylistJson(playlist), written);
  Message message;
  ASSERT_EQ(ReadMessage(json("Door"), message), "");
  EXPECT_EQ(message.content.text, "Door");
}

TEST(Clock, DigitsAreDrawnLargeAndTheDateSmallUnderThem) {
  std::tm local{};
  local.tm_hour = 8;
  local.tm_min = 5;
  local.tm_mday = 7;
  DotFrame alone, dated;
  DrawClock("%H:%M", "", local, alone);
  DrawClock("%H:%M", "%d", local, dated);
  const auto rows = [](const DotFrame& frame) {
    int top = kPixelRows, bottom = -1;
    for (int y = 0; y < kPixelRows; ++y)
      for (int x = 0; x < kPixelColumns; ++x)
        if (frame.At(x, y)) top = std::min(top, y), bottom = std::max(bottom, y);
    return bottom - top + 1;
  };
  EXPECT_GE(rows(alone), 4 * 7);  // several times the small font's height
  EXPECT_EQ(BigTextWidth("08:05", 44), BigTextWidth("88:88", 44));  // the digits do not jump
  EXPECT_GT(rows(dated), rows(alone) - 10);
  EXPECT_LE(BigTextWidth("23:59:59", 24), kPixelColumns);
}

TEST(Clock, AClockSendsOnlyTheColumnsThatChangedEachSecond) {
  test::FakePlatform platform;
  test::RecordingPort port;
  Playback pb;
  BringDisplayUp(pb);
  int64_t now = 0;
  std::tm local{};
  local.tm_hour = 9;
  platform.onSleep = [&](int32_t ms) {
    now += ms;
    local.tm_sec = static_cast<int>(now / 1000) % 60;
    local.tm_min = static_cast<int>(now / 60000);
    if (now >= 120'000) pb.bExiting = true;
  };
  const Opener clocks = [&](const Item& item, std::string&) -> std::unique_ptr<DotSource> {
    return std::make_unique<ClockDots>(
        item.text, "", [&] { return local; }, [&] { return now % 1000; });
  };
  Stage stage(pb, clocks, {[&] { return now; }, [&] { return local; }}, 15);
  Item clock;
  clock.kind = ItemKind::kClock;
  clock.text = "%H:%M";
  stage.SetPlaylist({{clock}, {}});
  const std::size_t before = port.Writes().size();
  stage.Run();
  // Two minutes of a clock without seconds: the first whole refresh, then the minute's digits
  // twice: far under a full refresh a second; and the display holds what the stage last drew, the
  // face at 9:01.
  const std::size_t writes = port.Writes().size() - before;
  const std::size_t fullRefresh = 8 * (128 + 4) * 4;  // each byte four register writes
  EXPECT_LT(writes, 2 * fullRefresh);
  DotFrame expected;
  local.tm_min = 1;
  DrawClock("%H:%M", "", local, expected);
  ASSERT_EQ(stage.Shown().dots, expected.dots);
  const DisplayModel model = port.Model();
  for (int y = 0; y < kPixelRows; ++y)
    for (int x = 0; x < kPixelColumns; ++x)
      ASSERT_EQ(model.Stored(0, x, y), expected.At(x, y)) << x << "," << y;
}

}  // namespace
}  // namespace glowreel::live
