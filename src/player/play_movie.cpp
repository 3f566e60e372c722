#include "player/play_movie.h"

#include <algorithm>
#include <cmath>

#include "core/shared_state.h"
#include "platform/platform.h"
#include "platform/report_error.h"
#include "player/frame.h"
#include "player/movie_file.h"
#include "vfd/vfd.h"

namespace glowreel {

namespace {

constexpr int32_t kSliceMs = 10;

PlayerWindow* playerWindow = nullptr;

// Ends the pass: returns true when playback goes on with another one.
bool EndOfPass(bool repeatable) {
  // One event pump per pass keeps a movie that never pauses stoppable.
  DoEvents();
  if (!bPlaying) return false;
  const bool repeat = playerWindow && playerWindow->RepeatValue() != 0;
  if (repeat && repeatable) return true;
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
    const uint64_t reportsBefore = ReportCount();
    bool shownFrame = false;
    bool paused = false;
    const bool passEnded = ForEachFrame(lines, [&](std::size_t header) {
      ReadFrame(lines, header, duration);
      DrawFrame();
      RefreshDisplay();
      shownFrame = true;
      paused = Delay(duration) || paused;
      return bPlaying;
    });
    if (!passEnded) return;
    // A pass that showed nothing, or reported without ever pausing, would follow itself at
    // once for ever, its boxes leaving no moment for Stop.
    const bool reportedWithoutPause = ReportCount() != reportsBefore && !paused;
    if (!EndOfPass(shownFrame && !reportedWithoutPause)) return;
  }
}

std::optional<int32_t> SliceCount(int32_t duration) {
  const double last = std::nearbyint(static_cast<double>(duration) / kSliceMs);
  if (last < INT16_MIN || last > INT16_MAX) return std::nullopt;
  return std::max(0, static_cast<int32_t>(last) + 1);
}

bool Delay(int32_t duration) {
  const std::optional<int32_t> slices = SliceCount(duration);
  if (!slices) {
    ReportError(RunTimeError(kErrOverflow));
    return false;
  }
  for (int32_t slice = 0; slice < *slices && !bExiting; ++slice) {
    Sleep(kSliceMs);
    DoEvents();
  }
  return *slices > 0;
}

}  // namespace glowreel
