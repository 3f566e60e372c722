#pragma once

#include "platform/platform.h"

namespace glowreel {

// The platform of the real program: Qt's event pump, message boxes and beep.
class QtPlatform : public Platform {
 public:
  void Sleep(int32_t milliseconds) override;
  void DoEvents() override;
  void MsgBox(const std::string& text, const std::string& title) override;
  void Beep() override;
};

}  // namespace glowreel
