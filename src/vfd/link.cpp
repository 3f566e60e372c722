#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/port/port.h"
#include "platform/report_error.h"
#include "vfd/registers.h"
#include "vfd/vfd.h"

namespace glowreel {

namespace {

[[gnu::cold, gnu::noinline]] void ShowRangeMessage(int16_t iData, const char* message) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(static_cast<uint16_t>(iData)));
  MsgBox(std::string(message) + hex + "]", "Data Error");
}

// Runs for every register write of every frame, so only the rare failure leaves the line.
inline bool ByteInRange(int16_t iData, const char* message) {
  if (iData >= 0 && iData <= reg::kByteMax) [[likely]]
    return true;
  ShowRangeMessage(iData, message);
  return false;
}

[[gnu::cold, gnu::noinline]] void ReportWriteError(const RunTimeError& error) {
  ReportError(error);
}

// One byte: select its kind, load the data register, strobe, release.
void Transfer(const Playback& pb, int16_t iData, int16_t select) {
  WriteControl(pb, select);
  try {
    DlPortWritePortUshort(pb.lPortBase + kDataRegister, iData);
  } catch (const RunTimeError& error) {
    ReportWriteError(error);
  }
  WriteControl(pb, select | reg::kStrobe);
  WriteControl(pb, select);
}

}  // namespace

void WriteControl(const Playback& pb, int16_t iData) {
  if (!ByteInRange(iData, "An invalid control command byte was specified (> 1 byte.) [iData = "))
    return;
  try {
    DlPortWritePortUshort(pb.lPortBase + kControlRegister, iData ^ reg::kControlInvert);
  } catch (const RunTimeError& error) {
    ReportWriteError(error);
  }
}

void WriteCommand(const Playback& pb, int16_t iData) {
  if (!ByteInRange(iData, "An invalid command byte was specified (> 1 byte.) [iData = ")) return;
  Transfer(pb, iData, 0);
}

void WriteData(const Playback& pb, int16_t iData) {
  if (!ByteInRange(iData, "An invalid data byte was specified (> 1 byte.) [iData = ")) return;
  Transfer(pb, iData, reg::kSelectData);
}

}  // namespace glowreel
