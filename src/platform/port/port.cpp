#include "platform/port/port.h"

#include <cstdlib>
#include <exception>
#include <optional>

#include "platform/port/port_config.h"
#include "platform/report_error.h"

namespace glowreel {

namespace {

struct PortState {
  bool configured = false;
  std::vector<std::unique_ptr<PortSink>> sinks;
  // Sinks that could not be opened, each reported on one write.
  std::vector<RunTimeError> openErrors;
};

PortState port;
// Set while exactly one sink runs and nothing waits to be reported: every frame's hot path.
PortSink* soleSink = nullptr;

void UpdateSoleSink() {
  soleSink = port.sinks.size() == 1 && port.openErrors.empty() ? port.sinks.front().get() : nullptr;
}

void Configure() {
  const char* setting = std::getenv("GLOWREEL_PORT");
  OpenedSinks opened = OpenPortSinks(ParsePortSetting(setting ? setting : ""));
  port.sinks = std::move(opened.sinks);
  port.openErrors = std::move(opened.errors);
  port.configured = true;
  UpdateSoleSink();
}

[[gnu::noinline]] void WriteToAllSinks(int32_t address, uint16_t word) {
  if (!port.configured) Configure();
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
    UpdateSoleSink();
  }
  if (failure) throw *failure;
}

}  // namespace

void DlPortWritePortUshort(int32_t address, int16_t value) {
  const auto word = static_cast<uint16_t>(value);
  if (soleSink) {
    soleSink->Write(address, word);
  } else {
    WriteToAllSinks(address, word);
  }
}

void PortFlush() {
  // A sink whose output fails is dropped like one that cannot open; the report comes after the
  // loop, since a message box processes events that may write to the port again.
  std::vector<RunTimeError> failures;
  for (auto it = port.sinks.begin(); it != port.sinks.end();) {
    try {
      (*it)->Flush();
      ++it;
    } catch (const RunTimeError& error) {
      failures.push_back(error);
      it = port.sinks.erase(it);
    }
  }
  UpdateSoleSink();
  for (const RunTimeError& error : failures) ReportError(error);
}

void PortClose() {
  PortFlush();
  port = PortState{};
  soleSink = nullptr;
}

void UsePortSinks(std::vector<std::unique_ptr<PortSink>> sinks) {
  port = PortState{};
  port.sinks = std::move(sinks);
  port.configured = true;
  UpdateSoleSink();
}

}  // namespace glowreel
