#include "player/session.h"

#include "core/shared_state.h"
#include "vfd/vfd.h"

namespace glowreel {

void BringDisplayUp(int16_t brightness) {
  lPortBase = kFirstParallelPort;
  InitDisplay();
  SetBrightness(brightness);
}

void PlaySession(PlayerWindow& window, const std::string& movie, bool fadeOut, int16_t brightness) {
  BringDisplayUp(brightness);
  sMovieFile = movie;
  ClearDisplay();
  bPlaying = true;
  PlayMovie(window);
  bPlaying = false;
  if (fadeOut) ShutdownDisplay(brightness);
}

}  // namespace glowreel
