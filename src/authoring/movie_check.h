#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "player/movie_file.h"

namespace glowreel {

// Something in a movie that playing it would report, or that may not be what its author meant.
struct MovieProblem {
  std::size_t line;  // counted from 1; 0 for the whole file
  std::string text;
  bool reports;  // playing it shows an error box
};

// Reads the movie as playing would, with the player's own reading code, and tells what each
// frame will do wrong. Nothing is sent anywhere.
std::vector<MovieProblem> CheckMovie(const std::string& path);
// The same for a movie's lines already read.
std::vector<MovieProblem> CheckMovieLines(const LineList& lines);

}  // namespace glowreel
