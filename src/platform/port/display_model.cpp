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

#include "core/display_facts.h"

namespace glowreel {

namespace {
// The display's own reading of the bytes, kept apart from the driver's constants so that the
// model, as the tests' oracle, catches a wrong one.
constexpr uint8_t kCmdClear = 0x5F;
constexpr uint8_t kCmdArea = 0x62;
constexpr uint8_t kCmdX = 0x64;
constexpr uint8_t kCmdY = 0x60;
constexpr uint8_t kCmdShift = 0x70;
constexpr uint8_t kCmdShiftOnce = 0xB0;
constexpr uint8_t kGroupMask = 0xF0;
constexpr uint8_t kOnOffBase = 0x20, kBrightnessBase = 0x40, kAddressModeBase = 0x80;
constexpr uint8_t kOnOffLayer0 = 0x04, kOnOffLayer1 = 0x08, kOnOffGraphics = 0x40;
constexpr uint8_t kAddressModeIncrementX = 0x04;
constexpr int kLayerPages = 2 * DisplayModel::kPagesPerLayer;
using Kind = DisplayEvent::Kind;
}  // namespace

void DisplayModel::WriteRegister(int offset, uint8_t value) {
  if (offset == kDataRegister) {
    decoder_.WriteData(value);
  } else if (offset == kControlRegister) {
    Transfer transfer{};
    if (decoder_.WriteControl(value, transfer)) Receive(transfer);
  }
}

DisplayEvent DisplayModel::Receive(const Transfer& transfer) {
  if (expect_ != Expect::kCommand) return Parameter(transfer.byte);
  return transfer.isData ? Data(transfer.byte) : Command(transfer.byte);
}

DisplayEvent DisplayModel::Command(uint8_t byte) {
  pendingCommand_ = byte;
  const uint8_t group = byte & kGroupMask;
  if (byte == kCmdClear) {
    pages_.fill(0);
    x_ = 0;
    page_ = 0;
    ++imageVersion_;
    return {Kind::kClear};
  }
  if (byte == kCmdArea)
    expect_ = Expect::kAreaNumber;
  else if (byte == kCmdX)
    expect_ = Expect::kX;
  else if (byte == kCmdY)
    expect_ = Expect::kY;
  else if (byte == kCmdShift)
    expect_ = Expect::kShift;
  else if (group == kOnOffBase)
    expect_ = Expect::kOnOff;
  else if (byte == kCmdShiftOnce)
    return {Kind::kShift, byte};
  else if (group == kBrightnessBase) {
    brightness_ = kMaxBrightness - (byte - kBrightnessBase);
    ++lookVersion_;
    return {Kind::kBrightness, static_cast<uint8_t>(brightness_)};
  } else if (group == kAddressModeBase) {
    autoIncrement_ = (byte & kAddressModeIncrementX) != 0;
    return {Kind::kAddressMode, autoIncrement_};
  } else {
    return {Kind::kUnknown, byte};
  }
  return {Kind::kPending};
}

DisplayEvent DisplayModel::Parameter(uint8_t byte) {
  const Expect was = expect_;
  expect_ = Expect::kCommand;
  switch (was) {
    case Expect::kAreaNumber:
      pendingArea_ = byte;
      expect_ = Expect::kAreaData;
      return {Kind::kPending};
    case Expect::kAreaData:
      return {Kind::kArea, pendingArea_, byte};
    case Expect::kOnOff: {
      const bool graphics = (byte & kOnOffGraphics) != 0;
      layerOn_[0] = graphics && (pendingCommand_ & kOnOffLayer0) != 0;
      layerOn_[1] = graphics && (pendingCommand_ & kOnOffLayer1) != 0;
      ++lookVersion_;
      ++imageVersion_;
      return {Kind::kOnOff, static_cast<uint8_t>(layerOn_[0] | layerOn_[1] << 1)};
    }
    case Expect::kX:
      x_ = byte % kWidth;
      return {Kind::kX, static_cast<uint8_t>(x_)};
    case Expect::kY:
      page_ = byte % kLayerPages;
      return {Kind::kPage, static_cast<uint8_t>(page_)};
    case Expect::kShift:
    case Expect::kCommand:
      break;
  }
  return {Kind::kShift, pendingCommand_, byte};
}

DisplayEvent DisplayModel::Data(uint8_t byte) {
  pages_[page_ * kWidth + x_] = byte;
  if (autoIncrement_) x_ = (x_ + 1) % kWidth;
  ++imageVersion_;
  return {Kind::kData, byte};
}

bool DisplayModel::Stored(int layer, int x, int y) const {
  const int page = layer * kPagesPerLayer + y / 8;
  return (pages_[page * kWidth + x] >> (y % 8)) & 1;
}

bool DisplayModel::Lit(int x, int y) const {
  return (layerOn_[0] && Stored(0, x, y)) || (layerOn_[1] && Stored(1, x, y));
}

}  // namespace glowreel
