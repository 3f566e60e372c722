#include "platform/process_setup.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace glowreel {

void PrepareProcess() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) continue;
    const int opened = open("/dev/null", O_RDWR);  // takes the lowest free number: this one
    if (opened > 2) close(opened);
  }
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace glowreel
