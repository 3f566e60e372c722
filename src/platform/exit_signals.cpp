#include "platform/exit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>
#include <utility>

namespace glowreel {

namespace {

int pipeEnds[2] = {-1, -1};
bool reloads = false;
bool pending = false;
bool reload = false;

void OnExitSignal(int number) {
  const int saved = errno;
  const char byte = static_cast<char>(number);
  [[maybe_unused]] const ssize_t ignored = write(pipeEnds[1], &byte, 1);
  errno = saved;
}

}  // namespace

int InstallExitSignals(bool hangUpReloads) {
  reloads = hangUpReloads;
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
  for (ssize_t got; pipeEnds[0] >= 0 && (got = read(pipeEnds[0], bytes, sizeof bytes)) > 0;) {
    for (ssize_t k = 0; k < got; ++k) (reloads && bytes[k] == SIGHUP ? reload : pending) = true;
  }
  return pending;
}

bool TakeReloadSignal() {
  ExitSignalPending();
  return std::exchange(reload, false);
}

bool TakeExitSignal() {
  const bool came = ExitSignalPending();
  pending = false;
  return came;
}

}  // namespace glowreel
