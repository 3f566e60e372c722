#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace glowreel::e2e {

// A private X server for the length of a test; DISPLAY points at it meanwhile.
class XServer {
 public:
  XServer();
  ~XServer();

 private:
  pid_t pid_ = -1;
};

// The program started with extra environment; killed if it is still running at the end.
class Program {
 public:
  // Its standard output and error go to `logPath`.
  Program(const std::string& path, const std::vector<std::string>& environment,
          const std::string& logPath);
  ~Program();
  bool Running();
  // Waits for the program to end; false when it has not ended within the time.
  bool WaitForExit(int seconds, int* status);

 private:
  pid_t pid_ = -1;
};

// xdotool with these arguments; returns its output, trimmed.
std::string Xdotool(const std::string& arguments);
// The id of the window with exactly this title, waiting for it to appear while the program runs.
std::string WaitForWindow(const std::string& title, Program& program);
// Clicks at a point of a window, given in its client coordinates.
void Click(const std::string& window, int x, int y);
void Pause(int milliseconds);

}  // namespace glowreel::e2e
