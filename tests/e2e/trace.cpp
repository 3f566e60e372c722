#include "trace.h"

#include <fstream>
#include <regex>

namespace glowreel::e2e {

DecodedTrace DecodeTrace(const std::string& path, int32_t portBase) {
  DecodedTrace decoded;
  std::ifstream in(path);
  const std::regex format("([0-9]+) ([0-9A-F]{4}) ([0-9A-F]{4})");
  TransferDecoder decoder;
  std::string line;
  while (std::getline(in, line)) {
    std::smatch match;
    if (!std::regex_match(line, match, format)) {
      ++decoded.badLines;
      continue;
    }
    const int64_t micros = std::stoll(match[1]);
    const int32_t address = std::stoi(match[2], nullptr, 16);
    const auto value = static_cast<uint8_t>(std::stoi(match[3], nullptr, 16));
    Transfer transfer{};
    if (address == portBase) decoder.WriteData(value);
    if (address == portBase + 2 && decoder.WriteControl(value, transfer)) {
      decoded.transfers.push_back({micros, transfer});
    }
  }
  return decoded;
}

DisplayModel ModelAfter(const std::vector<TimedTransfer>& transfers, std::size_t count) {
  DisplayModel model;
  for (std::size_t i = 0; i < count && i < transfers.size(); ++i)
    model.Receive(transfers[i].transfer);
  return model;
}

}  // namespace glowreel::e2e
