// Which client's screen shows when: the highest class, turns of each screen's duration, alerts
// that stay, timeouts that delete.
#include <gtest/gtest.h>

#include "lcdproc/rotation.h"
#include "lcdproc/session.h"

namespace glowreel::lcdproc {
namespace {

struct Clients {
  Clients() {
    for (Session& session : sessions) session.Handle("hello");
  }
  // Each command as "client: command", client 1 or 2.
  void Say(const std::vector<std::string>& commands) {
    for (const std::string& line : commands)
      ASSERT_EQ(sessions[line[0] - '1'].Handle(line.substr(3)), std::vector<std::string>{"success"})
          << line;
  }
  // What shows at `ms`: "client:screen", or "none".
  std::string At(int64_t ms) {
    const Rotation::Turn turn =
        rotation.At(ms, {{1, &sessions[0].Screens()}, {2, &sessions[1].Screens()}});
    timedOut.insert(timedOut.end(), turn.timedOut.begin(), turn.timedOut.end());
    return turn.shown ? std::to_string(turn.shown->client) + ":" + turn.shown->id : "none";
  }
  Session sessions[2];
  Rotation rotation;
  std::vector<ScreenKey> timedOut;
};

TEST(Rotation, ScreensOfTheHighestClassTakeTurnsOfTheirDuration) {
  Clients clients;
  EXPECT_EQ(clients.At(0), "none");
  clients.Say({"1: screen_add a", "1: screen_set a -duration 8", "2: screen_add b",
               "2: screen_set b -duration 16", "2: screen_add hidden",
               "2: screen_set hidden -priority hidden"});
  // clang-format off
  const std::pair<int64_t, const char*> times[] = {
      {0, "1:a"}, {999, "1:a"}, {1000, "2:b"}, {2999, "2:b"}, {3000, "1:a"}, {4000, "2:b"}};
  // clang-format on
  for (const auto& [ms, shown] : times) EXPECT_EQ(clients.At(ms), shown) << ms << " ms";
  clients.Say({"1: screen_add back", "1: screen_set back -priority background"});
  EXPECT_EQ(clients.At(6000), "1:a") << "a background screen waits while info screens are there";
  clients.Say({"2: screen_set b -priority foreground"});
  EXPECT_EQ(clients.At(6001), "2:b") << "a foreground screen alone of its class";
  EXPECT_EQ(clients.At(60000), "2:b");
  clients.Say({"1: screen_add alarm", "1: screen_set alarm -priority alert", "2: screen_add alarm2",
               "2: screen_set alarm2 -priority alert"});
  EXPECT_EQ(clients.At(60001), "1:alarm");
  EXPECT_EQ(clients.At(90000), "1:alarm") << "alerts take no turns";
  clients.Say({"1: screen_del alarm"});
  EXPECT_EQ(clients.At(90001), "2:alarm2");
  clients.Say({"2: screen_del alarm2", "2: screen_del b", "1: screen_del a"});
  EXPECT_EQ(clients.At(90002), "1:back") << "the background screen once it is alone";
}

TEST(Rotation, AScreenShownForItsTimeoutIsDeleted) {
  Clients clients;
  clients.Say({"1: screen_add a", "1: screen_set a -timeout 8 -duration 4", "1: screen_add b",
               "1: screen_set b -duration 4"});
  // a is shown 0-500 and 1000-1500: its second second of showing ends at 1500.
  for (const int64_t ms : {0, 500, 1000}) clients.At(ms);
  EXPECT_EQ(clients.At(1499), "1:a");
  EXPECT_TRUE(clients.timedOut.empty());
  EXPECT_EQ(clients.At(1500), "1:b");
  ASSERT_EQ(clients.timedOut.size(), 1u);
  EXPECT_EQ(clients.timedOut[0], (ScreenKey{1, "a"}));
}

}  // namespace
}  // namespace glowreel::lcdproc
