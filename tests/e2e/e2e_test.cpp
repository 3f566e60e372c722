// The built program on a real X server (the test runs under xvfb-run), driven as a person would
// with xdotool: load, Repeat, play, stop, exit. Proves the real event loop, pacing, exit status
// and the trace written to its end.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "support/movie_text.h"
#include "support/port_record.h"
#include "support/temp_file.h"

extern char** environ;

namespace glowreel::test {
namespace {

// Client coordinates of the main window's controls (their centres).
constexpr int kLoad[] = {56, 80}, kPlay[] = {56, 120}, kExit[] = {152, 80}, kRepeat[] = {80, 150};

void Pause(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string Xdotool(const std::string& arguments) {
  FILE* pipe = popen(("xdotool " + arguments + " 2>/dev/null").c_str(), "r");
  std::string output;
  char buffer[256];
  while (pipe && fgets(buffer, sizeof buffer, pipe)) output += buffer;
  if (pipe) pclose(pipe);
  return output.substr(0, output.find('\n'));
}

std::string WaitForWindow(const std::string& title) {
  for (int attempt = 0; attempt < 600; ++attempt, Pause(50)) {  // a sanitizer build starts slowly
    const std::string id = Xdotool("search --onlyvisible --name '^" + title + "$'");
    if (!id.empty()) return id;
  }
  return "";
}

void Click(const std::string& window, const int (&at)[2]) {
  Xdotool("mousemove --window " + window + " " + std::to_string(at[0]) + " " +
          std::to_string(at[1]) + " click 1");
  Pause(200);
}

// Where each refresh starts in a transcript, and what its first data line says.
std::vector<std::size_t> Refreshes(const std::vector<std::string>& lines) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i)
    if (lines[i] == "x 0" && lines[i + 1] == "page 0") starts.push_back(i);
  return starts;
}

TEST(EndToEnd, LoadRepeatPlayStopExit) {
  TempFile movie(Frame("100", OneCell(0, 0)) + "a comment\r\n" + Frame("100", OneCell(17, 7)),
                 "e2e.grm");
  const std::string trace = movie.Directory() + "/run.trace";
  const std::string log = movie.Directory() + "/program.log";
  std::vector<std::string> env = {"GLOWREEL_PORT=trace:" + trace};
  for (char** e = environ; *e; ++e)  // the test itself runs offscreen; the program must not
    if (std::string(*e).rfind("QT_QPA_PLATFORM=", 0) != 0) env.emplace_back(*e);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  char* argv[] = {const_cast<char*>(GLOWREEL_EXECUTABLE), nullptr};
  ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv, envp.data()), 0);
  posix_spawn_file_actions_destroy(&actions);

  const std::string main = WaitForWindow("Noritake GlowReel");
  ASSERT_FALSE(main.empty());
  Pause(300);
  Click(main, kLoad);
  const std::string dialog = WaitForWindow("Open Movie");
  ASSERT_FALSE(dialog.empty());
  Xdotool("windowfocus --sync " + dialog);
  Xdotool("type --delay 5 '" + movie.Path() + "'");
  Xdotool("key Return");
  Pause(500);
  Click(main, kRepeat);
  Click(main, kPlay);
  Pause(1500);
  Click(main, kPlay);  // Stop
  Pause(300);
  Click(main, kExit);
  int status = -1;
  for (int waited = 0; waited < 600 && waitpid(pid, &status, WNOHANG) == 0; ++waited) Pause(50);
  if (!WIFEXITED(status)) kill(pid, SIGKILL);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;

  const Trace run = ReadTrace(trace);
  EXPECT_EQ(run.badLines, 0);
  const std::vector<std::string> lines = Transcript(run.writes);
  const std::vector<std::string> startUp = Without(Golden("startup"), "wait");
  ASSERT_GT(lines.size(), startUp.size() + 1);
  EXPECT_TRUE(std::equal(startUp.begin(), startUp.end(), lines.begin()));
  EXPECT_EQ(lines[startUp.size()], "clear") << "the load clears";

  const std::vector<std::size_t> starts = Refreshes(lines);
  ASSERT_GE(starts.size(), 4u) << "Repeat played the two frames again";
  for (std::size_t k = 0; k < starts.size(); ++k) {
    SCOPED_TRACE("frame " + std::to_string(k));
    EXPECT_EQ(lines[starts[k] + 2].substr(0, 7), k % 2 ? "data 00" : "data 7F");
  }
  // Each write's time: a refresh's last write is followed by 11 slices of 10 ms.
  std::vector<int64_t> pauses;
  for (std::size_t w = 1; w < run.writes.size(); ++w)
    if (run.micros[w] - run.micros[w - 1] > 50000)
      pauses.push_back(run.micros[w] - run.micros[w - 1]);
  std::sort(pauses.begin(), pauses.end());
  ASSERT_FALSE(pauses.empty());
  EXPECT_NEAR(static_cast<double>(pauses[pauses.size() / 2]), 110000.0, 110000.0 * 0.05);

  std::vector<std::string> afterStop(lines.begin() + starts.back() + 80, lines.end());
  std::vector<std::string> expected = {"clear"};
  for (const std::string& line : Without(Golden("fadeout"), "wait")) expected.push_back(line);
  EXPECT_EQ(afterStop, expected) << "the clear of Stop, then the fade-out and nothing more";
  if (HasFailure()) {
    std::ifstream out(log);
    std::cerr << "program output:\n" << out.rdbuf() << "\n";
  }
}

}  // namespace
}  // namespace glowreel::test
