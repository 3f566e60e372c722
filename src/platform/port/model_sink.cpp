#include "platform/port/display_model.h"

namespace glowreel {

namespace {

// Feeds the display model and tells the view what changed.
class DisplayModelSink : public PortSink {
 public:
  DisplayModelSink(std::unique_ptr<DisplayView> view, int32_t base)
      : view_(std::move(view)), base_(base) {}

  void Write(int32_t address, uint16_t value) override {
    const uint64_t look = model_.LookVersion();
    const uint64_t image = model_.ImageVersion();
    model_.WriteRegister(address - base_, static_cast<uint8_t>(value));
    if (!view_) return;
    if (model_.LookVersion() != look) view_->LookChanged(model_);
    if (model_.ImageVersion() != image && !imageChanged_) {
      imageChanged_ = true;
      view_->ImageChanged(model_);
    }
  }

  void Flush() override {
    imageChanged_ = false;
    if (view_) view_->Settled(model_);
  }

 private:
  DisplayModel model_;
  std::unique_ptr<DisplayView> view_;
  int32_t base_;
  bool imageChanged_ = false;
};

}  // namespace

std::unique_ptr<PortSink> MakeDisplayModelSink(std::unique_ptr<DisplayView> view, int32_t base) {
  return std::make_unique<DisplayModelSink>(std::move(view), base);
}

}  // namespace glowreel
