#pragma once

#include <cstdint>

#include "vfd/registers.h"

// The display driver: the parallel-port link, the display's commands and the frame refresh.
namespace glowreel {

// Link: one byte as four register writes.
void WriteControl(int16_t iData);
void WriteCommand(int16_t iData);
void WriteData(int16_t iData);

// Command set.
void InitDisplay();
void SetBrightness(int16_t iLevel);
void ClearDisplay();
void DisplayOff();
// Lights the display again after DisplayOff, with what it holds.
void DisplayOn();
void SetXPosition(int16_t iPosition);
void SetYPosition(int16_t iPosition);
// Fades from `from` (full brightness unless a player was asked for less) down, then off.
void ShutdownDisplay(int16_t from = cmd::kMaxLevel);

// Sends the whole pixel buffer as eight pages of 128 column bytes.
void RefreshDisplay();
// Sends columns `first` to `last` of one page: the X and Y position, then their bytes.
void RefreshColumns(int16_t page, int16_t first, int16_t last);

}  // namespace glowreel
