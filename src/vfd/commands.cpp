#include <string>

#include "core/shared_state.h"
#include "platform/platform.h"
#include "vfd/registers.h"
#include "vfd/vfd.h"

namespace glowreel {

namespace {

constexpr int32_t kInitWaitMs = 1;
constexpr int32_t kFadeStepMs = 50;

bool InRange(int16_t value, int16_t max, const char* message) {
  if (value >= 0 && value <= max) return true;
  MsgBox(std::string(message) + std::to_string(value) + "]", "Data Error");
  return false;
}

}  // namespace

void InitDisplay() {
  WriteCommand(cmd::kClear);
  Sleep(kInitWaitMs);
  for (int16_t n = 0; n < cmd::kAreaCount; ++n) {
    WriteCommand(cmd::kAreaSet);
    WriteCommand(n);
    WriteData(cmd::kAreaData);
  }
  WriteCommand(cmd::kLayer0On);
  WriteCommand(cmd::kGraphicsOn);
  WriteCommand(cmd::kAutoIncrementX);
  bDisplayReady = true;
}

void SetBrightness(int16_t iLevel) {
  if (!InRange(iLevel, cmd::kMaxLevel, "An invalid brightness level was specified. [iLevel = "))
    return;
  WriteCommand(cmd::kBrightnessBrightest + (cmd::kMaxLevel - iLevel));
}

void ClearDisplay() {
  WriteCommand(cmd::kClear);
}

void DisplayOff() {
  WriteCommand(cmd::kDisplayOff);
  WriteCommand(cmd::kDisplayOffParameter);
}

void DisplayOn() {
  WriteCommand(cmd::kLayer0On);
  WriteCommand(cmd::kGraphicsOn);
}

void SetXPosition(int16_t iPosition) {
  if (!InRange(iPosition, cmd::kMaxX, "An invalid X write position was specified. [iPosition = "))
    return;
  WriteCommand(cmd::kSetX);
  WriteCommand(iPosition);
}

void SetYPosition(int16_t iPosition) {
  if (!InRange(iPosition, cmd::kMaxY, "An invalid Y write position was specified. [iPosition = "))
    return;
  WriteCommand(cmd::kSetY);
  WriteCommand(iPosition);
}

void ShutdownDisplay(int16_t from) {
  if (!bDisplayReady) return;
  for (int16_t level = from; level >= 0; --level) {
    SetBrightness(level);
    Sleep(kFadeStepMs);
  }
  DisplayOff();
}

}  // namespace glowreel
