#include "player/play_dots.h"

#include "vfd/vfd.h"

namespace glowreel {

void PlayDots(Playback& pb, PlayerWindow& window, DotSource& source) {
  DotFrame frame;
  while (pb.bPlaying) {
    source.Rewind();
    std::size_t shown = 0;
    while (pb.bPlaying && source.Next(frame)) {
      for (int x = 0; x < kPixelColumns; ++x)
        for (int y = 0; y < kPixelRows; ++y) pb.pixelBuffer[x][y] = frame.At(x, y) ? kLit : 0;
      RefreshDisplay(pb);
      window.FrameShown(shown++);
      Hold(pb, frame.slices);
    }
    if (const std::optional<RunTimeError> error = source.TakeError()) window.Report({*error, 0});
    window.PassEnded();
    if (!pb.bPlaying || !EndOfPass(pb, window, shown > 0)) return;
  }
}

}  // namespace glowreel
