#include "core/shared_state.h"
#include "vfd/vfd.h"

namespace glowreel {

void RefreshDisplay() {
  for (int16_t page = 0; page < kPages; ++page) {
    SetXPosition(0);
    SetYPosition(page);
    for (int x = 0; x < kPixelColumns; ++x) {
      const int16_t* rows = &pixelBuffer[x][page * kDotsPerPage];
      int16_t columnByte = 0;
      for (int k = 0; k < kDotsPerPage; ++k) {
        if (rows[k] != 0) columnByte |= static_cast<int16_t>(1 << k);
      }
      WriteData(columnByte);
    }
  }
}

}  // namespace glowreel
