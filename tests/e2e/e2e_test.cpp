// The built program under a private X server, driven as a person would with xdotool; the trace
// of its port writes is decoded with the display model and checked.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <iostream>

#include "support/movie_text.h"
#include "support/temp_file.h"
#include "trace.h"
#include "x_session.h"

namespace glowreel::e2e {
namespace {

using test::Frame;
using test::TempFile;

// Client coordinates of the main window's controls (their centres).
constexpr int kLoad[] = {56, 80};
constexpr int kPlay[] = {56, 120};
constexpr int kExit[] = {152, 80};
constexpr int kRepeat[] = {80, 150};

constexpr std::size_t kRefreshTransfers = 1056;
constexpr std::size_t kStartUpTransfers = 52 + 1;

std::vector<uint8_t> Commands(const std::vector<TimedTransfer>& transfers, std::size_t from,
                              std::size_t to) {
  std::vector<uint8_t> bytes;
  for (std::size_t i = from; i < to && i < transfers.size(); ++i) {
    if (!transfers[i].transfer.isData) bytes.push_back(transfers[i].transfer.byte);
  }
  return bytes;
}

// Where each refresh starts: X to column 0, then Y to page 0.
std::vector<std::size_t> RefreshStarts(const std::vector<TimedTransfer>& transfers) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i + 4 <= transfers.size(); ++i) {
    const std::vector<uint8_t> head = Commands(transfers, i, i + 4);
    if (head == std::vector<uint8_t>{0x64, 0x00, 0x60, 0x00}) starts.push_back(i);
  }
  return starts;
}

std::vector<uint8_t> FadeAndOff() {
  std::vector<uint8_t> bytes;
  for (uint8_t b = 0x40; b <= 0x4F; ++b) bytes.push_back(b);
  bytes.insert(bytes.end(), {0x20, 0x00});
  return bytes;
}

// What a frame's rows should light: each "1" a 6 x 7 block at a pitch of 7 x 8.
bool ShowsRows(const DisplayModel& model, const std::vector<std::string>& rows) {
  for (int x = 0; x < 128; ++x) {
    for (int y = 0; y < 64; ++y) {
      const int cx = x / 7, cy = y / 8;
      const bool lit = cx < 18 && x % 7 < 6 && y % 8 < 7 && rows[cy][cx] == '1';
      if (model.Lit(x, y) != lit) return false;
    }
  }
  return true;
}

std::vector<std::string> Pattern(int seed) {
  std::vector<std::string> rows(8, std::string(18, '0'));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 18; ++x) rows[y][x] = (x * 3 + y * 5 + seed) % 4 == 0 ? '1' : '0';
  return rows;
}

class EndToEnd : public ::testing::Test {
 protected:
  // Starts the program writing its port trace, and loads the movie through the Open dialog.
  std::string StartAndLoad(const std::string& movieText) {
    movie = std::make_unique<TempFile>(movieText, "e2e.grm");
    tracePath = movie->Directory() + "/run.trace";
    logPath = movie->Directory() + "/program.log";
    program = std::make_unique<Program>(
        GLOWREEL_EXECUTABLE, std::vector<std::string>{"GLOWREEL_PORT=trace:" + tracePath}, logPath);
    const std::string main = WaitForWindow("Noritake GlowReel", *program);
    Pause(300);
    Click(main, kLoad[0], kLoad[1]);
    const std::string dialog = WaitForWindow("Open Movie", *program);
    Xdotool("windowfocus --sync " + dialog);
    Xdotool("type --delay 5 '" + movie->Path() + "'");
    Xdotool("key Return");
    Pause(500);
    return main;
  }
  void ExitAndDecode(const std::string& main) {
    Click(main, kExit[0], kExit[1]);
    int status = -1;
    ASSERT_TRUE(program->WaitForExit(30, &status)) << "the program did not end after Exit";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    trace = DecodeTrace(tracePath);
    EXPECT_EQ(trace.badLines, 0);
  }
  void ExpectStartUpThenOneClear() {
    const auto& t = trace.transfers;
    ASSERT_GT(t.size(), kStartUpTransfers + 1);
    std::vector<uint8_t> init = {0x5F};
    for (uint8_t n = 0; n < 16; ++n) init.insert(init.end(), {0x62, n});
    init.insert(init.end(), {0x24, 0x40, 0x84, 0x40});
    EXPECT_EQ(Commands(t, 0, kStartUpTransfers), init);
    const DisplayModel started = ModelAfter(t, kStartUpTransfers);
    EXPECT_TRUE(started.IsOn());
    EXPECT_EQ(started.Brightness(), 15);
    EXPECT_EQ(t[kStartUpTransfers].transfer, (Transfer{false, 0x5F})) << "the load clears";
  }

