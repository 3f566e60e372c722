#pragma once

#include "core/playback.h"
#include "platform/platform.h"

namespace glowreel {

// The platform of the real program: Qt's event pump, message boxes and beep.
class QtPlatform : public Platform {
 public:
  // Boxes stay unshown once `playback`, when given, is ending.
  explicit QtPlatform(const Playback* playback = nullptr) : playback_(playback) {}
  void Sleep(int32_t milliseconds) override;
  void DoEvents() override;
  void MsgBox(const std::string& text, const std::string& title) override;
  void Beep() override;

 private:
  const Playback* playback_;
};

}  // namespace glowreel
