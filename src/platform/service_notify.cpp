#include "platform/service_notify.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/system_sleep.h"

namespace glowreel {

namespace {

// Half of $WATCHDOG_USEC where it is meant for this process, 0 where there is none.
int64_t WatchdogHalfUs() {
  const char* usec = std::getenv("WATCHDOG_USEC");
  const char* pid = std::getenv("WATCHDOG_PID");
  if (!usec || (pid && std::strtoll(pid, nullptr, 10) != getpid())) return 0;
  return std::strtoll(usec, nullptr, 10) / 2;
}

}  // namespace

bool NotifyService(const std::string& state) {
  const char* path = std::getenv("NOTIFY_SOCKET");
  if (!path || (path[0] != '/' && path[0] != '@')) return false;
  sockaddr_un address{};
  const std::size_t length = std::strlen(path);
  if (length >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path, length);
  if (address.sun_path[0] == '@') address.sun_path[0] = '\0';  // the abstract namespace
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length);
  const bool sent = sendto(fd, state.data(), state.size(), MSG_NOSIGNAL,
                           reinterpret_cast<const sockaddr*>(&address),
                           size) == static_cast<ssize_t>(state.size());
  close(fd);
  return sent;
}

void FeedWatchdog() {
  static const int64_t half = WatchdogHalfUs();
  static int64_t last = 0;
  if (half <= 0) return;
  const auto now = static_cast<int64_t>(MonotonicUs());
  if (now - last < half) return;
  last = now;
  NotifyService("WATCHDOG=1");
}

}  // namespace glowreel
