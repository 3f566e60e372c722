#include <gtest/gtest.h>

#include <functional>

#include "app/shared_state.h"
#include "support/fake_platform.h"
#include "support/recording_port.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

using test::FakePlatform;
using test::PortWrite;
using test::RecordingPort;

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSharedState();
    lPortBase = 888;
  }
  FakePlatform platform;
};

TEST_F(LinkTest, CommandAndDataBytesAreFourWritesEach) {
  RecordingPort port;
  WriteCommand(0x5F);
  WriteData(0xFF);
  WriteData(0);
  WriteControl(255);
  const std::vector<PortWrite> expected = {
      {0x37A, 0x05}, {0x378, 0x5F}, {0x37A, 0x01}, {0x37A, 0x05},  // command 0x5F
      {0x37A, 0x0D}, {0x378, 0xFF}, {0x37A, 0x09}, {0x37A, 0x0D},  // data 0xFF
      {0x37A, 0x0D}, {0x378, 0x00}, {0x37A, 0x09}, {0x37A, 0x0D},  // data 0
      {0x37A, 0xFA},                                               // control 255, XOR 5
  };
  EXPECT_EQ(port.Writes(), expected);
}

struct RangeCase {
  const char* name;
  std::function<void(int16_t)> send;
  int16_t value;
  std::string message;  // empty: accepted
};

TEST_F(LinkTest, OutOfRangeBytesShowDataErrorAndWriteNothing) {
  const std::string command = "An invalid command byte was specified (> 1 byte.) [iData = ";
  const std::string data = "An invalid data byte was specified (> 1 byte.) [iData = ";
  const std::string control = "An invalid control command byte was specified (> 1 byte.) [iData = ";
  const std::vector<RangeCase> cases = {
      {"command 255", WriteCommand, 255, ""},
      {"command 256", WriteCommand, 256, command + "100]"},
      {"command -1", WriteCommand, -1, command + "FFFF]"},
      {"data 1000", WriteData, 1000, data + "3E8]"},
      {"data -1", WriteData, -1, data + "FFFF]"},
      {"data -32768", WriteData, -32768, data + "8000]"},
      {"control 256", WriteControl, 256, control + "100]"},
      {"control -2", WriteControl, -2, control + "FFFE]"},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingPort port;
    platform.boxes.clear();
    c.send(c.value);
    if (c.message.empty()) {
      EXPECT_TRUE(platform.boxes.empty());
      EXPECT_FALSE(port.Writes().empty());
      continue;
    }
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].title, "Data Error");
    EXPECT_EQ(platform.boxes[0].text, c.message);
    EXPECT_TRUE(port.Writes().empty());
  }
}

TEST_F(LinkTest, FailingPortWritesAreReportedOneByOneAndTheByteGoesOn) {
  RecordingPort port(/*failing=*/true);
  WriteCommand(0x24);
  EXPECT_EQ(platform.ErrorReports(57), 4) << "three control writes and one data write";
  EXPECT_EQ(port.Writes().size(), 4u);
}

}  // namespace
}  // namespace glowreel
