#include "player/session.h"

#include "core/shared_state.h"
#include "vfd/vfd.h"

namespace glowreel {

void BringDisplayUp() {
  lPortBase = kFirstParallelPort;
  InitDisplay();
  SetBrightness(kFullBrightness);
}

void PlaySession(PlayerWindow& window, const std::string& movie, bool fadeOut) {
  BringDisplayUp();
  sMovieFile = movie;
  ClearDisplay();
  bPlaying = true;
  PlayMovie(window);
  bPlaying = false;
  if (fadeOut) ShutdownDisplay();
}

}  // namespace glowreel
