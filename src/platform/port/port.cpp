#include "platform/port/port.h"

#include <sys/stat.h>

#include <cstdlib>
#include <optional>

#include "core/display_facts.h"
#include "platform/platform.h"
#include "platform/port/builtin_sinks.h"
#include "platform/report_error.h"

namespace glowreel {

namespace {

struct SinkChoice {
  std::string name;
  std::string argument;
};

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
    const bool gpioLine = entry.find_first_not_of("0123456789-") == entry.npos;
    if (gpioLine && !choices.empty() && choices.back().name == "gpio" &&
        (!entry.empty() || end < setting.size())) {
      // A gpio setting's lines are joined by commas too; an empty one among them stays, to be
      // refused with the rest of the wiring.
      choices.back().argument += "," + entry;
    } else if (!entry.empty()) {
      choices.push_back(
          {entry.substr(0, colon), colon == std::string::npos ? "" : entry.substr(colon + 1)});
    }
    start = end + 1;
  }
  if (choices.empty()) choices.push_back({"auto", ""});
  return choices;
}

PortContext* installed = nullptr;

PortContext& Installed() {
  static PortContext own;
  return installed ? *installed : own;
}

}  // namespace

RunTimeError DeviceError(const std::string& device, const std::string& reason) {
  return RunTimeError(kErrDeviceIO, ErrorDescription(kErrDeviceIO) + ": " + device + ": " + reason);
}

RunTimeError SettingError(const std::string& sink, const std::string& reason) {
  return RunTimeError(kErrBadFileName,
                      ErrorDescription(kErrBadFileName) + ": " + sink + ": " + reason);
}

PortContext::PortContext()
    : kinds_{{"none", OpenNoneSink},
             {"trace", OpenTraceSink},
             {"ppdev", OpenPpdevSink},
             {"ioport", OpenIoportSink},
             {"gpio", OpenGpioSink}} {}

void PortContext::Register(const std::string& name, SinkFactory factory) {
  kinds_[name] = std::move(factory);
}

// "auto" is the parallel port when there is one; otherwise, or when it cannot be opened, the
// virtual display where the program has one.
void PortContext::OpenChoice(const std::string& name, const std::string& argument, int32_t base,
                             std::vector<RunTimeError>& errors) {
  const bool isAuto = name == "auto";
  const bool hasVirtual = kinds_.count("virtual") != 0;
  struct stat node {};
  const bool hasParport = stat(parport.c_str(), &node) == 0;
  const SinkChoice chosen = !isAuto                     ? SinkChoice{name, argument}
                            : hasParport || !hasVirtual ? SinkChoice{"ppdev", parport}
                                                        : SinkChoice{"virtual", ""};
  const auto kind = kinds_.find(chosen.name);
  if (kind == kinds_.end()) {
    std::string known;
    for (const auto& [known_name, factory] : kinds_) known += ", " + known_name;
    errors.push_back(RunTimeError(kErrBadFileName, ErrorDescription(kErrBadFileName) +
                                                       ": unknown port sink \"" + chosen.name +
                                                       "\" (known: auto" + known + ")"));
    return;
  }
  try {
    sinks_.push_back(kind->second({chosen.argument, base, Ending()}));
  } catch (const RunTimeError& error) {
    errors.push_back(error);
    if (isAuto && hasVirtual && chosen.name != "virtual")
      sinks_.push_back(kinds_.at("virtual")({"", base, Ending()}));
  }
}

std::vector<RunTimeError> PortContext::Open(const std::string& setting, int32_t base) {
  Close();
  opened_ = true;
  finished_ = false;
  SetBeforeWait(PortFlush);
  std::vector<RunTimeError> errors;
  for (const SinkChoice& choice : ParseSetting(setting))
    OpenChoice(choice.name, choice.argument, base, errors);
  UpdateSole();
  return errors;
}

void PortContext::Add(std::unique_ptr<PortSink> sink) {
  opened_ = true;
  finished_ = false;
  sinks_.push_back(std::move(sink));
  UpdateSole();
}

void PortContext::UpdateSole() {
  sole_ = sinks_.size() == 1 && unreported_.empty() ? sinks_.front().get() : nullptr;
}

void PortContext::Write(int32_t address, uint16_t value) {
  if (!sole_) return WriteToAll(address, value);
  try {
    sole_->Write(address, value);
  } catch (const RunTimeError&) {
    sinks_.clear();
    UpdateSole();
    throw;
  }
}

[[gnu::noinline]] void PortContext::WriteToAll(int32_t address, uint16_t value) {
  if (finished_) return;
  if (!opened_) {
    const char* setting = std::getenv("GLOWREEL_PORT");
    unreported_ = Open(setting ? setting : "", kFirstParallelPort);
  }
  std::optional<RunTimeError> failure;
  for (auto it = sinks_.begin(); it != sinks_.end();) {
    try {
      (*it)->Write(address, value);
      ++it;
    } catch (const RunTimeError& error) {
      if (!failure) failure = error;
      it = sinks_.erase(it);
    }
  }
  if (!failure && !unreported_.empty()) {
    failure = unreported_.front();
    unreported_.erase(unreported_.begin());
  }
  UpdateSole();
  if (failure) throw *failure;
}

std::vector<RunTimeError> PortContext::Flush() {
  std::vector<RunTimeError> failures;
  for (auto it = sinks_.begin(); it != sinks_.end();) {
    try {
      (*it)->Flush();
      ++it;
    } catch (const RunTimeError& error) {
      failures.push_back(error);
      it = sinks_.erase(it);
    }
  }
  UpdateSole();
  return failures;
}

std::vector<RunTimeError> PortContext::Close() {
  std::vector<RunTimeError> failures = Flush();
  sinks_.clear();
  unreported_.clear();
  opened_ = false;
  UpdateSole();
  return failures;
}

std::vector<RunTimeError> PortContext::Finish() {
  std::vector<RunTimeError> failures = Close();
  finished_ = true;
  return failures;
}

std::vector<std::string> ListPorts() {
  std::vector<std::string> ports = ListParallelPorts();
  for (std::string& chip : ListGpioChips()) ports.push_back(std::move(chip));
  return ports;
}

PortContext* InstallPort(PortContext* port) {
  PortContext* previous = installed;
  installed = port;
  SetBeforeWait(PortFlush);
  return previous;
}

void DlPortWritePortUshort(int32_t address, int16_t value) {
  Installed().Write(address, static_cast<uint16_t>(value));
}

// The reports come after the flush, since a message box processes events that may write to the
// port again.
void PortFlush() {
  for (const RunTimeError& failure : Installed().Flush()) ReportError(failure);
}

void PortClose() {
  for (const RunTimeError& failure : Installed().Close()) ReportError(failure);
}

void PortFinish() {
  for (const RunTimeError& failure : Installed().Finish()) ReportError(failure);
}

}  // namespace glowreel
