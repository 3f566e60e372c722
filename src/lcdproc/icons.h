#pragma once

#include <optional>
#include <string>

#include "dots/pixel_font.h"

// The icons lcdproc's clients may name, drawn as glyphs of the 5 x 7 font.
namespace glowreel::lcdproc {

// The glyph of an icon by its name in the protocol (HEART_FILLED, ARROW_UP, ...); none for a
// name that is not one.
std::optional<Glyph> IconGlyph(const std::string& name);

}  // namespace glowreel::lcdproc
