// The built program under a private X server, driven as a person would with xdotool; the trace
// of its port writes is decoded with the display model and checked.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <iostream>

#include "support/movie_text.h"
#include "support/recording_port.h"
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

// Where each refresh starts: X to column 0, then Y to page 0.
std::vector<std::size_t> RefreshStarts(const DecodedTrace& trace) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i + 4 <= trace.transfers.size(); ++i) {
    if (test::Commands(trace.Slice(i, i + 4)) == std::vector<uint8_t>{0x64, 0x00, 0x60, 0x00}) {
      starts.push_back(i);
    }
  }
  return starts;
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
    ASSERT_GT(trace.transfers.size(), kStartUpTransfers + 1);
    EXPECT_EQ(test::Commands(trace.Slice(0, kStartUpTransfers)), test::StartUpCommands());
    const DisplayModel started = trace.ModelAfter(kStartUpTransfers);
    EXPECT_TRUE(started.IsOn());
    EXPECT_EQ(started.Brightness(), 15);
    EXPECT_EQ(trace.transfers[kStartUpTransfers], test::Cmd(0x5F)) << "the load clears";
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

  const std::vector<int64_t>& at = trace.micros;
  const std::vector<std::size_t> starts = RefreshStarts(trace);
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_EQ(starts[0], kStartUpTransfers + 1);
  std::vector<int64_t> pauses;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    SCOPED_TRACE("frame " + std::to_string(k));
    EXPECT_TRUE(ShowsRows(trace.ModelAfter(starts[k] + kRefreshTransfers), Pattern(int(k))));
    if (k > 0) pauses.push_back(at[starts[k]] - at[starts[k - 1] + kRefreshTransfers - 1]);
  }
  for (int64_t pause : pauses) EXPECT_GE(pause, 21 * 10000) << "21 slices of 10 ms";
  std::sort(pauses.begin(), pauses.end());
  EXPECT_NEAR(static_cast<double>(pauses[pauses.size() / 2]), 210000.0, 210000.0 * 0.05);

  const std::size_t end = starts.back() + kRefreshTransfers;
  const std::vector<Transfer> rest = trace.Slice(end, trace.transfers.size());
  EXPECT_EQ(test::Commands(rest), test::FadeOutCommands()) << "the last frame stays until exit";
  EXPECT_EQ(rest.size(), test::FadeOutCommands().size());
  for (std::size_t step = end + 1; step < end + 16; ++step) {
    EXPECT_GE(at[step] - at[step - 1], 50000) << "a 50 ms wait per fade step";
  }
  EXPECT_FALSE(trace.ModelAfter(trace.transfers.size()).IsOn());
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

  const std::vector<std::size_t> starts = RefreshStarts(trace);
  ASSERT_GE(starts.size(), 4u) << "the movie of two frames played again";
  for (std::size_t k = 0; k < starts.size(); ++k) {
    SCOPED_TRACE("frame " + std::to_string(k));
    EXPECT_TRUE(ShowsRows(trace.ModelAfter(starts[k] + kRefreshTransfers), Pattern(k % 2 ? 3 : 0)));
  }
  std::vector<uint8_t> afterStop = {0x5F};
  for (uint8_t b : test::FadeOutCommands()) afterStop.push_back(b);
  const std::vector<Transfer> rest =
      trace.Slice(starts.back() + kRefreshTransfers, trace.transfers.size());
  EXPECT_EQ(test::Commands(rest), afterStop) << "nothing but the clear after Stop";
  EXPECT_EQ(rest.size(), afterStop.size());
}

}  // namespace
}  // namespace glowreel::e2e
