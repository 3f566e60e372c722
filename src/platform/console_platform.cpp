#include "platform/console_platform.h"

#include <cstdio>

#include "platform/exit_signals.h"
#include "platform/service_notify.h"
#include "platform/system_sleep.h"

namespace glowreel {

void ConsolePlatform::Sleep(int32_t milliseconds) {
  SystemSleep(milliseconds);
}

void ConsolePlatform::DoEvents() {
  FeedWatchdog();
  if (TakeReloadSignal()) {
    reloadWanted = true;
    playback_.bPlaying = false;
  }
  if (!TakeExitSignal()) return;  // bExiting keeps it
  playback_.bPlaying = false;
  playback_.bExiting = true;
}

void ConsolePlatform::MsgBox(const std::string& text, const std::string& title) {
  std::string line = text;
  for (std::string::size_type at; (at = line.find("\r\n")) != std::string::npos;) line.erase(at, 2);
  const std::string lead = title == "Error" ? "" : title + ": ";
  std::fprintf(stderr, "%s: %s%s\n", programName_.c_str(), lead.c_str(), line.c_str());
}

}  // namespace glowreel
