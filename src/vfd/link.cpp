#include <cstdio>
#include <string>

#include "app/shared_state.h"
#include "platform/platform.h"
#include "platform/port/port.h"
#include "platform/report_error.h"
#include "vfd/registers.h"
#include "vfd/vfd.h"

namespace glowreel {

namespace {

bool ByteInRange(int16_t iData, const char* message) {
  if (iData >= 0 && iData <= reg::kByteMax) return true;
  char hex[8];
  std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(static_cast<uint16_t>(iData)));
  MsgBox(std::string(message) + hex + "]", "Data Error");
  return false;
}

// One byte: select its kind, load the data register, strobe, release.
void Transfer(int16_t iData, int16_t select) {
  WriteControl(select);
  try {
    DlPortWritePortUshort(lPortBase + reg::kDataOffset, iData);
  } catch (const RunTimeError& error) {
    ReportError(error);
  }
  WriteControl(select | reg::kStrobe);
  WriteControl(select);
}

}  // namespace

void WriteControl(int16_t iData) {
  if (!ByteInRange(iData, "An invalid control command byte was specified (> 1 byte.) [iData = "))
    return;
  try {
    DlPortWritePortUshort(lPortBase + reg::kControlOffset, iData ^ reg::kControlInvert);
  } catch (const RunTimeError& error) {
    ReportError(error);
  }
}

void WriteCommand(int16_t iData) {
  if (!ByteInRange(iData, "An invalid command byte was specified (> 1 byte.) [iData = ")) return;
  Transfer(iData, 0);
}

void WriteData(int16_t iData) {
  if (!ByteInRange(iData, "An invalid data byte was specified (> 1 byte.) [iData = ")) return;
  Transfer(iData, reg::kSelectData);
}

}  // namespace glowreel
