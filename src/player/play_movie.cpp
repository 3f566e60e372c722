#include "player/play_movie.h"

#include <cmath>

#include "app/shared_state.h"
#include "platform/platform.h"
#include "platform/report_error.h"
#include "player/frame.h"
#include "player/movie_file.h"
#include "vfd/vfd.h"

namespace glowreel {

namespace {

constexpr int32_t kSliceMs = 10;
constexpr std::size_t kFrameLines = 10;  // header, eight rows, one passed-over line

PlayerWindow* playerWindow = nullptr;

// Ends the pass: returns true when playback goes on with another pass.
bool EndOfPass(bool shownFrame) {
  // One event pump per pass keeps a movie that never pauses stoppable.
  DoEvents();
  if (!bPlaying) return false;
  const bool repeat = playerWindow && playerWindow->RepeatValue() != 0;
  if (repeat && shownFrame) return true;
  bPlaying = false;
  if (playerWindow) playerWindow->SetGoCaption("&Play");
  return false;
}

}  // namespace

void SetPlayerWindow(PlayerWindow* window) {
  playerWindow = window;
}

void PlayMovie() {
  LineList lines;
  bool loaded = false;
  int32_t duration = 0;
  while (bPlaying) {
    if (!loaded) {
      lines = ReadMovieFile();
      loaded = true;
    }
    bool shownFrame = false;
    bool frameReady = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (IsFrameHeader(lines[i])) {
        ReadFrame(lines, i, duration);
        frameReady = true;
        i += kFrameLines - 1;
      }
      if (frameReady) {
        DrawFrame();
        RefreshDisplay();
        frameReady = false;
        shownFrame = true;
        Delay(duration);
      }
      if (!bPlaying) return;
    }
    if (!EndOfPass(shownFrame)) return;
  }
}

void Delay(int32_t duration) {
  const double slices = std::nearbyint(static_cast<double>(duration) / kSliceMs);
  if (slices < INT16_MIN || slices > INT16_MAX) {
    ReportError(RunTimeError(kErrOverflow));
    return;
  }
  const auto last = static_cast<int32_t>(slices);
  for (int32_t slice = 0; slice <= last; ++slice) {
    Sleep(kSliceMs);
    DoEvents();
  }
}

}  // namespace glowreel
