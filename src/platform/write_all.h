#pragma once

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace glowreel {

// Writes every byte, going on after interruptions and short writes. A descriptor that cannot
// take more for now (a full pipe opened without blocking) is waited on, for at most
// `patienceMs` without progress. Returns 0 or the errno of the failure (ETIMEDOUT when it
// waited in vain, EIO for a write that took nothing); `written` receives how much went out.
inline int WriteAll(int fd, const char* data, std::size_t size, std::size_t* written = nullptr,
                    int patienceMs = 0) {
  std::size_t done = 0;
  int error = 0;
  while (done < size && error == 0) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      pollfd ready{fd, POLLOUT, 0};
      int polled;
      while ((polled = poll(&ready, 1, patienceMs)) < 0 && errno == EINTR) {
      }
      if (polled == 0) error = ETIMEDOUT;
    } else if (n < 0 && errno != EINTR) {
      error = errno;
    } else if (n == 0) {
      error = EIO;
    }
  }
  if (written) *written = done;
  return error;
}

}  // namespace glowreel
