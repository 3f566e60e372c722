#pragma once

#include <cstddef>
#include <string>
#include <vector>

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

}  // namespace glowreel
