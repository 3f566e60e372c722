#pragma once

#include <string>

#include "dots/dot_frame.h"
#include "dots/pixel_font.h"

// Drawing on a frame of every dot; what falls outside the display, or the clip given, is left
// out.
namespace glowreel {

// A rectangle of dots, its right and bottom edges outside it.
struct Clip {
  int left = 0, top = 0, right = kPixelColumns, bottom = kPixelRows;
};

// UTF-8 into characters; a byte that starts no well-formed character stands for itself, as in
// Latin-1, so text from an older terminal still shows.
std::u32string DecodeUtf8(const std::string& text);

void FillDots(DotFrame& frame, int left, int top, int width, int height, bool lit = true,
              const Clip& clip = {});

// A glyph, or a character of the 5 x 7 font, with its top left dot at (left, top).
void DrawGlyph(DotFrame& frame, const Glyph& glyph, int left, int top, bool lit = true,
               const Clip& clip = {});
void DrawGlyph(DotFrame& frame, char32_t character, int left, int top, bool lit = true,
               const Clip& clip = {});

// A line of them on the font's 6-dot pitch; only the characters that reach the clip are drawn,
// so a long marquee costs the same at every step.
void DrawTextLine(DotFrame& frame, const std::u32string& line, int left, int top, bool lit = true,
                  const Clip& clip = {});

}  // namespace glowreel
