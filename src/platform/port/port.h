#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/run_time_error.h"

// The program's one way to the hardware, and where its writes go.
//
// A port setting (GLOWREEL_PORT, or one given to PortOpen) names the sinks: entries of
// name[:argument] joined by commas. Every write goes to each sink in order. A sink that cannot
// be opened, or whose output fails, is reported once and dropped for the rest of the run.
namespace glowreel {

// One 16-bit write of value to an I/O port address. The first write opens the sinks named by
// GLOWREEL_PORT, for the port whose base lPortBase holds at that moment.
void DlPortWritePortUshort(int32_t address, int16_t value);

// Pushes buffered output out; a sink whose output fails is reported here and dropped.
void PortFlush();

// Flushes and closes every sink; the next write opens them afresh.
void PortClose();

// Opens the sinks of `setting` now, for the port at `base`, replacing any open ones. Returns the
// reports of the sinks that could not be opened; they are left out.
std::vector<RunTimeError> PortOpen(const std::string& setting, int32_t base);

// One destination of port writes: opened by its factory, written, closed by its destructor.
class PortSink {
 public:
  PortSink() = default;
  PortSink(const PortSink&) = delete;
  PortSink& operator=(const PortSink&) = delete;
  virtual ~PortSink() = default;
  // Both throw RunTimeError when the output fails.
  virtual void Write(int32_t address, uint16_t value) = 0;
  virtual void Flush() {}
};

// What a factory gets: the text after the sink's colon and the port's base address.
struct SinkOpening {
  std::string argument;
  int32_t base;
};
// Opens a sink, or throws RunTimeError naming the device and the reason.
using SinkFactory = std::function<std::unique_ptr<PortSink>(const SinkOpening&)>;

// Adds or replaces a kind of sink (the window program adds "virtual" and "png").
void RegisterPortSink(const std::string& name, SinkFactory factory);

// "Device I/O error: <device>: <reason>", number 57.
RunTimeError DeviceError(const std::string& device, const std::string& reason);

// Replaces the sinks by these. They belong to the caller (tests, benchmarks): a failing one is
// not dropped but fails every write.
void UsePortSinks(std::vector<std::unique_ptr<PortSink>> sinks);

}  // namespace glowreel
