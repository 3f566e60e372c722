#pragma once

#include <cstdint>

namespace glowreel {

// Blocks the thread for at least the given time, as precisely as the kernel allows.
void SystemSleep(int32_t milliseconds);

}  // namespace glowreel
