#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace glowreel::test {

struct Box {
  std::string title;
  std::string text;
};

// A platform on a virtual clock: sleeps cost no time, message boxes and beeps are recorded,
// and scheduled actions run inside the event pump ("at the 3rd pump, click Stop"). Installs
// itself for its lifetime.
class FakePlatform : public Platform {
 public:
  FakePlatform() : previous_(InstallPlatform(this)) {}
  ~FakePlatform() override { InstallPlatform(previous_); }

  void Sleep(int32_t milliseconds) override;
  void DoEvents() override;
  void MsgBox(const std::string& text, const std::string& title) override;
  void Beep() override { ++beeps; }

  // Runs the action inside the n-th event pump from now on (1 = the next one).
  void AtPump(int n, std::function<void()> action) { scheduled_.push_back({pumps + n, action}); }
  // Boxes titled "Error" carrying this error number, or any number.
  int ErrorReports(int32_t number = -1) const;

  std::vector<int32_t> sleeps;
  std::vector<Box> boxes;
  int beeps = 0;
  int pumps = 0;
  std::function<void()> onPump;          // after the scheduled actions of every pump
  std::function<void(int32_t)> onSleep;  // at every sleep

 private:
  std::vector<std::pair<int, std::function<void()>>> scheduled_;
  Platform* previous_;
};

}  // namespace glowreel::test
