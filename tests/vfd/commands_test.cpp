#include <gtest/gtest.h>

#include <functional>

#include "app/shared_state.h"
#include "support/fake_platform.h"
#include "support/recording_port.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

using test::Cmd;
using test::Commands;
using test::Dat;
using test::FakePlatform;
using test::RecordingPort;

class CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSharedState();
    lPortBase = 888;
  }
  FakePlatform platform;
  RecordingPort port;
};

TEST_F(CommandsTest, InitDisplaySendsItsSequenceWithOneMillisecondWaitAfterTheClear) {
  std::vector<std::size_t> writesAtSleep;
  platform.onSleep = [&](int32_t) { writesAtSleep.push_back(port.Writes().size()); };
  InitDisplay();

  std::vector<Transfer> expected = {Cmd(0x5F)};
  for (uint8_t n = 0; n < 16; ++n) {
    expected.insert(expected.end(), {Cmd(0x62), Cmd(n), Dat(0xFF)});
  }
  expected.insert(expected.end(), {Cmd(0x24), Cmd(0x40), Cmd(0x84)});
  EXPECT_EQ(port.Transfers(), expected);
  EXPECT_EQ(expected.size(), 52u);
  EXPECT_EQ(port.Writes().size(), 208u);
  EXPECT_EQ(platform.sleeps, std::vector<int32_t>{1});
  EXPECT_EQ(writesAtSleep, std::vector<std::size_t>{4});
  EXPECT_TRUE(bDisplayReady);
}

TEST_F(CommandsTest, InitDisplaySetsReadyEvenWhenEveryWriteFails) {
  RecordingPort failing(/*failing=*/true);
  InitDisplay();
  EXPECT_TRUE(bDisplayReady);
  EXPECT_EQ(platform.ErrorReports(57), 208);
}

struct SendCase {
  const char* name;
  std::function<void()> call;
  std::vector<uint8_t> commands;
  std::string message;  // the "Data Error" text, empty when accepted
};

TEST_F(CommandsTest, EachCommandSendsItsBytesOrRejectsItsArgument) {
  const std::vector<SendCase> cases = {
      {"brightness 15", [] { SetBrightness(15); }, {0x40}, ""},
      {"brightness 7", [] { SetBrightness(7); }, {0x48}, ""},
      {"brightness 0", [] { SetBrightness(0); }, {0x4F}, ""},
      {"brightness 16",
       [] { SetBrightness(16); },
       {},
       "An invalid brightness level was specified. [iLevel = 16]"},
      {"brightness -1",
       [] { SetBrightness(-1); },
       {},
       "An invalid brightness level was specified. [iLevel = -1]"},
      {"x 127", [] { SetXPosition(127); }, {0x64, 0x7F}, ""},
      {"x 128",
       [] { SetXPosition(128); },
       {},
       "An invalid X write position was specified. [iPosition = 128]"},
      {"x -5",
       [] { SetXPosition(-5); },
       {},
       "An invalid X write position was specified. [iPosition = -5]"},
      {"y 7", [] { SetYPosition(7); }, {0x60, 0x07}, ""},
      {"y 8",
       [] { SetYPosition(8); },
       {},
       "An invalid Y write position was specified. [iPosition = 8]"},
      {"off", [] { DisplayOff(); }, {0x20, 0x00}, ""},
  };
  for (const SendCase& c : cases) {
    SCOPED_TRACE(c.name);
    port.Clear();
    platform.boxes.clear();
    c.call();
    EXPECT_EQ(port.Transfers().size(), c.commands.size());
    EXPECT_EQ(Commands(port.Transfers()), c.commands);
    if (c.message.empty()) {
      EXPECT_TRUE(platform.boxes.empty());
    } else {
      ASSERT_EQ(platform.boxes.size(), 1u);
      EXPECT_EQ(platform.boxes[0].title, "Data Error");
      EXPECT_EQ(platform.boxes[0].text, c.message);
    }
  }
}

TEST_F(CommandsTest, ShutdownDoesNothingBeforeTheDisplayIsReady) {
  ShutdownDisplay();
  EXPECT_TRUE(port.Writes().empty());
  EXPECT_TRUE(platform.sleeps.empty());
}

TEST_F(CommandsTest, ShutdownFadesInSixteenStepsThenSwitchesOff) {
  bDisplayReady = true;
  std::vector<std::size_t> transfersAtSleep;
  platform.onSleep = [&](int32_t) { transfersAtSleep.push_back(port.Transfers().size()); };
  ShutdownDisplay();
  EXPECT_EQ(Commands(port.Transfers()), test::FadeOutCommands());
  EXPECT_EQ(port.Writes().size(), 72u);
  EXPECT_EQ(platform.sleeps, std::vector<int32_t>(16, 50));
  for (std::size_t step = 0; step < 16; ++step) {
    EXPECT_EQ(transfersAtSleep[step], step + 1) << "each wait follows its brightness byte";
  }
  EXPECT_TRUE(bDisplayReady);
}

}  // namespace
}  // namespace glowreel
