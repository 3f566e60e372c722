#pragma once

#include <cstdint>
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

// Holds a frame: round(duration / 10) + 1 slices of 10 ms, pumping events after each.
void Delay(int32_t duration);

}  // namespace glowreel
