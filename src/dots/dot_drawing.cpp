#include "dots/dot_drawing.h"

#include <algorithm>

namespace glowreel {

std::u32string DecodeUtf8(const std::string& text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t more = byte >= 0xF0 && byte < 0xF5   ? 3
                             : byte >= 0xE0 && byte < 0xF0 ? 2
                             : byte >= 0xC2 && byte < 0xE0 ? 1
                                                           : 0;
    char32_t character = byte & (0x7F >> more);
    bool wellFormed = more > 0 && i + more < text.size();
    for (std::size_t k = 1; wellFormed && k <= more; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      wellFormed = (next & 0xC0) == 0x80;
      character = (character << 6) | (next & 0x3F);
    }
    // An overlong form (a line feed in three bytes, say), a surrogate or a code past Unicode's
    // last is not well formed either.
    constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    wellFormed = wellFormed && character >= kLeast[more] && character <= 0x10FFFF &&
                 (character < 0xD800 || character > 0xDFFF);
    out += wellFormed ? character : byte;
    i += wellFormed ? 1 + more : 1;
  }
  return out;
}

void FillDots(DotFrame& frame, int left, int top, int width, int height, bool lit,
              const Clip& clip) {
  const int right = std::min({kPixelColumns, clip.right, left + width});
  const int bottom = std::min({kPixelRows, clip.bottom, top + height});
  for (int y = std::max({0, clip.top, top}); y < bottom; ++y)
    for (int x = std::max({0, clip.left, left}); x < right; ++x) frame.At(x, y) = lit;
}

void DrawGlyph(DotFrame& frame, char32_t character, int left, int top, bool lit, const Clip& clip) {
  DrawGlyph(frame, GlyphFor(character), left, top, lit, clip);
}

void DrawGlyph(DotFrame& frame, const Glyph& glyph, int left, int top, bool lit, const Clip& clip) {
  const int x0 = std::max({0, clip.left}), x1 = std::min(kPixelColumns, clip.right);
  const int y0 = std::max({0, clip.top}), y1 = std::min(kPixelRows, clip.bottom);
  for (int column = 0; column < kGlyphWidth; ++column) {
    const int x = left + column;
    if (x < x0 || x >= x1) continue;
    for (int row = 0; row < kGlyphHeight; ++row) {
      const int y = top + row;
      if (y >= y0 && y < y1 && (glyph[static_cast<std::size_t>(column)] >> row & 1))
        frame.At(x, y) = lit;
    }
  }
}

void DrawTextLine(DotFrame& frame, const std::u32string& line, int left, int top, bool lit,
                  const Clip& clip) {
  const long from = std::max(0L, (static_cast<long>(clip.left) - left) / kGlyphPitchX);
  const long to = std::min(static_cast<long>(line.size()),
                           (static_cast<long>(clip.right) - left) / kGlyphPitchX + 1);
  for (long k = from; k < to; ++k)
    DrawGlyph(frame, line[static_cast<std::size_t>(k)], left + static_cast<int>(k) * kGlyphPitchX,
              top, lit, clip);
}

}  // namespace glowreel
