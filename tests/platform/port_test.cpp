// Where the writes go: the port settings, the sinks' failures, the trace file, the display model.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/shared_state.h"
#include "platform/port/display_model.h"
#include "support/fake_platform.h"
#include "support/movies.h"
#include "support/port_record.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

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
  const std::string error = "57 - Device I/O error: ";
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"ppdev:/dev/glowreel-no-such-port", error + "/dev/glowreel-no-such-port: No such file or "
          "directory: load the parallel-port drivers (sudo modprobe parport_pc ppdev)"},
      {"ppdev:/dev/null", error + "/dev/null: cannot claim the port: "},
      {"trace:/nonexistent-dir/run.trace", "/nonexistent-dir/run.trace: No such file or directory"},
      {"trace", error + "trace: no file named"},
      {"trace:" + fifo, fifo + ": nothing reads this pipe"},
      {"trace:/dev/full", error + "/dev/full: No space left on device"},
      {"bogus, none", "52 - Bad file name or number: unknown port sink \"bogus\" (known: auto,"}};
  // clang-format on
  for (const auto& [setting, report] : cases) {
    SCOPED_TRACE("GLOWREEL_PORT=" + setting);
    platform.boxes.clear();
    Run(setting);
    ASSERT_EQ(platform.boxes.size(), 1u) << "once, not four times per byte";
    EXPECT_NE(platform.boxes[0].text.find(report), std::string::npos) << platform.boxes[0].text;
  }
}

TEST_F(PortSetting, ATraceHoldsOneWholeLinePerWriteEvenWhenTwoShareTheFile) {
  const std::string path = dir.Directory() + "/run.trace";
  Run("trace:" + path + ",,");  // empty entries are passed over, not taken for "auto"
  EXPECT_TRUE(platform.boxes.empty());
  const test::Trace one = ReadTrace(path);
  EXPECT_EQ(one.badLines, 0);
  EXPECT_EQ(one.writes.size(), 212u + 4224);
  Run("trace:" + path + ",trace:" + path);
  const test::Trace three = ReadTrace(path);
  EXPECT_EQ(three.badLines, 0);
  EXPECT_EQ(three.writes.size(), 3 * one.writes.size());
}

// The display as these bytes leave it; "Cxx" is a command byte, "Dxx" a data byte.
DisplayModel Fed(const std::string& bytes) {
  DisplayModel model;
  for (std::size_t at = 0; at + 3 <= bytes.size(); at += 4)
    model.Receive(
        {bytes[at] == 'D', static_cast<uint8_t>(std::stoi(bytes.substr(at + 1, 2), nullptr, 16))});
  return model;
}

TEST(DisplayModel, LatchesTheDataRegisterWhenTheStrobeBecomesActive) {
  DisplayModel model;
  const uint8_t writes[][2] = {{2, 0x05}, {0, 0x24}, {2, 0x01}, {2, 0x05},   // command 0x24
                               {2, 0x05}, {0, 0x40}, {2, 0x01}, {2, 0x01},   // 0x40, held strobe
                               {2, 0x0D}, {0, 0x81}, {2, 0x09}, {2, 0x0D}};  // data 0x81
  for (const auto& w : writes) model.WriteRegister(w[0], w[1]);
  EXPECT_TRUE(model.Lit(0, 0) && model.Lit(0, 7) && !model.Lit(0, 1));
}

TEST(DisplayModel, FollowsTheCommandGrammarOfTheDisplay) {
  EXPECT_FALSE(Fed("C84 DFF").Lit(0, 0)) << "dark until a layer is switched on";
  EXPECT_TRUE(Fed("C84 DFF").Stored(0, 0, 0));
  EXPECT_TRUE(Fed("C44 C84 DFF C24 C40").Lit(0, 0));
  EXPECT_EQ(Fed("C44 C84 DFF C24 C40").Brightness(), 11) << "the 0x40 after 0x24 is no brightness";
  EXPECT_FALSE(Fed("C84 DFF C24 C40 C20 C00").IsOn());
  EXPECT_FALSE(Fed("C24 C40 C62 C03 DFF").Lit(0, 0)) << "an area's data byte draws nothing";
  EXPECT_TRUE(Fed("C24 C40 C80 C64 C0A C60 C01 D01 D02").Lit(10, 9)) << "X stays";
  EXPECT_TRUE(Fed("C24 C40 C84 C64 C0A C60 C01 D01 D02").Lit(11, 9)) << "X advances";
  EXPECT_FALSE(Fed("C84 C64 C00 C60 C08 D01 C24 C40").Lit(0, 0)) << "page 8 is the second layer";
  EXPECT_TRUE(Fed("C84 C64 C00 C60 C08 D01 C28 C40").Lit(0, 0));
  const DisplayModel cleared = Fed("C24 C40 C84 C64 C32 DFF C5F D01");
  EXPECT_TRUE(!cleared.Lit(50, 0) && cleared.Lit(0, 0)) << "the clear sends the position home";
}

}  // namespace
}  // namespace glowreel
