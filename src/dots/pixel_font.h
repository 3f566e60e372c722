#pragma once

#include <array>
#include <cstdint>

// A font of 5 x 7 dots for the display's full resolution, set on a 6 x 8 pitch: 21 characters
// across the 128 dots, 8 lines down the 64. ASCII and Latin-1; anything else shows as "?".
namespace glowreel {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphPitchX = 6;
inline constexpr int kGlyphPitchY = 8;

// A glyph's columns, left to right; bit 0 of a column is its top dot, as in the display's own
// column bytes.
using Glyph = std::array<uint8_t, kGlyphWidth>;

Glyph GlyphFor(char32_t character);

}  // namespace glowreel
