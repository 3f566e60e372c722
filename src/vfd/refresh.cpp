#include "vfd/vfd.h"

namespace glowreel {

void RefreshColumns(const Playback& pb, int16_t page, int16_t first, int16_t last) {
  SetXPosition(pb, first);
  SetYPosition(pb, page);
  for (int x = first; x <= last; ++x) {
    const int16_t* rows = &pb.pixelBuffer[x][page * kDotsPerPage];
    int16_t columnByte = 0;
    for (int k = 0; k < kDotsPerPage; ++k) {
      if (rows[k] != 0) columnByte |= static_cast<int16_t>(1 << k);
    }
    WriteData(pb, columnByte);
  }
}

void RefreshDisplay(const Playback& pb) {
  for (int16_t page = 0; page < kPages; ++page) RefreshColumns(pb, page, 0, cmd::kMaxX);
}

}  // namespace glowreel
