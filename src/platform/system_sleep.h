#pragma once

#include <cstdint>
#include <functional>

namespace glowreel {

// CLOCK_MONOTONIC in microseconds: the clock of every wait, timer and deadline.
uint64_t MonotonicUs();

// Blocks the thread for the given time, as precisely as the kernel allows, less what the sleeps
// before it overslept.
// `wait`, where given, does the sleeping part instead of the kernel (an event loop run until
// then): it is handed CLOCK_MONOTONIC's nanoseconds to return at, and may return early.
using WaitUntil = std::function<void(int64_t monotonicNs)>;
void SystemSleep(int32_t milliseconds, const WaitUntil& wait = {});
// A new pause begins: what the sleeps before it overslept is no longer made up, so that no
// pause comes out shorter than asked for because the one before it ran long.
void ForgetOversleep();

}  // namespace glowreel
