#include "platform/system_sleep.h"

#include <sys/prctl.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace glowreel {

namespace {

constexpr int64_t kNanosPerMs = 1000000;
constexpr int64_t kSpinMarginNs = 20000;        // woken this much early, the rest is spun
constexpr int64_t kLongestLatencyNs = 2000000;  // never trust a wake-up later than this

int64_t NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// The default 50 us timer slack would make ten 10 ms slices noticeably longer than 100 ms.
void AskForPreciseWakeups() {
  static const bool done = [] {
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    return true;
  }();
  (void)done;
}

// How late the kernel wakes this thread, learnt from the sleeps so far. On virtual machines it
// is a quarter of a millisecond or more, which would stretch every 10 ms slice by 2.5 %.
thread_local int64_t wakeLatencyNs = 0;

// What the sleeps before overslept (a busy machine, a coarse timer), made up by the next ones,
// so that slice after slice the waits add up to what was asked for. Only the sleeping counts,
// never the time spent between sleeps; a stall longer than this is not made up.
thread_local int64_t oversleptNs = 0;
constexpr int64_t kLongestOversleepNs = 100 * kNanosPerMs;

}  // namespace

uint64_t MonotonicUs() {
  return static_cast<uint64_t>(NowNs() / 1000);
}

void SystemSleep(int32_t milliseconds, const WaitUntil& wait) {
  if (milliseconds <= 0) return;
  AskForPreciseWakeups();
  const int64_t deadline = NowNs() + milliseconds * kNanosPerMs - oversleptNs;
  const int64_t wakeAt = deadline - wakeLatencyNs - kSpinMarginNs;
  if (wakeAt > NowNs()) {
    if (wait) {
      while (NowNs() < wakeAt) wait(wakeAt);
    } else {
      const timespec until{static_cast<time_t>(wakeAt / 1000000000LL),
                           static_cast<long>(wakeAt % 1000000000LL)};
      while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
      }
    }
    const int64_t lateness = std::clamp<int64_t>(NowNs() - wakeAt, 0, kLongestLatencyNs);
    wakeLatencyNs = (7 * wakeLatencyNs + lateness) / 8;
  }
  while (NowNs() < deadline) {
  }
  oversleptNs = std::clamp<int64_t>(NowNs() - deadline, 0, kLongestOversleepNs);
}

void ForgetOversleep() {
  oversleptNs = 0;
}

}  // namespace glowreel
