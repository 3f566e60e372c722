#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace glowreel {

// Runs the player's code without showing anything: its reports are kept ("13 - Type
// mismatch"), its waits cost no time. Installed for its lifetime.
class QuietPlatform : public Platform {
 public:
  QuietPlatform() : previous_(InstallPlatform(this)) {}
  ~QuietPlatform() override { InstallPlatform(previous_); }
  void Sleep(int32_t milliseconds) override {
    if (onSleep) onSleep(milliseconds);
  }
  void DoEvents() override {}
  void MsgBox(const std::string& text, const std::string&) override {
    reports.push_back(text.substr(text.find('\n') + 1));
    if (onReport) onReport(reports.back());
  }
  void Beep() override {}

  std::vector<std::string> reports;
  std::function<void(int32_t)> onSleep;
  std::function<void(const std::string&)> onReport;

 private:
  Platform* previous_;
};

}  // namespace glowreel
