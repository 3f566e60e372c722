#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "dots/dot_frame.h"
#include "lcdproc/screens.h"

// A client's screen drawn for this display: text in the pixel font on the 21 x 8 grid, bars to
// the dot, big digits, icons as glyphs, and scrolling a dot at a time.
namespace glowreel::lcdproc {

// A stored picture's or movie's dots by its name (for pixmaps), stretched over the display's
// 128 x 64 as they show `ms` after the screen came on; none where there is no such picture.
using PictureOf = std::function<const DotFrame*(const std::string& name, int64_t ms)>;

// How often a screen with moving parts is drawn again: a scroller at speed 1 moves 48 dots a
// second, a dot every ~21 ms.
inline constexpr int kRedrawMs = 20;

// The screen as it shows `ms` after it came on.
DotFrame DrawScreen(const Screen& screen, int64_t ms, const PictureOf& pictureOf = nullptr);

// Whether anything on it moves (a scroller, a frame that scrolls, a title too long to stand, a
// stored picture, which may be a movie).
bool Moves(const Screen& screen);

}  // namespace glowreel::lcdproc
