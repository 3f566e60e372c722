#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/picture_cells.h"

namespace glowreel {

// A frame's ten lines: "@<duration>", the eight rows of 18 "0"/"1", one empty line.
std::vector<std::string> FrameLines(int32_t duration, const Cells& cells);

// Writes the lines with CR LF line ends, through a temporary file renamed over `path`, so
// that a failure leaves nothing half written. Returns "" or the reason it failed.
std::string WriteMovieLines(const std::string& path, const std::vector<std::string>& lines);

// Renames a finished temporary file (made private) over `path`, readable as other files are.
// Returns "" or the reason; the temporary is gone either way.
std::string MoveIntoPlace(const std::string& temporary, const std::string& path);

}  // namespace glowreel
