#pragma once

#include <cstdint>

namespace glowreel {

// Blocks the thread for the given time, as precisely as the kernel allows, less what the sleeps
// before it overslept.
void SystemSleep(int32_t milliseconds);

}  // namespace glowreel
