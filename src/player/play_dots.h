#pragma once

#include "dots/dot_frame.h"
#include "player/play_movie.h"

namespace glowreel {

// Plays frames of every dot as PlayMovie plays a movie's: each one sent whole and held for its
// slices, pass after pass while Repeat is ticked, until pb.bPlaying is cleared.
void PlayDots(Playback& pb, PlayerWindow& window, DotSource& source);

}  // namespace glowreel
