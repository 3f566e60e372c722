#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/display_facts.h"
#include "dots/dot_frame.h"
#include "player/movie_file.h"
#include "player/play_movie.h"

// The display's life around playback, the same for every program that plays: brought up as the
// main window opens, cleared as a movie is loaded, faded out as the window closes.
namespace glowreel {

// The main window's opening: the port at the first parallel port's address, the display
// initialised and lit at full brightness (or, for a player asked for less, at `brightness`).
void BringDisplayUp(Playback& pb, int16_t brightness = kFullBrightness);

// What a person does in the main window, in one go: opens it, loads the movie (the display is
// cleared), plays it to its end (or until pb.bPlaying is cleared, or again and again while the
// window's Repeat is ticked), then, when `fadeOut`, closes the window: the fade-out from the
// level last set.
void PlaySession(Playback& pb, PlayerWindow& window, const std::string& movie, bool fadeOut = true,
                 int16_t brightness = kFullBrightness);

// The same for frames of every dot (text, pictures), played once.
void PlaySession(Playback& pb, PlayerWindow& window, DotSource& frames, bool fadeOut = true,
                 int16_t brightness = kFullBrightness);

// What a player shows: a movie's lines, or frames of every dot (a picture, text); or why the
// file cannot be shown.
struct Showing {
  MovieLines movie;
  std::unique_ptr<DotSource> dots;
};
using ShowingOpener = std::function<Showing()>;

// The same for what `open` gives, read again (and so perhaps of another kind) on each reload;
// where it cannot be, the report, and what played before goes on.
void PlaySession(Playback& pb, PlayerWindow& window, Showing first, const ShowingOpener& open,
                 bool fadeOut, int16_t brightness);

}  // namespace glowreel
