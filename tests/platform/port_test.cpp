// Where the writes go: the port settings, the sinks' failures, the trace file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/playback.h"
#include "platform/port/builtin_sinks.h"
#include "platform/port/gpio_lines.h"
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
  void SetUp() override { pb.lPortBase = kFirstParallelPort; }
  void TearDown() override {
    PortClose();
    InstallPort(previous);
    unsetenv("GLOWREEL_PORT");
  }
  // Starts the display with GLOWREEL_PORT set so, then sends one frame and closes the port.
  void Run(const std::string& setting) {
    setenv("GLOWREEL_PORT", setting.c_str(), 1);
    InitDisplay(pb);
    SetBrightness(pb, 15);
    RefreshDisplay(pb);
    PortClose();
  }
  Playback pb;
  PortContext port;
  PortContext* previous = InstallPort(&port);
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
      {"trace", "52 - Bad file name or number: trace: no file named"},
      {"gpio:/dev/glowreel-no-chip:0,1,2,3,4,5,6,7,-,-,8,9", "no-chip: no such GPIO chip"},
      {"trace:" + fifo, fifo + ": nothing reads this pipe"},
      {"bogus, none", "52 - Bad file name or number: unknown port sink \"bogus\" (known: auto,"}};
  // clang-format on
  for (const auto& [setting, report] : cases) {
    SCOPED_TRACE("GLOWREEL_PORT=" + setting);
    platform.boxes.clear();
    Run(setting);
    EXPECT_EQ(platform.boxes.size(), 1u) << "once, not four times per byte";
    const std::string first = platform.boxes.empty() ? "" : platform.boxes[0].text;
    EXPECT_NE(first.find(report), std::string::npos) << first;
  }
}

TEST_F(PortSetting, AutoTakesTheParallelPortWhereItWorksAndTheVirtualDisplayOtherwise) {
  // The port there, it opens, the program has a virtual display: the sink used, the reports.
  const std::tuple<bool, bool, bool, std::string, std::size_t> cases[] = {
      {true, true, true, "ppdev", 0},
      {true, false, true, "virtual", 1},
      {false, true, true, "virtual", 0},
      {false, true, false, "", 1}};
  for (const auto& [exists, opens, hasVirtual, expected, reports] : cases) {
    SCOPED_TRACE(expected + " after " + std::to_string(reports) + " reports");
    PortContext context;
    context.parport = exists ? dir.Path() : dir.Directory() + "/parport9";
    std::string used;
    const auto fake = [&used](const char* name, bool works) {
      return [&used, name, works](const SinkOpening& opening) {
        if (!works) throw DeviceError(opening.argument, "cannot be used");
        used = name;
        return test::MakeRecordingSink(std::make_shared<std::vector<test::PortWrite>>());
      };
    };
    context.Register("ppdev", fake("ppdev", exists && opens));
    if (hasVirtual) context.Register("virtual", fake("virtual", true));
    EXPECT_EQ(context.Open("auto", kFirstParallelPort).size(), reports);
    EXPECT_EQ(used, expected);
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

TEST_F(PortSetting, ATraceIntoAPipeWaitsForASlowReaderAndLosesNothing) {
  const std::string fifo = dir.Directory() + "/fifo";
  mkfifo(fifo.c_str(), 0600);
  const int readEnd = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  const int otherWriter = open(fifo.c_str(), O_WRONLY);  // no end of file before the trace's
  fcntl(readEnd, F_SETFL, 0);
  std::size_t lines = 0;
  std::thread reader([&] {
    char buffer[4096];
    usleep(20000);  // the pipe fills up first
    for (ssize_t n; (n = read(readEnd, buffer, sizeof buffer)) > 0; usleep(300))
      lines += static_cast<std::size_t>(std::count(buffer, buffer + n, '\n'));
  });
  setenv("GLOWREEL_PORT", ("trace:" + fifo).c_str(), 1);
  InitDisplay(pb);
  for (int frame = 0; frame < 2; ++frame) RefreshDisplay(pb);  // more than a pipe holds at once
  PortClose();
  close(otherWriter);
  reader.join();
  close(readEnd);
  EXPECT_TRUE(platform.boxes.empty());
  EXPECT_EQ(lines, 208u + 2 * 4224);
}

TEST(GpioLines, EachSignalCarriesTheLevelThePcPortPutsOnItsPin) {
  // clang-format off
  const std::tuple<int32_t, uint8_t, std::string> cases[] = {  // D0-D7, STROBE, AUTOFD, INIT, SELECT
      {kDataRegister, 0xA5, "10100101----"}, {kControlRegister, 0x05, "--------0111"},
      {kControlRegister, 0x01, "--------0101"}, {kControlRegister, 0x0D, "--------0110"},
      {1, 0xFF, "------------"}};
  // clang-format on
  for (const auto& [offset, value, expected] : cases) {
    SCOPED_TRACE(expected);
    std::string levels;
    for (const int level : PinLevels(offset, value)) levels += level < 0 ? '-' : char('0' + level);
    EXPECT_EQ(levels, expected);
  }
}

}  // namespace
}  // namespace glowreel

// Only character devices named parportN and gpiochipN are listed; a FIFO or a regular file of
// such a name is passed over without being waited on.
TEST(PortListing, ListsCharacterDevicesOnlyAndNeverWaitsOnAFifo) {
  char folder[] = "/tmp/glowreel-dev-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string dev = folder;
  ASSERT_EQ(symlink("/dev/null", (dev + "/parport0").c_str()), 0);
  close(open((dev + "/parport6").c_str(), O_CREAT | O_WRONLY, 0644));
  close(open((dev + "/parport").c_str(), O_CREAT | O_WRONLY, 0644));
  ASSERT_EQ(mkfifo((dev + "/gpiochip7").c_str(), 0644), 0);
  ASSERT_EQ(mkfifo((dev + "/parport3").c_str(), 0644), 0);
  const std::vector<std::string> ports = glowreel::ListParallelPorts(dev);
  ASSERT_EQ(ports.size(), 1u);
  EXPECT_EQ(ports.front().rfind(dev + "/parport0  parallel port  ", 0), 0u) << ports.front();
  EXPECT_TRUE(glowreel::ListGpioChips(dev).empty());
  std::filesystem::remove_all(dev);
}
