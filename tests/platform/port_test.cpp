#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "app/shared_state.h"
#include "platform/platform.h"
#include "platform/port/port.h"
#include "platform/port/port_config.h"
#include "platform/report_error.h"
#include "support/fake_platform.h"
#include "support/temp_file.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

using test::FakePlatform;
using test::TempFile;

TEST(ParsePortSetting, SplitsNamesArgumentsAndLists) {
  struct Case {
    std::string setting;
    std::vector<SinkChoice> choices;
  };
  const std::vector<Case> cases = {
      {"", {{"auto", ""}}},
      {"auto", {{"auto", ""}}},
      {"virtual", {{"virtual", ""}}},
      {"ppdev", {{"ppdev", ""}}},
      {"ppdev:/dev/parport1", {{"ppdev", "/dev/parport1"}}},
      {"trace:/tmp/a:b.trace", {{"trace", "/tmp/a:b.trace"}}},
      {"virtual, trace:/tmp/run.trace", {{"virtual", ""}, {"trace", "/tmp/run.trace"}}},
      {"none,ioport", {{"none", ""}, {"ioport", ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("GLOWREEL_PORT=" + c.setting);
    EXPECT_EQ(ParsePortSetting(c.setting), c.choices);
  }
}

// Runs with GLOWREEL_PORT set, the sinks opened afresh and closed at the end.
class PortSettingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSharedState();
    lPortBase = 888;
  }
  void TearDown() override {
    PortClose();
    unsetenv("GLOWREEL_PORT");
  }
  void Use(const std::string& setting) {
    PortClose();
    setenv("GLOWREEL_PORT", setting.c_str(), 1);
  }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  FakePlatform platform;
};

TEST_F(PortSettingTest, TraceWritesOneLinePerWriteFlushedAtEverySleep) {
  TempFile trace("", "run.trace");
  Use("trace:" + trace.Path());
  WriteCommand(0x5F);
  Sleep(1);
  const std::string text = Contents(trace.Path());
  std::istringstream lines(text);
  std::vector<std::string> fields;
  std::string line;
  const std::regex format("[0-9]+ ([0-9A-F]{4}) ([0-9A-F]{4})");
  while (std::getline(lines, line)) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(line, match, format)) << line;
    fields.push_back(match[1].str() + " " + match[2].str());
  }
  EXPECT_EQ(fields, (std::vector<std::string>{"037A 0005", "0378 005F", "037A 0001", "037A 0005"}));
}

TEST_F(PortSettingTest, SinkThatCannotOpenIsReportedOnceNamingDeviceAndReason) {
  struct Case {
    std::string setting;
    std::string report;
  };
  const std::vector<Case> cases = {
      {"ppdev:/dev/glowreel-no-such-port",
       "57 - Device I/O error: /dev/glowreel-no-such-port: No such file or directory"},
      {"ppdev:/dev/null", "57 - Device I/O error: /dev/null: cannot claim the port"},
      {"trace:/nonexistent-dir/run.trace",
       "57 - Device I/O error: /nonexistent-dir/run.trace: No such file or directory"},
      {"trace", "57 - Device I/O error: trace: no file named"},
      {"bogus", "52 - Bad file name or number: unknown port sink \"bogus\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("GLOWREEL_PORT=" + c.setting);
    platform.boxes.clear();
    Use(c.setting);
    InitDisplay();
    RefreshDisplay();
    ASSERT_EQ(platform.boxes.size(), 1u) << "once, not four times per byte";
    EXPECT_NE(platform.boxes[0].text.find(c.report), std::string::npos) << platform.boxes[0].text;
  }
}

TEST_F(PortSettingTest, UnknownSinkIsReportedOnceAndTheOthersStillWork) {
  TempFile trace("", "run.trace");
  Use("bogus,trace:" + trace.Path());
  WriteCommand(0x5F);
  WriteCommand(0x5F);
  PortFlush();
  ASSERT_EQ(platform.ErrorReports(52), 1);
  const std::string text = Contents(trace.Path());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8);
}

TEST_F(PortSettingTest, SinkWhoseOutputFailsIsReportedOnceAndDropped) {
  struct BrokenFlush : PortSink {
    void Write(int32_t, uint16_t) override { ++*writes; }
    void Flush() override { throw RunTimeError(kErrDeviceIO, "Device I/O error: disk full"); }
    int* writes;
  };
  int writes = 0;
  auto sink = std::make_unique<BrokenFlush>();
  sink->writes = &writes;
  std::vector<std::unique_ptr<PortSink>> sinks;
  sinks.push_back(std::move(sink));
  UsePortSinks(std::move(sinks));
  bDisplayReady = true;
  ShutdownDisplay();  // sixteen waits, each flushing
  EXPECT_EQ(platform.ErrorReports(57), 1);
  EXPECT_EQ(writes, 4) << "the first brightness byte, then the sink is gone";
  EXPECT_EQ(platform.sleeps.size(), 16u);
}

}  // namespace
}  // namespace glowreel
