#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace glowreel {

// The two controls of the main window that playback touches, at the end of a pass only.
class PlayerWindow {
 public:
  virtual ~PlayerWindow() = default;
  // The Repeat check box: 0 unticked, anything else ticked.
  virtual int RepeatValue() const = 0;
  virtual void SetGoCaption(const std::string& caption) = 0;
};

// The window PlayMovie reports to; none means Repeat is unticked and no caption is set.
void SetPlayerWindow(PlayerWindow* window);

// Plays sMovieFile while bPlaying stays True; returns when playback has ended.
void PlayMovie();

// The slices of 10 ms a frame of this duration is held: round(duration / 10) + 1, none below
// zero; empty when the rounded count does not fit 16 bits.
std::optional<int32_t> SliceCount(int32_t duration);

// Holds a frame for its slices, pumping events after each; an out-of-range count is reported
// and makes no pause. Ends early once the program is exiting. Returns whether it paused.
bool Delay(int32_t duration);

}  // namespace glowreel
