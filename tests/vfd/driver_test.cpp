// The display driver: a byte as four register writes, the command sequences and the refresh.
#include <gtest/gtest.h>

#include <functional>

#include "core/playback.h"
#include "support/fake_platform.h"
#include "support/port_record.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

using test::Golden;
using test::PortWrite;
using test::RecordingPort;

class Driver : public ::testing::Test {
 protected:
  void SetUp() override {
    pb.lPortBase = kFirstParallelPort;
    platform.onSleep = [this](int32_t ms) { port.Note("wait " + std::to_string(ms)); };
  }
  Playback pb;
  test::FakePlatform platform;
  RecordingPort port;
};

TEST_F(Driver, CommandAndDataBytesAreFourRegisterWritesEach) {
  WriteCommand(pb, 0x5F);
  WriteData(pb, 0xFF);
  WriteData(pb, 0);
  WriteControl(pb, 255);
  const std::vector<PortWrite> expected = {
      {0x37A, 0x05}, {0x378, 0x5F}, {0x37A, 0x01}, {0x37A, 0x05},  // command 0x5F
      {0x37A, 0x0D}, {0x378, 0xFF}, {0x37A, 0x09}, {0x37A, 0x0D},  // data 0xFF
      {0x37A, 0x0D}, {0x378, 0x00}, {0x37A, 0x09}, {0x37A, 0x0D},  // data 0
      {0x37A, 0xFA},                                               // control 255, XOR 5
  };
  EXPECT_EQ(port.Writes(), expected);
}

TEST_F(Driver, EachProcedureSendsItsBytesOrShowsItsRangeMessage) {
  const std::string command = "An invalid command byte was specified (> 1 byte.) [iData = ";
  const std::string data = "An invalid data byte was specified (> 1 byte.) [iData = ";
  const std::string control = "An invalid control command byte was specified (> 1 byte.) [iData = ";
  const std::string level = "An invalid brightness level was specified. [iLevel = ";
  const std::string x = "An invalid X write position was specified. [iPosition = ";
  const std::string y = "An invalid Y write position was specified. [iPosition = ";
  // What the display receives, or the text of the "Data Error" box and nothing sent.
  // clang-format off
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[this] { WriteCommand(pb, 255); }, "command FF"},   {[this] { WriteCommand(pb, 256); }, command + "100]"},
      {[this] { WriteCommand(pb, -1); }, command + "FFFF]"}, {[this] { WriteData(pb, 1000); }, data + "3E8]"},
      {[this] { WriteData(pb, -32768); }, data + "8000]"},  {[this] { WriteControl(pb, 256); }, control + "100]"},
      {[this] { WriteControl(pb, -2); }, control + "FFFE]"}, {[this] { SetBrightness(pb, 15); }, "brightness 15"},
      {[this] { SetBrightness(pb, 7); }, "brightness 7"},   {[this] { SetBrightness(pb, 0); }, "brightness 0"},
      {[this] { SetBrightness(pb, 16); }, level + "16]"},   {[this] { SetBrightness(pb, -1); }, level + "-1]"},
      {[this] { SetXPosition(pb, 127); }, "x 127"},         {[this] { SetXPosition(pb, 128); }, x + "128]"},
      {[this] { SetXPosition(pb, -5); }, x + "-5]"},        {[this] { SetYPosition(pb, 7); }, "page 7"},
      {[this] { SetYPosition(pb, 8); }, y + "8]"},          {[this] { DisplayOff(pb); }, "off"},
      {[this] { ClearDisplay(pb); }, "clear"}};
  // clang-format on
  for (const auto& [call, expected] : cases) {
    SCOPED_TRACE(expected);
    RecordingPort fresh;
    test::FakePlatform boxes;
    call();
    const bool refused = expected.rfind("An invalid", 0) == 0;
    EXPECT_EQ(fresh.TranscriptFrom(), refused ? std::vector<std::string>{} : std::vector{expected});
    EXPECT_EQ(fresh.Writes().empty(), refused) << "not even the control register";
    std::string shown;
    for (const test::Box& box : boxes.boxes) shown += box.title + ": " + box.text;
    EXPECT_EQ(shown, refused ? "Data Error: " + expected : "");
  }
}

TEST_F(Driver, AFailingOutputIsReportedOnceDroppedAndTheSequenceGoesOnToTheOthers) {
  for (const bool alone : {true, false}) {
    SCOPED_TRACE(alone ? "the only output" : "beside another");
    test::FakePlatform boxes;
    RecordingPort fresh(alone ? 3 : 0);
    auto failed = std::make_shared<std::vector<PortWrite>>();
    if (!alone) fresh.Context().Add(test::MakeRecordingSink(failed, 3));
    InitDisplay(pb);
    EXPECT_TRUE(pb.bDisplayReady);
    EXPECT_EQ(boxes.boxes.size(), 1u) << "not four a byte: 208 boxes before the window opens";
    EXPECT_EQ(boxes.boxes.back().text,
              "An error has occured: \r\n57 - Device I/O error: recorder: failed on purpose");
    EXPECT_EQ(fresh.Writes().size(), alone ? 2u : 208u) << "the other output had every write";
    EXPECT_EQ(failed->size(), alone ? 0u : 2u);
  }
}

TEST_F(Driver, ShutdownFadesFromTheLevelLastSetInWaitedStepsThenSwitchesOffOnlyOnceReady) {
  ShutdownDisplay(pb);
  EXPECT_TRUE(port.Writes().empty());
  EXPECT_TRUE(platform.sleeps.empty());
  pb.bDisplayReady = true;
  ShutdownDisplay(pb);
  EXPECT_EQ(port.TranscriptFrom(), Golden("fadeout"));
  EXPECT_TRUE(pb.bDisplayReady);
  SetBrightness(pb, 2);  // a dimmed display never brightens on its way out
  SetBrightness(pb, 16);
  const test::Mark dimmed = port.Position();
  ShutdownDisplay(pb);
  EXPECT_EQ(test::Without(port.TranscriptFrom(dimmed), "wait"),
            (std::vector<std::string>{"brightness 2", "brightness 1", "brightness 0", "off"}));
}

TEST_F(Driver, ARefreshSendsEightPagesOfColumnBytesTopRowInBitZero) {
  pb.pixelBuffer[0][0] = kLit;
  pb.pixelBuffer[5][10] = 7;  // any non-zero value is lit
  pb.pixelBuffer[64][39] = kLit;
  pb.pixelBuffer[127][63] = kLit;
  RefreshDisplay(pb);
  EXPECT_EQ(port.TranscriptFrom(), Golden("refresh"));
  EXPECT_EQ(port.Writes().size(), 4224u);
  EXPECT_EQ(std::count_if(port.Writes().begin(), port.Writes().end(),
                          [](const PortWrite& w) { return w.value > 0xFF; }),
            0);
}

}  // namespace
}  // namespace glowreel
