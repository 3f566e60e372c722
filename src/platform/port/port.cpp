#include "platform/port/port.h"

#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <optional>

#include "core/shared_state.h"
#include "platform/port/builtin_sinks.h"
#include "platform/report_error.h"

namespace glowreel {

namespace {

struct SinkChoice {
  std::string name;
  std::string argument;
};

std::map<std::string, SinkFactory>& Factories() {
  static std::map<std::string, SinkFactory> factories{
      {"none", OpenNoneSink},
      {"trace", OpenTraceSink},
      {"ppdev", OpenPpdevSink},
      {"ioport", OpenIoportSink},
  };
  return factories;
}

struct PortState {
  bool configured = false;
  bool dropFailing = true;
  std::vector<std::unique_ptr<PortSink>> sinks;
  // Sinks that could not be opened, each reported by one write.
  std::vector<RunTimeError> pendingReports;
};

PortState port;
// Set while exactly one sink runs and nothing waits to be reported: every frame's hot path.
PortSink* soleSink = nullptr;

void UpdateSoleSink() {
  soleSink =
      port.sinks.size() == 1 && port.pendingReports.empty() ? port.sinks.front().get() : nullptr;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The entries of a setting. Empty ones are passed over; a setting without any means "auto".
std::vector<SinkChoice> ParseSetting(const std::string& setting) {
  std::vector<SinkChoice> choices;
  for (std::string::size_type start = 0; start <= setting.size();) {
    auto end = setting.find(',', start);
    if (end == std::string::npos) end = setting.size();
    const std::string entry = Trim(setting.substr(start, end - start));
    const auto colon = entry.find(':');
    if (!entry.empty()) {
      choices.push_back(
          {entry.substr(0, colon), colon == std::string::npos ? "" : entry.substr(colon + 1)});
    }
    start = end + 1;
  }
  if (choices.empty()) choices.push_back({"auto", ""});
  return choices;
}

std::unique_ptr<PortSink> Open(const SinkChoice& choice, int32_t base) {
  const auto found = Factories().find(choice.name);
  if (found == Factories().end()) {
    std::string known;
    for (const auto& [name, factory] : Factories()) known += (known.empty() ? "" : ", ") + name;
    throw RunTimeError(kErrBadFileName, ErrorDescription(kErrBadFileName) +
                                            ": unknown port sink \"" + choice.name +
                                            "\" (known: auto, " + known + ")");
  }
  return found->second({choice.argument, base});
}

// "auto" is the parallel port when there is one; otherwise, or when it cannot be opened, the
// virtual display where the program has one.
void OpenChoice(const SinkChoice& choice, int32_t base, std::vector<RunTimeError>& errors) {
  const bool isAuto = choice.name == "auto";
  const bool hasVirtual = Factories().count("virtual") != 0;
  struct stat node {};
  const bool hasParport = stat(kDefaultParport, &node) == 0;
  const SinkChoice chosen = !isAuto                     ? choice
                            : hasParport || !hasVirtual ? SinkChoice{"ppdev", kDefaultParport}
                                                        : SinkChoice{"virtual", ""};
  try {
    port.sinks.push_back(Open(chosen, base));
  } catch (const RunTimeError& error) {
    errors.push_back(error);
    if (isAuto && hasVirtual && chosen.name != "virtual")
      port.sinks.push_back(Open({"virtual", ""}, base));
  }
}

std::vector<RunTimeError> OpenSetting(const std::string& setting, int32_t base) {
  // A file-size limit then fails the write (EFBIG), reported like a full disk, instead of
  // killing the program.
  std::signal(SIGXFSZ, SIG_IGN);
  port = PortState{};
  port.configured = true;
  std::vector<RunTimeError> errors;
  for (const SinkChoice& choice : ParseSetting(setting)) OpenChoice(choice, base, errors);
  UpdateSoleSink();
  return errors;
}

void Configure() {
  const char* setting = std::getenv("GLOWREEL_PORT");
  std::vector<RunTimeError> errors = OpenSetting(setting ? setting : "", lPortBase);
  port.pendingReports = std::move(errors);
  UpdateSoleSink();
}

[[gnu::noinline]] void WriteToAllSinks(int32_t address, uint16_t word) {
  if (!port.configured) Configure();
  std::optional<RunTimeError> failure;
  for (auto it = port.sinks.begin(); it != port.sinks.end();) {
    try {
      (*it)->Write(address, word);
      ++it;
    } catch (const RunTimeError& error) {
      if (!failure) failure = error;
      it = port.dropFailing ? port.sinks.erase(it) : it + 1;
    }
  }
  if (!failure && !port.pendingReports.empty()) {
    failure = port.pendingReports.front();
    port.pendingReports.erase(port.pendingReports.begin());
  }
  UpdateSoleSink();
  if (failure) throw *failure;
}

}  // namespace

void DlPortWritePortUshort(int32_t address, int16_t value) {
  const auto word = static_cast<uint16_t>(value);
  if (!soleSink) return WriteToAllSinks(address, word);
  try {
    soleSink->Write(address, word);
  } catch (const RunTimeError&) {
    if (port.dropFailing) port.sinks.clear();
    UpdateSoleSink();
    throw;
  }
}

void PortFlush() {
  // The reports come after the loop, since a message box processes events that may write to
  // the port again.
  std::vector<RunTimeError> failures;
  for (auto it = port.sinks.begin(); it != port.sinks.end();) {
    try {
      (*it)->Flush();
      ++it;
    } catch (const RunTimeError& error) {
      failures.push_back(error);
      it = port.dropFailing ? port.sinks.erase(it) : it + 1;
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

std::vector<RunTimeError> PortOpen(const std::string& setting, int32_t base) {
  return OpenSetting(setting, base);
}

void RegisterPortSink(const std::string& name, SinkFactory factory) {
  Factories()[name] = std::move(factory);
}

RunTimeError DeviceError(const std::string& device, const std::string& reason) {
  return RunTimeError(kErrDeviceIO, ErrorDescription(kErrDeviceIO) + ": " + device + ": " + reason);
}

void UsePortSinks(std::vector<std::unique_ptr<PortSink>> sinks) {
  port = PortState{};
  port.configured = true;
  port.dropFailing = false;
  port.sinks = std::move(sinks);
  UpdateSoleSink();
}

}  // namespace glowreel
