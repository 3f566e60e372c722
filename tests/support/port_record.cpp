#include "support/port_record.h"

#include <cstdio>
#include <fstream>
#include <regex>

namespace glowreel::test {

namespace {

constexpr int32_t kBase = kFirstParallelPort;
constexpr std::size_t kDataPerLine = 16;
using Kind = DisplayEvent::Kind;

const char* const kLayers[] = {"off", "on layer0", "on layer1", "on layer0 layer1"};

std::string Describe(const DisplayEvent& e) {
  char text[40] = "";
  // clang-format off
  switch (e.kind) {
    case Kind::kClear: return "clear";
    case Kind::kArea: std::snprintf(text, sizeof text, "area %d %02X", e.a, e.b); break;
    case Kind::kOnOff: return kLayers[e.a & 3];
    case Kind::kBrightness: std::snprintf(text, sizeof text, "brightness %d", e.a); break;
    case Kind::kAddressMode: return e.a ? "x-advance on" : "x-advance off";
    case Kind::kX: std::snprintf(text, sizeof text, "x %d", e.a); break;
    case Kind::kPage: std::snprintf(text, sizeof text, "page %d", e.a); break;
    case Kind::kShift: std::snprintf(text, sizeof text, "shift %02X %02X", e.a, e.b); break;
    case Kind::kData: std::snprintf(text, sizeof text, "data %02X", e.a); break;
    case Kind::kUnknown: std::snprintf(text, sizeof text, "command %02X", e.a); break;
    case Kind::kPending: break;
  }
  // clang-format on
  return text;
}

class RecordingSink : public PortSink {
 public:
  RecordingSink(std::shared_ptr<std::vector<PortWrite>> writes, std::size_t failAt)
      : writes_(std::move(writes)), failAt_(failAt) {}
  void Write(int32_t address, uint16_t value) override {
    if (failAt_ != 0 && ++count_ >= failAt_) throw DeviceError("recorder", "failed on purpose");
    writes_->push_back({address, value});
  }

 private:
  std::shared_ptr<std::vector<PortWrite>> writes_;
  std::size_t failAt_;
  std::size_t count_ = 0;
};

}  // namespace

std::vector<std::string> Transcript(const std::vector<PortWrite>& writes, std::size_t from,
                                    const Notes& notes) {
  std::vector<std::string> lines;
  std::size_t dataOnLine = kDataPerLine;  // full: the next data byte starts a line
  auto note = notes.begin();
  DisplayModel model;
  TransferDecoder decoder;
  for (std::size_t i = 0; i <= writes.size(); ++i) {
    for (; note != notes.end() && note->first == i; ++note, dataOnLine = kDataPerLine)
      if (i >= from) lines.push_back(note->second);
    Transfer transfer{};
    if (i == writes.size()) break;
    if (writes[i].address == kBase) decoder.WriteData(static_cast<uint8_t>(writes[i].value));
    if (writes[i].address != kBase + 2 ||
        !decoder.WriteControl(static_cast<uint8_t>(writes[i].value), transfer))
      continue;
    const DisplayEvent event = model.Receive(transfer);
    if (event.kind == Kind::kPending || i < from) continue;
    const bool joins = event.kind == Kind::kData && dataOnLine < kDataPerLine;
    if (joins) lines.back() += Describe(event).substr(4);
    if (!joins) lines.push_back(Describe(event));
    dataOnLine = event.kind != Kind::kData ? kDataPerLine : joins ? dataOnLine + 1 : 1;
  }
  return lines;
}

DisplayModel ModelOf(const std::vector<PortWrite>& writes) {
  DisplayModel model;
  for (const PortWrite& w : writes)
    model.WriteRegister(w.address - kBase, static_cast<uint8_t>(w.value));
  return model;
}

std::unique_ptr<PortSink> MakeRecordingSink(std::shared_ptr<std::vector<PortWrite>> writes,
                                            std::size_t failAt) {
  return std::make_unique<RecordingSink>(std::move(writes), failAt);
}

RecordingPort::RecordingPort(std::size_t failAt)
    : writes_(std::make_shared<std::vector<PortWrite>>()), previous_(InstallPort(&context_)) {
  context_.Add(MakeRecordingSink(writes_, failAt));
}

RecordingPort::~RecordingPort() {
  InstallPort(previous_);
}

Trace ReadTrace(const std::string& path) {
  static const std::regex kLine("([0-9]+) ([0-9A-F]{4}) ([0-9A-F]{4})");
  Trace trace;
  std::ifstream in(path);
  std::smatch field;
  for (std::string line; std::getline(in, line);) {
    if (!std::regex_match(line, field, kLine)) {
      ++trace.badLines;
      continue;
    }
    trace.writes.push_back({std::stoi(field[2], nullptr, 16),
                            static_cast<uint16_t>(std::stoi(field[3], nullptr, 16))});
    trace.micros.push_back(std::stoll(field[1]));
  }
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
