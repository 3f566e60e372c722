#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/picture_cells.h"

namespace glowreel {

// A frame's ten lines: "@<duration>", the eight rows of 18 "0"/"1", one empty line.
std::vector<std::string> FrameLines(int32_t duration, const Cells& cells);

// Writes the lines with CR LF line ends in place of `path`, all or nothing. Returns "" or the
// reason it failed.
std::string WriteMovieLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace glowreel
