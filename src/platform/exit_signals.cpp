#include "platform/exit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

namespace glowreel {

namespace {

int pipeEnds[2] = {-1, -1};
bool pending = false;

void OnExitSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = write(pipeEnds[1], &byte, 1);
  errno = saved;
}

}  // namespace

int InstallExitSignals() {
  if (pipeEnds[0] >= 0) return pipeEnds[0];
  if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
  struct sigaction action {};
  action.sa_handler = OnExitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) sigaction(number, &action, nullptr);
  return pipeEnds[0];
}

bool ExitSignalPending() {
  char bytes[16];
  while (pipeEnds[0] >= 0 && read(pipeEnds[0], bytes, sizeof bytes) > 0) pending = true;
  return pending;
}

bool TakeExitSignal() {
  const bool came = ExitSignalPending();
  pending = false;
  return came;
}

}  // namespace glowreel
