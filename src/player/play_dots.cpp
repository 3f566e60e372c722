#include "player/play_dots.h"

#include "core/shared_state.h"
#include "vfd/vfd.h"

namespace glowreel {

void PlayDots(PlayerWindow& window, DotSource& source) {
  DotFrame frame;
  while (bPlaying) {
    source.Rewind();
    std::size_t shown = 0;
    while (bPlaying && source.Next(frame)) {
      for (int x = 0; x < kPixelColumns; ++x)
        for (int y = 0; y < kPixelRows; ++y) pixelBuffer[x][y] = frame.At(x, y) ? kLit : 0;
      RefreshDisplay();
      window.FrameShown(shown++);
      Hold(frame.slices);
    }
    if (const std::optional<RunTimeError> error = source.TakeError()) window.Report({*error, 0});
    window.PassEnded();
    if (!bPlaying || !EndOfPass(window, shown > 0)) return;
  }
}

}  // namespace glowreel
