#pragma once

#include <cstdint>

namespace glowreel {

// Blocks the thread for the given time, as precisely as the kernel allows, less what the sleeps
// before it overslept.
void SystemSleep(int32_t milliseconds);
// A new pause begins: what the sleeps before it overslept is no longer made up, so that no
// pause comes out shorter than asked for because the one before it ran long.
void ForgetOversleep();

}  // namespace glowreel
