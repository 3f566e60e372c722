#include "platform/platform.h"

#include "platform/system_sleep.h"

namespace glowreel {

namespace {

// Used until a real platform is installed: sleeps for real and shows nothing.
class HeadlessPlatform : public Platform {
 public:
  void Sleep(int32_t milliseconds) override { SystemSleep(milliseconds); }
  void DoEvents() override {}
  void MsgBox(const std::string&, const std::string&) override {}
  void Beep() override {}
};

HeadlessPlatform headless;
Platform* current = &headless;
void (*beforeWait)() = nullptr;

}  // namespace

Platform* InstallPlatform(Platform* platform) {
  Platform* previous = current;
  current = platform ? platform : &headless;
  return previous;
}

void SetBeforeWait(void (*hook)()) {
  beforeWait = hook;
}

void Sleep(int32_t milliseconds) {
  if (beforeWait) beforeWait();
  current->Sleep(milliseconds);
}

void Idle(int32_t milliseconds) {
  if (beforeWait) beforeWait();
  current->Idle(milliseconds);
}

bool IdleWakes() {
  return current->IdleWakes();
}

void WakeIdle() {
  current->WakeIdle();
}

void PauseBegins() {
  ForgetOversleep();
}

void DoEvents() {
  current->DoEvents();
}
void MsgBox(const std::string& text, const std::string& title) {
  current->MsgBox(text, title);
}
void Beep() {
  current->Beep();
}

}  // namespace glowreel
