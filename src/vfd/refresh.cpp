#include "core/shared_state.h"
#include "vfd/vfd.h"

namespace glowreel {

void RefreshColumns(int16_t page, int16_t first, int16_t last) {
  SetXPosition(first);
  SetYPosition(page);
  for (int x = first; x <= last; ++x) {
    const int16_t* rows = &pixelBuffer[x][page * kDotsPerPage];
    int16_t columnByte = 0;
    for (int k = 0; k < kDotsPerPage; ++k) {
      if (rows[k] != 0) columnByte |= static_cast<int16_t>(1 << k);
    }
    WriteData(columnByte);
  }
}

void RefreshDisplay() {
  for (int16_t page = 0; page < kPages; ++page) RefreshColumns(page, 0, cmd::kMaxX);
}

}  // namespace glowreel
