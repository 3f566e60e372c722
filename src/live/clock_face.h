#pragma once

#include <ctime>
#include <string>

#include "dots/dot_frame.h"

// A clock drawn for this display: the time in digits several times the 5 x 7 font's size, made
// of segments as a tube's digits are, and the date under it in the small font.
namespace glowreel::live {

// Dots across `text` in digits `height` dots tall.
int BigTextWidth(const std::string& text, int height);

// `text` in digits `height` dots tall, centred across the display, from row `top`. Characters
// other than digits, ':', '.', '-', '/' and space are drawn in the small font.
void DrawBigText(const std::string& text, int top, int height, DotFrame& frame);
// The same from column `left`.
void DrawBigTextAt(const std::string& text, int left, int top, int height, DotFrame& frame);

// The clock's face at a local time: `timeFormat` and `dateFormat` (empty for none) as strftime
// takes them.
void DrawClock(const std::string& timeFormat, const std::string& dateFormat, const std::tm& local,
               DotFrame& frame);

}  // namespace glowreel::live
