#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/port/display_model.h"

namespace glowreel::e2e {

// A port trace decoded into the bytes the display received, with the time of each strobe.
struct DecodedTrace {
  std::vector<Transfer> transfers;
  std::vector<int64_t> micros;
  int badLines = 0;  // a good trace has none

  // The transfers from `from` up to, not including, `to`.
  std::vector<Transfer> Slice(std::size_t from, std::size_t to) const;
  // The display after the first `count` transfers.
  DisplayModel ModelAfter(std::size_t count) const;
};

DecodedTrace DecodeTrace(const std::string& path, int32_t portBase = 888);

}  // namespace glowreel::e2e
