#include "support/recording_port.h"

#include "app/shared_state.h"
#include "platform/port/port.h"
#include "platform/run_time_error.h"

namespace glowreel::test {

namespace {

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

RecordingPort::RecordingPort(bool failing) : writes_(std::make_shared<std::vector<PortWrite>>()) {
  std::vector<std::unique_ptr<PortSink>> sinks;
  sinks.push_back(std::make_unique<RecordingSink>(writes_, failing));
  UsePortSinks(std::move(sinks));
}

RecordingPort::~RecordingPort() {
  UsePortSinks({});
}

std::vector<Transfer> RecordingPort::Transfers(std::size_t fromWrite) const {
  TransferDecoder decoder;
  std::vector<Transfer> transfers;
  for (std::size_t i = fromWrite; i < writes_->size(); ++i) {
    const PortWrite& w = (*writes_)[i];
    Transfer t{};
    if (w.address == lPortBase) decoder.WriteData(static_cast<uint8_t>(w.value));
    if (w.address == lPortBase + 2 && decoder.WriteControl(static_cast<uint8_t>(w.value), t)) {
      transfers.push_back(t);
    }
  }
  return transfers;
}

DisplayModel RecordingPort::Model() const {
  DisplayModel model;
  for (const PortWrite& w : *writes_) {
    model.WriteRegister(w.address - lPortBase, static_cast<uint8_t>(w.value));
  }
  return model;
}

std::vector<uint8_t> Commands(const std::vector<Transfer>& transfers) {
  std::vector<uint8_t> bytes;
  for (const Transfer& t : transfers) {
    if (!t.isData) bytes.push_back(t.byte);
  }
  return bytes;
}

std::vector<uint8_t> DataBytes(const std::vector<Transfer>& transfers) {
  std::vector<uint8_t> bytes;
  for (const Transfer& t : transfers) {
    if (t.isData) bytes.push_back(t.byte);
  }
  return bytes;
}

std::vector<uint8_t> StartUpCommands() {
  std::vector<uint8_t> bytes = {0x5F};
  for (uint8_t n = 0; n < 16; ++n) bytes.insert(bytes.end(), {0x62, n});
  bytes.insert(bytes.end(), {0x24, 0x40, 0x84, 0x40});
  return bytes;
}

std::vector<uint8_t> FadeOutCommands() {
  std::vector<uint8_t> bytes;
  for (uint8_t b = 0x40; b <= 0x4F; ++b) bytes.push_back(b);
  bytes.insert(bytes.end(), {0x20, 0x00});
  return bytes;
}

}  // namespace glowreel::test
