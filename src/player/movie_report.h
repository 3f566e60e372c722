#pragma once

#include <cstddef>
#include <functional>

#include "platform/run_time_error.h"

namespace glowreel {

// A run-time error that reading or playing a movie met, and the movie line that caused it.
struct MovieReport {
  RunTimeError error;
  std::size_t line = 0;  // the file's own line number, from 1; 0 when no one line caused it
};

// Where reports go as they happen: the window shows a box, glowreel-play writes a line, the
// checker and the editor keep them.
using ReportSink = std::function<void(const MovieReport&)>;

}  // namespace glowreel
