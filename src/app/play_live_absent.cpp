#include <cstdio>

#include "app/play_live.h"

// A static glowreel-play, for rescue systems, plays files only: the event loop and HTTP libraries
// are not there to be linked.
namespace glowreel {

bool HasLiveDisplay() {
  return false;
}

int RunLiveDisplay(const LiveSettings&) {
  std::fputs(
      "glowreel-play: this build plays files only (no --http, --lcdproc, --mqtt or --playlist)\n",
      stderr);
  return 2;
}

}  // namespace glowreel
