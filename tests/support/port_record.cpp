#include "support/port_record.h"

#include <cctype>
#include <cstdio>
#include <fstream>

#include "platform/port/port.h"

namespace glowreel::test {

namespace {

constexpr int32_t kBase = 888;
constexpr std::size_t kDataPerLine = 16;
using Kind = DisplayEvent::Kind;

std::string Hex(uint8_t byte) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

std::string Describe(const DisplayEvent& e) {
  const auto n = [](uint8_t v) { return std::to_string(v); };
  switch (e.kind) {
    case Kind::kClear:
      return "clear";
    case Kind::kArea:
      return "area " + n(e.a) + " " + Hex(e.b);
    case Kind::kOnOff:
      return e.a == 0 ? "off"
                      : std::string("on") + (e.a & 1 ? " layer0" : "") + (e.a & 2 ? " layer1" : "");
    case Kind::kBrightness:
      return "brightness " + n(e.a);
    case Kind::kAddressMode:
      return e.a ? "x-advance on" : "x-advance off";
    case Kind::kX:
      return "x " + n(e.a);
    case Kind::kPage:
      return "page " + n(e.a);
    case Kind::kShift:
      return "shift " + Hex(e.a) + " " + Hex(e.b);
    case Kind::kData:
      return "data " + Hex(e.a);
    case Kind::kUnknown:
      return "command " + Hex(e.a);
    case Kind::kPending:
      break;
  }
  return "";
}

class RecordingSink : public PortSink {
 public:
  RecordingSink(std::shared_ptr<std::vector<PortWrite>> writes, bool failing)
      : writes_(std::move(writes)), failing_(failing) {}
  void Write(int32_t address, uint16_t value) override {
    writes_->push_back({address, value});
    if (failing_) throw RunTimeError(kErrDeviceIO);
  }

 private:
  std::shared_ptr<std::vector<PortWrite>> writes_;
  bool failing_;
};

}  // namespace

std::vector<std::string> Transcript(const std::vector<PortWrite>& writes, std::size_t from,
                                    const Notes& notes) {
  std::vector<std::string> lines;
  std::size_t dataOnLine = kDataPerLine;  // full: the next data byte starts a line
  auto note = notes.begin();
  const auto add = [&](const std::string& line) {
    lines.push_back(line);
    dataOnLine = kDataPerLine;
  };
  DisplayModel model;
  TransferDecoder decoder;
  for (std::size_t i = 0; i <= writes.size(); ++i) {
    for (; note != notes.end() && note->first == i; ++note)
      if (i >= from) add(note->second);
    if (i == writes.size()) break;
    const PortWrite& w = writes[i];
    Transfer transfer{};
    if (w.address == kBase) decoder.WriteData(static_cast<uint8_t>(w.value));
    if (w.address != kBase + 2 || !decoder.WriteControl(static_cast<uint8_t>(w.value), transfer))
      continue;
    const DisplayEvent event = model.Receive(transfer);
    if (event.kind == Kind::kPending || i < from) continue;
    if (event.kind == Kind::kData && dataOnLine < kDataPerLine) {
      lines.back() += " " + Hex(event.a);
      ++dataOnLine;
    } else {
      add(Describe(event));
      if (event.kind == Kind::kData) dataOnLine = 1;
    }
  }
  return lines;
}

DisplayModel ModelOf(const std::vector<PortWrite>& writes) {
  DisplayModel model;
  for (const PortWrite& w : writes)
    model.WriteRegister(w.address - kBase, static_cast<uint8_t>(w.value));
  return model;
}

RecordingPort::RecordingPort(bool failing) : writes_(std::make_shared<std::vector<PortWrite>>()) {
  std::vector<std::unique_ptr<PortSink>> sinks;
  sinks.push_back(std::make_unique<RecordingSink>(writes_, failing));
  UsePortSinks(std::move(sinks));
}

RecordingPort::~RecordingPort() {
  UsePortSinks({});
}

namespace {

// "<micros> <AAAA> <VVVV>": decimal, then two fields of exactly four upper-case hex digits.
bool ParseTraceLine(const std::string& line, Trace& trace) {
  const std::size_t n = line.size();
  const auto hex4 = [&](std::size_t at) {
    for (std::size_t k = at; k < at + 4; ++k)
      if (!std::isdigit(static_cast<unsigned char>(line[k])) && (line[k] < 'A' || line[k] > 'F'))
        return false;
    return true;
  };
  if (n < 11 || line[n - 10] != ' ' || line[n - 5] != ' ' || !hex4(n - 9) || !hex4(n - 4))
    return false;
  for (std::size_t k = 0; k < n - 10; ++k)
    if (!std::isdigit(static_cast<unsigned char>(line[k]))) return false;
  trace.micros.push_back(std::stoll(line.substr(0, n - 10)));
  trace.writes.push_back({static_cast<int32_t>(std::stoi(line.substr(n - 9, 4), nullptr, 16)),
                          static_cast<uint16_t>(std::stoi(line.substr(n - 4), nullptr, 16))});
  return true;
}

}  // namespace

Trace ReadTrace(const std::string& path) {
  Trace trace;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) trace.badLines += !ParseTraceLine(line, trace);
  return trace;
}

std::vector<std::string> Golden(const std::string& name) {
  std::ifstream in(std::string(GLOWREEL_GOLDEN_DIR) + "/" + name + ".txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Without(std::vector<std::string> lines, const std::string& prefix) {
  std::erase_if(lines, [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
  return lines;
}

}  // namespace glowreel::test
