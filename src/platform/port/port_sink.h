#pragma once

#include <cstdint>

namespace glowreel {

// One destination of port writes. A sink is opened by its factory (which throws RunTimeError
// when it cannot be), written, and closed by its destructor.
class PortSink {
 public:
  virtual ~PortSink() = default;
  // May throw RunTimeError when the write fails.
  virtual void Write(int32_t address, uint16_t value) = 0;
  // May throw RunTimeError; the sink is then reported once and dropped.
  virtual void Flush() {}
};

}  // namespace glowreel
