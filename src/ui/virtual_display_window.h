#pragma once

#include <QImage>
#include <QWidget>
#include <bitset>

#include "platform/port/virtual_sink.h"

namespace glowreel {

// What the display shows at one moment.
struct DisplaySnapshot {
  std::bitset<DisplayModel::kWidth * DisplayModel::kHeight> lit;
  int brightness = DisplayModel::kMaxBrightness;
  bool on = false;

  static DisplaySnapshot Of(const DisplayModel& model);
};

// The display drawn as glowing square dots on black, dimmer for lower brightness.
QImage RenderDisplay(const DisplaySnapshot& snapshot);

// The on-screen stand-in for the display. It never takes the activation and does not keep the
// program running.
class VirtualDisplayWindow : public QWidget, public DisplayView {
  Q_OBJECT

 public:
  VirtualDisplayWindow();

  void LookChanged(const DisplayModel& model) override;
  void Settled(const DisplayModel& model) override;

  const DisplaySnapshot& Shown() const { return snapshot_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  DisplaySnapshot snapshot_;
  uint64_t imageVersion_ = ~uint64_t{0};
};

// Makes the "virtual" sink show this window, and adds the "png:DIR" sink.
void InstallDisplayWindowSinks();

}  // namespace glowreel
