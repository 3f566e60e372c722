#include "platform/run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

extern char** environ;

namespace glowreel {
namespace {

// The program of that name in this program's own folder, where a build or a package puts
// them together; "" where there is none.
std::string Beside(const std::string& name) {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return "";
  std::string path(self, static_cast<std::size_t>(length));
  path = path.substr(0, path.rfind('/') + 1) + name;
  return access(path.c_str(), X_OK) == 0 ? path : "";
}

}  // namespace

int RunProgram(const std::vector<std::string>& arguments, std::string& lastError) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int errors[2];
  if (pipe2(errors, O_CLOEXEC) != 0) return 127;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
  const std::string beside = Beside(arguments.front());
  pid_t child = 0;
  const int failed =
      beside.empty() ? posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ)
                     : posix_spawn(&child, beside.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(errors[1]);
  std::string said;
  char buffer[512];
  for (ssize_t n; (n = read(errors[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    said.append(buffer, static_cast<std::size_t>(n));
  }
  close(errors[0]);
  int status = 0;
  if (failed || waitpid(child, &status, 0) != child) return 127;
  while (!said.empty() && said.back() == '\n') said.pop_back();
  lastError = said.substr(said.rfind('\n') + 1);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 127;
}

}  // namespace glowreel
