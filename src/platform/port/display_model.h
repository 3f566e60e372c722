#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/display_facts.h"
#include "platform/port/port.h"

namespace glowreel {

// Control register bits as the display sees them.
inline constexpr uint8_t kControlStrobe = 0x04;      // register bit 2: 1 at rest, 0 while strobing
inline constexpr uint8_t kControlSelectData = 0x08;  // register bit 3: 0 command, 1 data

// One byte as the display received it.
struct Transfer {
  bool isData;
  uint8_t byte;
  bool operator==(const Transfer&) const = default;
};

// Turns register writes into transfers: the data register is latched when the strobe becomes
// active, and the select bit tells a command from data.
class TransferDecoder {
 public:
  // Returns true and fills `out` when this control write completes a transfer.
  bool WriteControl(uint8_t value, Transfer& out) {
    const bool active = (value & kControlStrobe) == 0;
    const bool starts = active && !strobeActive_;
    strobeActive_ = active;
    if (!starts) return false;
    out = Transfer{(value & kControlSelectData) != 0, data_};
    return true;
  }
  void WriteData(uint8_t value) { data_ = value; }

 private:
  uint8_t data_ = 0;
  bool strobeActive_ = false;
};

// What a transfer did to the display, once its parameters are complete.
struct DisplayEvent {
  enum class Kind : uint8_t {
    kPending,      // a parameter is awaited
    kClear,        //
    kArea,         // a: area number, b: its data byte
    kOnOff,        // a: layers shown (bit 0 layer 0, bit 1 layer 1)
    kBrightness,   // a: level 0..15
    kAddressMode,  // a: 1 when X advances after each data byte
    kX,            // a: column
    kPage,         // a: page 0..15
    kShift,        // a: command, b: parameter
    kData,         // a: the byte
    kUnknown,      // a: the command byte
  };
  Kind kind;
  uint8_t a = 0;
  uint8_t b = 0;
};

// The 128 x 64 graphic display as seen from the port: two layers of 8 pages each, a write
// position, brightness and on/off.
class DisplayModel {
 public:
  static constexpr int kWidth = kPixelColumns;
  static constexpr int kHeight = kPixelRows;
  static constexpr int kPagesPerLayer = 8;
  static constexpr int kMaxBrightness = 15;

  // Register level: the offset from the port's base; other than its two registers are ignored.
  void WriteRegister(int offset, uint8_t value);
  // Byte level.
  DisplayEvent Receive(const Transfer& transfer);

  bool IsOn() const { return layerOn_[0] || layerOn_[1]; }
  int Brightness() const { return brightness_; }
  // The pixel as a viewer sees it: lit in a layer that is switched on.
  bool Lit(int x, int y) const;
  // The pixel stored in a layer, visible or not.
  bool Stored(int layer, int x, int y) const;
  // Bumped whenever the visible image may have changed, and whenever brightness or on/off did.
  uint64_t ImageVersion() const { return imageVersion_; }
  uint64_t LookVersion() const { return lookVersion_; }

 private:
  enum class Expect : uint8_t { kCommand, kAreaNumber, kAreaData, kOnOff, kX, kY, kShift };

  DisplayEvent Command(uint8_t byte);
  DisplayEvent Parameter(uint8_t byte);
  DisplayEvent Data(uint8_t byte);

  TransferDecoder decoder_;
  std::array<uint8_t, 2 * kPagesPerLayer * kWidth> pages_{};
  Expect expect_ = Expect::kCommand;
  uint8_t pendingCommand_ = 0;
  uint8_t pendingArea_ = 0;
  std::array<bool, 2> layerOn_{};
  int brightness_ = kMaxBrightness;
  int x_ = 0;
  int page_ = 0;
  bool autoIncrement_ = false;
  uint64_t imageVersion_ = 0;
  uint64_t lookVersion_ = 0;
};

// Something that shows the display model: the on-screen window, a picture writer.
class DisplayView {
 public:
  virtual ~DisplayView() = default;
  // Brightness or on/off changed: show it at once, since the fade-out processes no events.
  virtual void LookChanged(const DisplayModel&) {}
  // The image changed for the first time since the last wait: show it when control returns
  // to the event loop.
  virtual void ImageChanged(const DisplayModel&) {}
  // The program is about to wait.
  virtual void Settled(const DisplayModel&) {}
};

// A sink that feeds a display model and shows it through the view (if any).
std::unique_ptr<PortSink> MakeDisplayModelSink(std::unique_ptr<DisplayView> view, int32_t base);

}  // namespace glowreel
