#pragma once

#include <cstdint>

#include "core/display_facts.h"

// The wire-level constants of the link and the display's command bytes. The registers' places
// are the port's: core/display_facts.h.
namespace glowreel::reg {

// Logical control values; the register receives them XOR kControlInvert.
inline constexpr int16_t kSelectData = 0x08;
inline constexpr int16_t kStrobe = 0x04;
inline constexpr int16_t kControlInvert = 0x05;  // the port inverts register bits 0 and 2

inline constexpr int16_t kByteMax = 255;

}  // namespace glowreel::reg

namespace glowreel::cmd {

inline constexpr int16_t kClear = 0x5F;
inline constexpr int16_t kAreaSet = 0x62;
inline constexpr int16_t kAreaCount = 16;
inline constexpr int16_t kAreaData = 0xFF;
inline constexpr int16_t kLayer0On = 0x24;
inline constexpr int16_t kGraphicsOn = 0x40;  // parameter of kLayer0On
inline constexpr int16_t kAutoIncrementX = 0x84;
inline constexpr int16_t kBrightnessBrightest = 0x40;  // + (15 - level)
inline constexpr int16_t kDisplayOff = 0x20;
inline constexpr int16_t kDisplayOffParameter = 0x00;
inline constexpr int16_t kSetX = 0x64;
inline constexpr int16_t kSetY = 0x60;

inline constexpr int16_t kMaxLevel = kFullBrightness;
inline constexpr int16_t kMaxX = kPixelColumns - 1;
inline constexpr int16_t kMaxY = kPages - 1;

}  // namespace glowreel::cmd
