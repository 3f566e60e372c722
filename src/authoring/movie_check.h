#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/playback.h"
#include "player/movie_file.h"

namespace glowreel {

// Something in a movie that playing it would report, or that may not be what its author meant.
struct MovieProblem {
  std::size_t line;  // the file's own line number, from 1; 0 for the whole file
  std::string text;  // the movie's own bytes in it are shown escaped where not printable
  bool reports;      // playing it shows an error box
};

using ProblemSink = std::function<void(const MovieProblem&)>;

// The kinds of problem, each told a limited number of times; the words count the rest.
enum ProblemKind {
  kMissingRows,
  kHeaderAsRow,
  kBadCells,
  kShortRow,
  kNoFit,
  kReadsAs,
  kNoPause,
  kHeaderSkipped,
  kProblemKinds
};

struct FrameProblem {
  ProblemKind kind;
  MovieProblem told;
};

// The problems of the frame whose header is line `header`, in the order of the lines; the
// duration and cells are those the frames before left, and become this frame's.
std::vector<FrameProblem> CheckFrame(const LineList& lines, std::size_t header, int32_t& duration,
                                     CellGrid& cells);

// Passes on the first `perKind` problems of each kind, then says how many more there were.
class ProblemTally {
 public:
  ProblemTally(const ProblemSink& onProblem, std::size_t perKind)
      : onProblem_(onProblem), perKind_(perKind) {}
  void Tell(const FrameProblem& problem);
  // The lines about the whole movie: no frame at all, and the problems not listed.
  void Finish(bool anyFrame);

 private:
  const ProblemSink& onProblem_;
  std::size_t perKind_;
  std::array<std::size_t, kProblemKinds> told_{};
  std::array<bool, kProblemKinds> reports_{};
};

// Reads the movie as playing would, with the player's own reading code, and tells what each
// frame will do wrong, in the order of the lines, as it goes. Of each kind of problem the first
// `perKind` are told, then how many more there were. Nothing is sent anywhere.
void CheckMovie(const std::string& path, const ProblemSink& onProblem, std::size_t perKind = 20);
// The same for a movie's lines already read.
void CheckMovieLines(const LineList& lines, const ProblemSink& onProblem, std::size_t perKind = 20);

// Text from a file as it may be shown on a terminal: printable ASCII as it is, any other byte
// as \xHH, so that no control byte reaches the terminal.
std::string Printable(std::string_view text);

}  // namespace glowreel
