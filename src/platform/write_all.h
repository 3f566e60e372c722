#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace glowreel {

// Writes every byte, going on after interruptions and short writes. Returns 0 or the errno of
// the write that failed (EIO for one that wrote nothing).
inline int WriteAll(int fd, const char* data, std::size_t size) {
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

}  // namespace glowreel
