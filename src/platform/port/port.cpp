#include "platform/port/port.h"

#include <cstdlib>
#include <exception>
#include <optional>

#include "platform/port/port_config.h"
#include "platform/run_time_error.h"

namespace glowreel {

namespace {

struct PortState {
  bool configured = false;
  std::vector<std::unique_ptr<PortSink>> sinks;
  // Sinks that could not be opened, each reported on one write.
  std::vector<RunTimeError> openErrors;
};

PortState port;

void Configure() {
  const char* setting = std::getenv("GLOWREEL_PORT");
  OpenedSinks opened = OpenPortSinks(ParsePortSetting(setting ? setting : ""));
  port.sinks = std::move(opened.sinks);
  port.openErrors = std::move(opened.errors);
  port.configured = true;
}

}  // namespace

void DlPortWritePortUshort(int32_t address, int16_t value) {
  if (!port.configured) Configure();
  const auto word = static_cast<uint16_t>(value);
  std::optional<RunTimeError> failure;
  for (auto& sink : port.sinks) {
    try {
      sink->Write(address, word);
    } catch (const RunTimeError& error) {
      if (!failure) failure = error;
    }
  }
  if (!failure && !port.openErrors.empty()) {
    failure = port.openErrors.front();
    port.openErrors.erase(port.openErrors.begin());
  }
  if (failure) throw *failure;
}

void PortFlush() {
  for (auto& sink : port.sinks) sink->Flush();
}

void PortClose() {
  PortFlush();
  port = PortState{};
}

void UsePortSinks(std::vector<std::unique_ptr<PortSink>> sinks) {
  port = PortState{};
  port.sinks = std::move(sinks);
  port.configured = true;
}

}  // namespace glowreel
