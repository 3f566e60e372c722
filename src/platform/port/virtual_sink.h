#pragma once

#include <functional>
#include <memory>

#include "platform/port/display_model.h"
#include "platform/port/port_sink.h"

namespace glowreel {

// Something that shows the display model: the on-screen window, or a picture writer.
class DisplayView {
 public:
  virtual ~DisplayView() = default;
  // Brightness or on/off changed: shown at once, since no events may be processed meanwhile.
  virtual void LookChanged(const DisplayModel& model) = 0;
  // The program is about to wait; the image may have changed since the last call.
  virtual void Settled(const DisplayModel& model) = 0;
};

using DisplayViewFactory = std::function<std::unique_ptr<DisplayView>()>;

// The window layer says how the "virtual" sink shows itself; without it the model runs unseen.
void SetVirtualDisplayViewFactory(DisplayViewFactory factory);

// A sink that feeds the display model and shows it through the view (if any).
std::unique_ptr<PortSink> MakeDisplayModelSink(std::unique_ptr<DisplayView> view);

}  // namespace glowreel
