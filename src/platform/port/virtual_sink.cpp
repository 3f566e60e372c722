#include "platform/port/virtual_sink.h"

#include "app/shared_state.h"
#include "platform/port/sinks.h"

namespace glowreel {

namespace {

DisplayViewFactory& ViewFactory() {
  static DisplayViewFactory factory;
  return factory;
}

class DisplayModelSink : public PortSink {
 public:
  explicit DisplayModelSink(std::unique_ptr<DisplayView> view) : view_(std::move(view)) {}

  void Write(int32_t address, uint16_t value) override {
    const uint64_t look = model_.LookVersion();
    model_.WriteRegister(address - lPortBase, static_cast<uint8_t>(value));
    if (view_ && model_.LookVersion() != look) view_->LookChanged(model_);
  }

  void Flush() override {
    if (view_) view_->Settled(model_);
  }

 private:
  DisplayModel model_;
  std::unique_ptr<DisplayView> view_;
};

}  // namespace

void SetVirtualDisplayViewFactory(DisplayViewFactory factory) {
  ViewFactory() = std::move(factory);
}

std::unique_ptr<PortSink> MakeDisplayModelSink(std::unique_ptr<DisplayView> view) {
  return std::make_unique<DisplayModelSink>(std::move(view));
}

std::unique_ptr<PortSink> OpenVirtualSink() {
  const DisplayViewFactory& factory = ViewFactory();
  return MakeDisplayModelSink(factory ? factory() : nullptr);
}

}  // namespace glowreel
