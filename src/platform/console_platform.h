#pragma once

#include <string>

#include "core/playback.h"
#include "platform/platform.h"

namespace glowreel {

// The platform of a program without windows: real sleeps, reports as lines on standard error,
// and an event pump that only looks for exit signals.
class ConsolePlatform : public Platform {
 public:
  ConsolePlatform(std::string programName, Playback& playback)
      : programName_(std::move(programName)), playback_(playback) {}
  void Sleep(int32_t milliseconds) override;
  // An exit signal ends playback as the window's Exit does: bPlaying False, pauses cut short.
  void DoEvents() override;
  // "<program>: <text>" with the text's line break taken out; other titles than "Error" lead.
  void MsgBox(const std::string& text, const std::string& title) override;
  void Beep() override {}

  // A reload was asked for (SIGHUP): playback has been ended for the movie to be read again.
  bool reloadWanted = false;

 private:
  std::string programName_;
  Playback& playback_;
};

}  // namespace glowreel
