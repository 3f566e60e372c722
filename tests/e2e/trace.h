#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/port/display_model.h"

namespace glowreel::e2e {

// A port trace decoded into the bytes the display received, each with the time of its strobe.
struct TimedTransfer {
  int64_t micros;
  Transfer transfer;
};

struct DecodedTrace {
  std::vector<TimedTransfer> transfers;
  // Malformed lines; a good trace has none.
  int badLines = 0;
};

DecodedTrace DecodeTrace(const std::string& path, int32_t portBase = 888);

// The display after the first `count` transfers.
DisplayModel ModelAfter(const std::vector<TimedTransfer>& transfers, std::size_t count);

}  // namespace glowreel::e2e
