#pragma once

#include <cstdint>
#include <string>

namespace glowreel {

// Everything the program asks of the operating system and the window system. The real program
// installs the Qt implementation; tests install a recording fake.
class Platform {
 public:
  virtual ~Platform() = default;
  virtual void Sleep(int32_t milliseconds) = 0;
  // A wait that needs no frame's precision (a clock between its seconds, an empty display):
  // the server's platform waits in its event loop without spinning to the deadline.
  virtual void Idle(int32_t milliseconds) { Sleep(milliseconds); }
  // Whether WakeIdle ends an Idle early (the server's platform: a request ends the wait), so
  // that a display with nothing to show may wait long.
  virtual bool IdleWakes() const { return false; }
  virtual void WakeIdle() {}
  // Processes all pending window events and returns when none are left.
  virtual void DoEvents() = 0;
  // Application-modal box with the critical-stop icon and one OK button; returns when dismissed.
  virtual void MsgBox(const std::string& text, const std::string& title) = 0;
  virtual void Beep() = 0;
};

// Installs the platform the free functions below use; returns the one installed before.
Platform* InstallPlatform(Platform* platform);

// Blocks for the given time, after running the hook set before waits.
void Sleep(int32_t milliseconds);
// What runs before every wait: the port pushes its buffered output out, so that traces are
// complete at every wait.
void SetBeforeWait(void (*hook)());
// Waits as Sleep does, where a few milliseconds late do not matter.
void Idle(int32_t milliseconds);
bool IdleWakes();
// From an event's handler: the Idle under way ends after it.
void WakeIdle();
// A frame's pause begins: its slices make up their own lateness, never a pause's before.
void PauseBegins();
void DoEvents();
void MsgBox(const std::string& text, const std::string& title);
void Beep();

}  // namespace glowreel
