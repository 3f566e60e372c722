#include "player/play_movie.h"

#include <algorithm>
#include <cmath>

#include "platform/platform.h"
#include "player/frame.h"
#include "player/movie_file.h"
#include "vfd/vfd.h"

namespace glowreel {

namespace {

// The line a cell of row y of the frame at `header` came from: its row, or the header where
// the file ended before it.
std::size_t RowLine(const LineList& lines, std::size_t header, int y) {
  const std::size_t row = header + 1 + static_cast<std::size_t>(y);
  return lines.FileLine(row < lines.size() ? row : header);
}

}  // namespace

void PlayMovie(Playback& pb, PlayerWindow& window, const LineList* given) {
  LineList read;
  const LineList& lines = given ? *given : read;
  bool loaded = given != nullptr;
  int32_t duration = 0;
  while (pb.bPlaying) {
    if (!loaded) {
      MovieLines file = ReadMovieFile(pb.sMovieFile);
      if (file.error) window.Report({*file.error, 0});
      read = std::move(file.lines);
      loaded = true;
    }
    bool reported = false;
    bool shownFrame = false;
    bool paused = false;
    const ReportSink report = [&](const MovieReport& what) {
      reported = true;
      window.Report(what);
    };
    const bool passEnded = ForEachFrame(lines, [&](std::size_t header) {
      ReadFrame(lines, header, duration, pb.cellGrid, report);
      DrawFrame(pb, [&](int, int y) {
        report({RunTimeError(kErrTypeMismatch), RowLine(lines, header, y)});
      });
      RefreshDisplay(pb);
      window.FrameShown(header);
      shownFrame = true;
      const Pause pause = Delay(pb, duration);
      if (pause == Pause::kOverflow) report({RunTimeError(kErrOverflow), lines.FileLine(header)});
      paused = paused || pause == Pause::kMade;
      return pb.bPlaying;
    });
    window.PassEnded();
    if (!passEnded) return;
    // A pass that showed nothing, or reported without ever pausing, would follow itself at
    // once for ever, its boxes leaving no moment for Stop.
    if (!EndOfPass(pb, window, shownFrame && !(reported && !paused))) return;
  }
}

bool EndOfPass(Playback& pb, PlayerWindow& window, bool repeatable) {
  // One event pump per pass keeps a movie that never pauses stoppable.
  DoEvents();
  if (!pb.bPlaying) return false;
  if (window.RepeatValue() != 0 && repeatable) return true;
  pb.bPlaying = false;
  window.SetGoCaption("&Play");
  return false;
}

std::optional<int32_t> SliceCount(int32_t duration) {
  const double last = std::nearbyint(static_cast<double>(duration) / kSliceMs);
  if (last < INT16_MIN || last > INT16_MAX) return std::nullopt;
  return std::max(0, static_cast<int32_t>(last) + 1);
}

Pause Delay(const Playback& pb, int32_t duration) {
  const std::optional<int32_t> slices = SliceCount(duration);
  if (!slices) return Pause::kOverflow;
  Hold(pb, *slices);
  return *slices > 0 ? Pause::kMade : Pause::kNone;
}

void Hold(const Playback& pb, int32_t slices) {
  PauseBegins();
  for (int32_t slice = 0; slice < slices && !pb.bExiting; ++slice) {
    Sleep(kSliceMs);
    DoEvents();
  }
}

}  // namespace glowreel
