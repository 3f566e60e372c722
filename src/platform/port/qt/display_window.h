#pragma once

#include <QWidget>

#include "platform/port/display_model.h"

namespace glowreel {

// The on-screen stand-in for the display. It never takes the activation and does not keep the
// program running.
class VirtualDisplayWindow : public QWidget, public DisplayView {
  Q_OBJECT

 public:
  VirtualDisplayWindow();

  void LookChanged(const DisplayModel& model) override;
  void ImageChanged(const DisplayModel& model) override;
  void Settled(const DisplayModel& model) override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const DisplayModel* model_ = nullptr;
  uint64_t paintedVersion_ = 0;
};

// Adds the sinks that need the window system: "virtual" (this window) and "png:DIR".
void RegisterDisplaySinks(PortContext& port);

}  // namespace glowreel
