#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/display_facts.h"
#include "core/playback.h"
#include "player/movie_file.h"
#include "player/movie_report.h"

namespace glowreel {

// The main window as playback sees it: the two controls it touches at the end of a pass, and
// where reports go.
class PlayerWindow {
 public:
  virtual ~PlayerWindow() = default;
  // The Repeat check box: 0 unticked, anything else ticked.
  virtual int RepeatValue() const = 0;
  virtual void SetGoCaption(const std::string& caption) = 0;
  // Each report as it happens; the window shows it in a box.
  virtual void Report(const MovieReport& report) = 0;
  // The frame whose header is line `header` of the movie has just been sent, before its pause.
  virtual void FrameShown(std::size_t header) { (void)header; }
  // A pass through the movie has ended, or been stopped.
  virtual void PassEnded() {}
  // Asked when playback has ended: true to read the movie again and play it from its start.
  virtual bool Reload() { return false; }
};

// Plays pb.sMovieFile while pb.bPlaying stays True; returns when playback has ended. Given
// `lines`, plays them instead of reading the file.
void PlayMovie(Playback& pb, PlayerWindow& window, const LineList* lines = nullptr);

// The slices of 10 ms a frame of this duration is held: round(duration / 10) + 1, none below
// zero; empty when the rounded count does not fit 16 bits.
std::optional<int32_t> SliceCount(int32_t duration);

// The duration that holds a frame `slices` slices, as every writer of movies gives it.
inline int32_t DurationOfSlices(int32_t slices) {
  return (slices - 1) * kSliceMs;
}

// What a frame's pause came to.
enum class Pause { kMade, kNone, kOverflow };

// Holds a frame for its slices, pumping events after each; a count out of range makes no pause
// (the caller reports the overflow). Ends early once the program is exiting.
Pause Delay(const Playback& pb, int32_t duration);

// Holds a frame for this many slices, pumping events after each, until the program exits.
void Hold(const Playback& pb, int32_t slices);

// Ends a pass: true when playback goes on with another one (Repeat ticked and the pass
// `repeatable`); otherwise playing stops and Go reads "&Play" again.
bool EndOfPass(Playback& pb, PlayerWindow& window, bool repeatable);

}  // namespace glowreel
