#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/port/display_model.h"

namespace glowreel::test {

struct PortWrite {
  int32_t address;
  uint16_t value;
  bool operator==(const PortWrite&) const = default;
};

// Installs a sink that records every port write (and, when `failing`, throws on each).
class RecordingPort {
 public:
  explicit RecordingPort(bool failing = false);
  ~RecordingPort();

  const std::vector<PortWrite>& Writes() const { return *writes_; }
  void Clear() { writes_->clear(); }

  // The bytes the display received, decoded from the writes.
  std::vector<Transfer> Transfers(std::size_t fromWrite = 0) const;
  // The display as the writes leave it.
  DisplayModel Model() const;

 private:
  std::shared_ptr<std::vector<PortWrite>> writes_;
};

// Helpers over decoded transfers.
std::vector<uint8_t> Commands(const std::vector<Transfer>& transfers);
std::vector<uint8_t> DataBytes(const std::vector<Transfer>& transfers);
// The command bytes of the start-up (initialisation, then full brightness) and of the fade-out
// and switch-off at exit.
std::vector<uint8_t> StartUpCommands();
std::vector<uint8_t> FadeOutCommands();
inline Transfer Cmd(uint8_t byte) {
  return {false, byte};
}
inline Transfer Dat(uint8_t byte) {
  return {true, byte};
}

}  // namespace glowreel::test
