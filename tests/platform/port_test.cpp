// Where the writes go: the port settings, the sinks' failures, the trace file, the display model.
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/shared_state.h"
#include "platform/platform.h"
#include "platform/port/display_model.h"
#include "platform/port/port.h"
#include "support/fake_platform.h"
#include "support/port_record.h"
#include "support/temp_file.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

using test::Golden;
using test::ReadTrace;
using test::TempFile;

class PortSetting : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSharedState();
    lPortBase = 888;
  }
  void TearDown() override {
    PortClose();
    unsetenv("GLOWREEL_PORT");
  }
  // Starts the display with GLOWREEL_PORT set so, then sends one frame and closes the port.
  void Run(const std::string& setting) {
    PortClose();
    setenv("GLOWREEL_PORT", setting.c_str(), 1);
    InitDisplay();
    SetBrightness(15);
    RefreshDisplay();
    PortClose();
  }
  test::FakePlatform platform;
  TempFile dir;
};

TEST_F(PortSetting, ASinkThatCannotOpenOrWriteIsReportedOnceNamingDeviceAndReason) {
  const std::string fifo = dir.Directory() + "/fifo";
  mkfifo(fifo.c_str(), 0600);
  struct Case {
    std::string setting;
    std::string report;
  };
  const Case cases[] = {
      {"ppdev:/dev/glowreel-no-such-port",
       "57 - Device I/O error: /dev/glowreel-no-such-port: No such file or directory: load the "
       "parallel-port drivers (sudo modprobe parport_pc ppdev)"},
      {"ppdev:/dev/null", "57 - Device I/O error: /dev/null: cannot claim the port: "},
      {"trace:/nonexistent-dir/run.trace", "/nonexistent-dir/run.trace: No such file or directory"},
      {"trace", "57 - Device I/O error: trace: no file named"},
      {"trace:" + fifo, fifo + ": nothing reads this pipe"},
      {"trace:/dev/full", "57 - Device I/O error: /dev/full: No space left on device"},
      {"bogus, none", "52 - Bad file name or number: unknown port sink \"bogus\" (known: auto,"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("GLOWREEL_PORT=" + c.setting);
    platform.boxes.clear();
    Run(c.setting);
    ASSERT_EQ(platform.boxes.size(), 1u) << "once, not four times per byte";
    EXPECT_NE(platform.boxes[0].text.find(c.report), std::string::npos) << platform.boxes[0].text;
  }
}

TEST_F(PortSetting, ATraceHoldsOneWholeLinePerWriteEvenWhenTwoShareTheFile) {
  const std::string path = dir.Directory() + "/run.trace";
  Run("trace:" + path + ",,");  // empty entries are passed over, not taken for "auto"
  EXPECT_TRUE(platform.boxes.empty());
  const test::Trace one = ReadTrace(path);
  EXPECT_EQ(one.badLines, 0);
  EXPECT_EQ(one.writes.size(), 212u + 4224);
  std::vector<std::string> lines = test::Transcript(one.writes);
  lines.resize(20);
  EXPECT_EQ(lines, test::Without(Golden("startup"), "wait"));
  Run("trace:" + path + ",trace:" + path);
  const test::Trace three = ReadTrace(path);
  EXPECT_EQ(three.badLines, 0);
  EXPECT_EQ(three.writes.size(), 3 * one.writes.size());
}

TEST_F(PortSetting, AFileSizeLimitIsReportedLikeAFullDisk) {
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &small);
  Run("trace:" + dir.Directory() + "/limited.trace");
  setrlimit(RLIMIT_FSIZE, &saved);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_NE(platform.boxes[0].text.find("limited.trace: File too large"), std::string::npos);
}

DisplayModel Fed(const std::vector<Transfer>& transfers) {
  DisplayModel model;
  for (const Transfer& t : transfers) model.Receive(t);
  return model;
}
constexpr Transfer C(uint8_t byte) {
  return {false, byte};
}
constexpr Transfer D(uint8_t byte) {
  return {true, byte};
}

TEST(DisplayModel, LatchesTheDataRegisterWhenTheStrobeBecomesActive) {
  DisplayModel model;
  const uint8_t writes[][2] = {{2, 0x05}, {0, 0x24}, {2, 0x01}, {2, 0x05},   // command 0x24
                               {2, 0x05}, {0, 0x40}, {2, 0x01}, {2, 0x01},   // 0x40, held strobe
                               {2, 0x0D}, {0, 0x81}, {2, 0x09}, {2, 0x0D}};  // data 0x81
  for (const auto& w : writes) model.WriteRegister(w[0], w[1]);
  EXPECT_TRUE(model.Lit(0, 0));
  EXPECT_TRUE(model.Lit(0, 7));
  EXPECT_FALSE(model.Lit(0, 1));
}

TEST(DisplayModel, ShowsNothingUntilALayerIsSwitchedOnAndParametersBelongToTheirCommand) {
  EXPECT_FALSE(Fed({C(0x84), D(0xFF)}).Lit(0, 0));
  EXPECT_TRUE(Fed({C(0x84), D(0xFF)}).Stored(0, 0, 0));
  const DisplayModel on = Fed({C(0x44), C(0x84), D(0xFF), C(0x24), C(0x40)});
  EXPECT_TRUE(on.Lit(0, 0));
  EXPECT_EQ(on.Brightness(), 11) << "the 0x40 after 0x24 is no brightness";
  EXPECT_FALSE(Fed({C(0x84), D(0xFF), C(0x24), C(0x40), C(0x20), C(0x00)}).IsOn());
  EXPECT_FALSE(Fed({C(0x24), C(0x40), C(0x62), C(3), D(0xFF)}).Lit(0, 0)) << "area data draws not";
}

TEST(DisplayModel, WritesAtThePositionAndAdvancesOnlyInTheAutoIncrementMode) {
  const auto at = [](uint8_t mode) {
    return Fed({C(0x24), C(0x40), C(mode), C(0x64), C(10), C(0x60), C(1), D(0x01), D(0x02)});
  };
  EXPECT_TRUE(at(0x80).Lit(10, 9));
  EXPECT_FALSE(at(0x80).Lit(11, 9));
  EXPECT_TRUE(at(0x84).Lit(10, 8));
  EXPECT_TRUE(at(0x84).Lit(11, 9));
  const DisplayModel second =
      Fed({C(0x84), C(0x64), C(0), C(0x60), C(8), D(0x01), C(0x24), C(0x40)});
  EXPECT_FALSE(second.Lit(0, 0)) << "page 8 is the second layer";
  EXPECT_TRUE(Fed({C(0x84), C(0x64), C(0), C(0x60), C(8), D(0x01), C(0x28), C(0x40)}).Lit(0, 0));
  const DisplayModel cleared =
      Fed({C(0x24), C(0x40), C(0x84), C(0x64), C(50), D(0xFF), C(0x5F), D(1)});
  EXPECT_FALSE(cleared.Lit(50, 0));
  EXPECT_TRUE(cleared.Lit(0, 0)) << "the clear sends the position home";
}

}  // namespace
}  // namespace glowreel
