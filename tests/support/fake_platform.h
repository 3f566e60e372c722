#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "player/play_movie.h"

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
  // A virtual clock that the sleeps move on: the action runs inside the sleep that reaches `ms`.
  void At(int64_t ms, std::function<void()> action) { timed_.emplace(ms, std::move(action)); }
  int64_t now = 0;  // milliseconds slept in all

  std::vector<int32_t> sleeps;
  std::vector<Box> boxes;
  int beeps = 0;
  int pumps = 0;
  std::function<void()> onPump;          // after the scheduled actions of every pump
  std::function<void(int32_t)> onSleep;  // at every sleep
  std::function<void()> onBox;           // at every message box

 private:
  std::vector<std::pair<int, std::function<void()>>> scheduled_;
  std::multimap<int64_t, std::function<void()>> timed_;
  Platform* previous_;
};

// The main window as playback sees it: Repeat as set, captions and reports ("13 at 6": the
// error's number and its line) recorded.
struct RecordingWindow : PlayerWindow {
  int RepeatValue() const override { return repeat; }
  void SetGoCaption(const std::string& caption) override { captions.push_back(caption); }
  void Report(const MovieReport& report) override {
    reports.push_back(std::to_string(report.error.Number()) + " at " + std::to_string(report.line));
  }
  int repeat = 0;
  std::vector<std::string> captions;
  std::vector<std::string> reports;
};

}  // namespace glowreel::test
