#include "x_session.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace glowreel::e2e {

namespace {

pid_t Spawn(const std::vector<std::string>& argv, char** env, const std::string& logPath = "") {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!logPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) throw std::runtime_error("cannot start " + argv[0]);
  return pid;
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

}  // namespace

XServer::XServer() {
  auto taken = [](int n) {
    return access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0 ||
           access(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), F_OK) == 0;
  };
  int display = 90;
  while (taken(display)) ++display;
  const std::string name = ":" + std::to_string(display);
  // -noreset: the server would otherwise restart, refusing connections, whenever its last
  // client leaves, as the readiness probe below does.
  pid_ = Spawn({XVFB_PROGRAM, name, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"},
               environ);
  setenv("DISPLAY", name.c_str(), 1);
  // Ready once it answers.
  for (int attempt = 0; Xdotool("getdisplaygeometry").empty(); ++attempt) {
    if (attempt == 200) throw std::runtime_error("Xvfb did not start on " + name);
    Pause(50);
  }
}

XServer::~XServer() {
  Stop(pid_);
}

Program::Program(const std::string& path, const std::vector<std::string>& environment,
                 const std::string& logPath) {
  std::vector<std::string> env;
  // The tests run with the offscreen platform; the program must show real windows.
  for (char** e = environ; *e; ++e) {
    if (std::string(*e).rfind("QT_QPA_PLATFORM=", 0) != 0) env.emplace_back(*e);
  }
  env.insert(env.end(), environment.begin(), environment.end());
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_ = Spawn({path}, envp.data(), logPath);
}

bool Program::Running() {
  int status = 0;
  if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) pid_ = -1;
  return pid_ > 0;
}

Program::~Program() {
  Stop(pid_);
}

bool Program::WaitForExit(int seconds, int* status) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid_, status, WNOHANG) == pid_) {
      pid_ = -1;
      return true;
    }
    Pause(50);
  }
  return false;
}

std::string Xdotool(const std::string& arguments) {
  const std::string command = std::string(XDOTOOL_PROGRAM) + " " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run xdotool");
  std::string output;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
  pclose(pipe);
  while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
  return output;
}

std::string WaitForWindow(const std::string& title, Program& program) {
  for (int attempt = 0; attempt < 600; ++attempt) {  // a sanitizer build starts slowly
    if (!program.Running()) throw std::runtime_error("the program ended before \"" + title + "\"");
    std::string found = Xdotool("search --onlyvisible --name '^" + title + "$'");
    if (!found.empty()) return found.substr(0, found.find('\n'));
    Pause(50);
  }
  throw std::runtime_error("no window \"" + title + "\" appeared");
}

void Click(const std::string& window, int x, int y) {
  Xdotool("mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
          " click 1");
}

void Pause(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace glowreel::e2e
