// What each byte does to the display (commands unless marked data):
//
//   0x5F            clear both layers, X and Y home
//   0x62 n, data d  display area n set up; nothing visible
//   0x20-0x2F p     on/off: command bit 2 = layer 0 on, bit 3 = layer 1 on; parameter bit 6 =
//                   graphics on. Dark until the first of these.
//   0x40-0x4F       brightness: 0x40 brightest (level 15) to 0x4F dimmest (level 0)
//   0x64 x          X write position 0..127
//   0x60 y          Y page 0..15 (0-7 layer 0, 8-15 layer 1)
//   0x80-0x8F       address mode: bit 2 = X advances after each data byte
//   0x70 n, 0xB0    shifts; accepted, nothing visible
//   data d          written at (X, page Y), bit 0 the page's top row; X advances if enabled
//
// A parameter is the byte after its command, whatever its kind.
#include "platform/port/display_model.h"

namespace glowreel {

namespace {
// The display's own reading of the bytes, kept apart from the driver's constants so that the
// model, as the tests' oracle, catches a wrong one.
constexpr uint8_t kCmdClear = 0x5F;
constexpr uint8_t kCmdArea = 0x62;
constexpr uint8_t kCmdX = 0x64;
constexpr uint8_t kCmdY = 0x60;
constexpr uint8_t kCmdShift = 0x70;
constexpr uint8_t kOnOffMask = 0xF0, kOnOffBase = 0x20;
constexpr uint8_t kBrightnessMask = 0xF0, kBrightnessBase = 0x40;
constexpr uint8_t kAddressModeMask = 0xF0, kAddressModeBase = 0x80;
constexpr uint8_t kOnOffLayer0 = 0x04, kOnOffLayer1 = 0x08, kOnOffGraphics = 0x40;
constexpr uint8_t kAddressModeIncrementX = 0x04;
constexpr int kPages = 2 * DisplayModel::kPagesPerLayer;
}  // namespace

void DisplayModel::WriteRegister(int offset, uint8_t value) {
  if (offset == 0) {
    decoder_.WriteData(value);
  } else if (offset == 2) {
    Transfer transfer{};
    if (decoder_.WriteControl(value, transfer)) Receive(transfer);
  }
}

void DisplayModel::Receive(const Transfer& transfer) {
  if (expect_ != Expect::kCommand) {
    Parameter(transfer.byte);
  } else if (transfer.isData) {
    Data(transfer.byte);
  } else {
    Command(transfer.byte);
  }
}

void DisplayModel::Command(uint8_t byte) {
  if (byte == kCmdClear) {
    pages_.fill(0);
    x_ = 0;
    page_ = 0;
    ++imageVersion_;
  } else if (byte == kCmdArea) {
    expect_ = Expect::kAreaNumber;
  } else if (byte == kCmdX) {
    expect_ = Expect::kX;
  } else if (byte == kCmdY) {
    expect_ = Expect::kY;
  } else if (byte == kCmdShift) {
    expect_ = Expect::kShift;
  } else if ((byte & kOnOffMask) == kOnOffBase) {
    onOffCommand_ = byte;
    expect_ = Expect::kOnOff;
  } else if ((byte & kBrightnessMask) == kBrightnessBase) {
    brightness_ = kMaxBrightness - (byte - kBrightnessBase);
    ++lookVersion_;
  } else if ((byte & kAddressModeMask) == kAddressModeBase) {
    autoIncrement_ = (byte & kAddressModeIncrementX) != 0;
  }
}

void DisplayModel::Parameter(uint8_t byte) {
  const Expect was = expect_;
  expect_ = Expect::kCommand;
  switch (was) {
    case Expect::kAreaNumber:
      expect_ = Expect::kAreaData;
      break;
    case Expect::kOnOff: {
      const bool graphics = (byte & kOnOffGraphics) != 0;
      layerOn_[0] = graphics && (onOffCommand_ & kOnOffLayer0) != 0;
      layerOn_[1] = graphics && (onOffCommand_ & kOnOffLayer1) != 0;
      ++lookVersion_;
      ++imageVersion_;
      break;
    }
    case Expect::kX:
      x_ = byte % kWidth;
      break;
    case Expect::kY:
      page_ = byte % kPages;
      break;
    case Expect::kAreaData:
    case Expect::kShift:
    case Expect::kCommand:
      break;
  }
}

void DisplayModel::Data(uint8_t byte) {
  pages_[page_ * kWidth + x_] = byte;
  if (autoIncrement_) x_ = (x_ + 1) % kWidth;
  ++imageVersion_;
}

bool DisplayModel::Stored(int layer, int x, int y) const {
  const int page = layer * kPagesPerLayer + y / 8;
  return (pages_[page * kWidth + x] >> (y % 8)) & 1;
}

bool DisplayModel::Lit(int x, int y) const {
  return (layerOn_[0] && Stored(0, x, y)) || (layerOn_[1] && Stored(1, x, y));
}

}  // namespace glowreel
