#include "platform/system_sleep.h"

#include <sys/prctl.h>

#include <cerrno>
#include <ctime>

namespace glowreel {

namespace {
// The default 50 us timer slack would make ten 10 ms slices noticeably longer than 100 ms.
void AskForPreciseWakeups() {
  static const bool done = [] {
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    return true;
  }();
  (void)done;
}
}  // namespace

void SystemSleep(int32_t milliseconds) {
  if (milliseconds <= 0) return;
  AskForPreciseWakeups();
  timespec remaining{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
  // A signal interrupts the wait; the rest of it is still slept.
  while (clock_nanosleep(CLOCK_MONOTONIC, 0, &remaining, &remaining) == EINTR) {
  }
}

}  // namespace glowreel
