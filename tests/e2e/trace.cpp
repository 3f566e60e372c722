#include "trace.h"

#include <algorithm>
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
    const int32_t address = std::stoi(match[2], nullptr, 16);
    const auto value = static_cast<uint8_t>(std::stoi(match[3], nullptr, 16));
    Transfer transfer{};
    if (address == portBase) decoder.WriteData(value);
    if (address == portBase + 2 && decoder.WriteControl(value, transfer)) {
      decoded.transfers.push_back(transfer);
      decoded.micros.push_back(std::stoll(match[1]));
    }
  }
  return decoded;
}

std::vector<Transfer> DecodedTrace::Slice(std::size_t from, std::size_t to) const {
  to = std::min(to, transfers.size());
  from = std::min(from, to);
  return std::vector<Transfer>(transfers.begin() + from, transfers.begin() + to);
}

DisplayModel DecodedTrace::ModelAfter(std::size_t count) const {
  DisplayModel model;
  for (const Transfer& t : Slice(0, count)) model.Receive(t);
  return model;
}

}  // namespace glowreel::e2e