  void TearDown() override {
    if (HasFailure()) {  // what the program said, to tell a test fault from a program fault
      std::ifstream log(logPath);
      std::cerr << "program output:\n" << log.rdbuf() << "\n";
    }
  }

  XServer x;
  std::unique_ptr<TempFile> movie;
  std::string tracePath;
  std::string logPath;
  std::unique_ptr<Program> program;
  DecodedTrace trace;
};

TEST_F(EndToEnd, PlaysAMovieToItsEndAndFadesOutAtExit) {
  const std::string text = "e2e movie\r\n" + Frame("200", Pattern(0)) + "a comment\r\n\r\n" +
                           Frame("200", Pattern(1)) + Frame("200", Pattern(2));
  const std::string main = StartAndLoad(text);
  Click(main, kPlay[0], kPlay[1]);
  Pause(2000);
  ExitAndDecode(main);
  ExpectStartUpThenOneClear();

  const auto& t = trace.transfers;
  const std::vector<std::size_t> starts = RefreshStarts(t);
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_EQ(starts[0], kStartUpTransfers + 1);
  std::vector<int64_t> pauses;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    SCOPED_TRACE("frame " + std::to_string(k));
    EXPECT_TRUE(
        ShowsRows(ModelAfter(t, starts[k] + kRefreshTransfers), Pattern(static_cast<int>(k))));
    if (k > 0)
      pauses.push_back(t[starts[k]].micros - t[starts[k - 1] + kRefreshTransfers - 1].micros);
  }
  for (int64_t pause : pauses) EXPECT_GE(pause, 21 * 10000) << "21 slices of 10 ms";
  std::sort(pauses.begin(), pauses.end());
  EXPECT_NEAR(static_cast<double>(pauses[pauses.size() / 2]), 210000.0, 210000.0 * 0.05);

  const std::size_t end = starts.back() + kRefreshTransfers;
  EXPECT_EQ(Commands(t, end, t.size()), FadeAndOff()) << "the last frame stays until the exit";
  EXPECT_EQ(t.size() - end, FadeAndOff().size());
  for (std::size_t step = end + 1; step < end + 16; ++step) {
    EXPECT_GE(t[step].micros - t[step - 1].micros, 50000) << "a 50 ms wait per fade step";
  }
  EXPECT_FALSE(ModelAfter(t, t.size()).IsOn());
}

TEST_F(EndToEnd, RepeatLoopsUntilStopAndStopClears) {
  const std::string main = StartAndLoad(Frame("100", Pattern(0)) + Frame("100", Pattern(3)));
  Click(main, kRepeat[0], kRepeat[1]);
  Pause(200);
  Click(main, kPlay[0], kPlay[1]);
  Pause(1500);
  Click(main, kPlay[0], kPlay[1]);  // Stop
  Pause(500);
  ExitAndDecode(main);
  ExpectStartUpThenOneClear();

  const auto& t = trace.transfers;
  const std::vector<std::size_t> starts = RefreshStarts(t);
  ASSERT_GE(starts.size(), 4u) << "the movie of two frames played again";
  for (std::size_t k = 0; k < starts.size(); ++k) {
    SCOPED_TRACE("frame " + std::to_string(k));
    EXPECT_TRUE(ShowsRows(ModelAfter(t, starts[k] + kRefreshTransfers), Pattern(k % 2 ? 3 : 0)));
  }
  std::vector<uint8_t> afterStop = {0x5F};
  for (uint8_t b : FadeAndOff()) afterStop.push_back(b);
  const std::size_t end = starts.back() + kRefreshTransfers;
  EXPECT_EQ(Commands(t, end, t.size()), afterStop) << "nothing but the clear after Stop";
  EXPECT_EQ(t.size() - end, afterStop.size());
}

}  // namespace
}  // namespace glowreel::e2e
