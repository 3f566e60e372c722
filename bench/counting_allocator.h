#pragma once

#include <cstddef>

namespace glowreel::bench {

// Heap bytes in use now, and the most in use since the last ResetPeak().
std::size_t HeapInUse();
std::size_t HeapPeak();
void ResetPeak();

}  // namespace glowreel::bench
