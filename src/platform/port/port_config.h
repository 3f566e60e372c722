#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/port/port_sink.h"
#include "platform/run_time_error.h"

namespace glowreel {

// One entry of GLOWREEL_PORT: a sink name and what follows its colon.
struct SinkChoice {
  std::string name;
  std::string argument;
  bool operator==(const SinkChoice&) const = default;
};

inline constexpr const char* kDefaultParport = "/dev/parport0";

// Splits a GLOWREEL_PORT value at its commas; unset, empty or "auto" entries become "auto".
std::vector<SinkChoice> ParsePortSetting(const std::string& setting);

// Opens a sink for its argument; throws RunTimeError naming the device and the reason.
using SinkFactory = std::function<std::unique_ptr<PortSink>(const std::string& argument)>;

// Adds or replaces a sink kind (the window layer adds its own).
void RegisterPortSink(const std::string& name, SinkFactory factory);

struct OpenedSinks {
  std::vector<std::unique_ptr<PortSink>> sinks;
  std::vector<RunTimeError> errors;
};

// Opens every sink of the list; those that fail leave one error each and are left out.
OpenedSinks OpenPortSinks(const std::vector<SinkChoice>& choices);

// The error for a device that cannot be used: names the device and the reason.
RunTimeError DeviceError(const std::string& device, const std::string& reason);

}  // namespace glowreel
