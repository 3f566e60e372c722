#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "player/movie_file.h"

namespace glowreel {

// Something in a movie that playing it would report, or that may not be what its author meant.
struct MovieProblem {
  std::size_t line;  // the file's own line number, from 1; 0 for the whole file
  std::string text;
  bool reports;  // playing it shows an error box
};

using ProblemSink = std::function<void(const MovieProblem&)>;

// Reads the movie as playing would, with the player's own reading code, and tells what each
// frame will do wrong, in the order of the lines, as it goes. Nothing is sent anywhere.
void CheckMovie(const std::string& path, const ProblemSink& onProblem);
// The same for a movie's lines already read.
void CheckMovieLines(const LineList& lines, const ProblemSink& onProblem);

}  // namespace glowreel
