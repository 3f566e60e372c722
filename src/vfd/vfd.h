#pragma once

#include <cstdint>

#include "core/playback.h"
#include "vfd/registers.h"

// The display driver: the parallel-port link, the display's commands and the frame refresh. Each
// procedure works on the playback it is handed: its port base, readiness and pixel buffer.
namespace glowreel {

// Link: one byte as four register writes.
void WriteControl(const Playback& pb, int16_t iData);
void WriteCommand(const Playback& pb, int16_t iData);
void WriteData(const Playback& pb, int16_t iData);

// Command set.
void InitDisplay(Playback& pb);
void SetBrightness(Playback& pb, int16_t iLevel);
void ClearDisplay(const Playback& pb);
void DisplayOff(const Playback& pb);
// Lights the display again after DisplayOff, with what it holds.
void DisplayOn(const Playback& pb);
void SetXPosition(const Playback& pb, int16_t iPosition);
void SetYPosition(const Playback& pb, int16_t iPosition);
// Fades from the level last set down, then off.
void ShutdownDisplay(Playback& pb);

// Sends the whole pixel buffer as eight pages of 128 column bytes.
void RefreshDisplay(const Playback& pb);
// Sends columns `first` to `last` of one page: the X and Y position, then their bytes.
void RefreshColumns(const Playback& pb, int16_t page, int16_t first, int16_t last);

}  // namespace glowreel
