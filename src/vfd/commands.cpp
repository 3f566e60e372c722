#include <string>

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

void InitDisplay(Playback& pb) {
  WriteCommand(pb, cmd::kClear);
  Sleep(kInitWaitMs);
  for (int16_t n = 0; n < cmd::kAreaCount; ++n) {
    WriteCommand(pb, cmd::kAreaSet);
    WriteCommand(pb, n);
    WriteData(pb, cmd::kAreaData);
  }
  WriteCommand(pb, cmd::kLayer0On);
  WriteCommand(pb, cmd::kGraphicsOn);
  WriteCommand(pb, cmd::kAutoIncrementX);
  pb.bDisplayReady = true;
}

void SetBrightness(Playback& pb, int16_t iLevel) {
  if (!InRange(iLevel, cmd::kMaxLevel, "An invalid brightness level was specified. [iLevel = "))
    return;
  WriteCommand(pb, cmd::kBrightnessBrightest + (cmd::kMaxLevel - iLevel));
  pb.iBrightness = iLevel;
}

void ClearDisplay(const Playback& pb) {
  WriteCommand(pb, cmd::kClear);
}

void DisplayOff(const Playback& pb) {
  WriteCommand(pb, cmd::kDisplayOff);
  WriteCommand(pb, cmd::kDisplayOffParameter);
}

void DisplayOn(const Playback& pb) {
  WriteCommand(pb, cmd::kLayer0On);
  WriteCommand(pb, cmd::kGraphicsOn);
}

void SetXPosition(const Playback& pb, int16_t iPosition) {
  if (!InRange(iPosition, cmd::kMaxX, "An invalid X write position was specified. [iPosition = "))
    return;
  WriteCommand(pb, cmd::kSetX);
  WriteCommand(pb, iPosition);
}

void SetYPosition(const Playback& pb, int16_t iPosition) {
  if (!InRange(iPosition, cmd::kMaxY, "An invalid Y write position was specified. [iPosition = "))
    return;
  WriteCommand(pb, cmd::kSetY);
  WriteCommand(pb, iPosition);
}

void ShutdownDisplay(Playback& pb) {
  if (!pb.bDisplayReady) return;
  for (int16_t level = pb.iBrightness; level >= 0; --level) {
    SetBrightness(pb, level);
    Sleep(kFadeStepMs);
  }
  DisplayOff(pb);
}

}  // namespace glowreel
