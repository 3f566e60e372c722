#pragma once

#include <array>
#include <cstdint>

// GPIO lines standing in for the 25-pin connector's signals. Each carries the level the PC port
// puts on its pin for the same register write, so one wiring table serves both.
namespace glowreel {

// The signals in the order a gpio setting names their lines.
enum GpioSignal : int { kD0 = 0, kStrobe = 8, kAutoFeed, kInit, kSelectIn, kGpioSignals };

// The pin levels (0 or 1) one register write sets, by signal; -1 where it sets none.
std::array<int, kGpioSignals> PinLevels(int32_t registerOffset, uint8_t value);

}  // namespace glowreel
