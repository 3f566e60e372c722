#include "core/shared_state.h"

namespace glowreel {

PixelBuffer pixelBuffer{};
CellGrid cellGrid{};
bool bPlaying = false;
std::string sMovieFile;
bool bDisplayReady = false;
int32_t lPortBase = 0;
bool bExiting = false;

void ResetSharedState() {
  pixelBuffer = PixelBuffer{};
  cellGrid = CellGrid{};
  bPlaying = false;
  sMovieFile.clear();
  bDisplayReady = false;
  lPortBase = 0;
  bExiting = false;
}

}  // namespace glowreel
