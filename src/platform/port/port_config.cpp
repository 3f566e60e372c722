#include "platform/port/port_config.h"

#include <sys/stat.h>

#include <map>

#include "platform/port/sinks.h"

namespace glowreel {

namespace {

std::map<std::string, SinkFactory>& Factories() {
  static std::map<std::string, SinkFactory> factories{
      {"none", [](const std::string&) { return OpenNoneSink(); }},
      {"virtual", [](const std::string&) { return OpenVirtualSink(); }},
      {"trace", [](const std::string& path) { return OpenTraceSink(path); }},
      {"ppdev",
       [](const std::string& device) {
         return OpenPpdevSink(device.empty() ? kDefaultParport : device);
       }},
      {"ioport", [](const std::string&) { return OpenIoportSink(); }},
  };
  return factories;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::unique_ptr<PortSink> OpenSink(const SinkChoice& choice) {
  const auto& factories = Factories();
  const auto found = factories.find(choice.name);
  if (found == factories.end()) {
    throw RunTimeError(kErrBadFileName, ErrorDescription(kErrBadFileName) +
                                            ": unknown port sink \"" + choice.name +
                                            "\" in GLOWREEL_PORT");
  }
  return found->second(choice.argument);
}

bool DeviceNodeExists(const char* path) {
  struct stat info {};
  return stat(path, &info) == 0;
}

}  // namespace

std::vector<SinkChoice> ParsePortSetting(const std::string& setting) {
  std::vector<SinkChoice> choices;
  std::string::size_type start = 0;
  while (start <= setting.size()) {
    auto end = setting.find(',', start);
    if (end == std::string::npos) end = setting.size();
    const std::string entry = Trim(setting.substr(start, end - start));
    const auto colon = entry.find(':');
    SinkChoice choice{entry.substr(0, colon),
                      colon == std::string::npos ? "" : entry.substr(colon + 1)};
    if (choice.name.empty()) choice.name = "auto";
    choices.push_back(choice);
    start = end + 1;
  }
  return choices;
}

void RegisterPortSink(const std::string& name, SinkFactory factory) {
  Factories()[name] = std::move(factory);
}

OpenedSinks OpenPortSinks(const std::vector<SinkChoice>& choices) {
  OpenedSinks opened;
  for (const SinkChoice& given : choices) {
    SinkChoice choice = given;
    if (choice.name == "auto") {
      choice = DeviceNodeExists(kDefaultParport) ? SinkChoice{"ppdev", kDefaultParport}
                                                 : SinkChoice{"virtual", ""};
    }
    try {
      opened.sinks.push_back(OpenSink(choice));
    } catch (const RunTimeError& error) {
      opened.errors.push_back(error);
      // A port that is there but cannot be used should still leave something to watch.
      if (given.name == "auto") opened.sinks.push_back(OpenSink({"virtual", ""}));
    }
  }
  return opened;
}

RunTimeError DeviceError(const std::string& device, const std::string& reason) {
  return RunTimeError(kErrDeviceIO, ErrorDescription(kErrDeviceIO) + ": " + device + ": " + reason);
}

}  // namespace glowreel
