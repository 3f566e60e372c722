#pragma once

#include <cstdint>

// The facts of the display, its port and its pacing that every layer shares; nothing else
// spells them.
namespace glowreel {

// The display's dots, and the 8 x 8-dot pages a column byte fills (bit 0 the top dot).
inline constexpr int kPixelColumns = 128;
inline constexpr int kPixelRows = 64;
inline constexpr int kDotsPerPage = 8;
inline constexpr int kPages = kPixelRows / kDotsPerPage;

// A movie's cells: 18 x 8, each a 6 x 7 block of dots on a 7 x 8 pitch, covering 126 x 64 dots.
inline constexpr int kCellColumns = 18;
inline constexpr int kCellRows = 8;
inline constexpr int kCellPitchX = 7;
inline constexpr int kCellPitchY = 8;
inline constexpr int kBlockWidth = 6;
inline constexpr int kBlockHeight = 7;
inline constexpr int kCellAreaWidth = kCellColumns * kCellPitchX;
inline constexpr int kCellAreaHeight = kCellRows * kCellPitchY;

// The first parallel port (0x378): its data register, and its control register two above.
inline constexpr int32_t kFirstParallelPort = 888;
inline constexpr int32_t kDataRegister = 0;
inline constexpr int32_t kControlRegister = 2;

inline constexpr int16_t kFullBrightness = 15;

// Frames are held in slices of this many milliseconds, round(duration / slice) + 1 of them, and
// the count must fit 16 bits: 32767 slices, which the longest duration still rounds to.
inline constexpr int32_t kSliceMs = 10;
inline constexpr int32_t kLongestSlices = 32767;
inline constexpr int32_t kLongestPauseMs = kLongestSlices * kSliceMs + kSliceMs / 2 - 1;
inline constexpr int32_t kMostNegativeMs = -(kLongestSlices + 1) * kSliceMs - kSliceMs / 2;
static_assert(kLongestPauseMs == 327674 && kMostNegativeMs == -327685);

}  // namespace glowreel
