#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace glowreel::test {

void FakePlatform::Sleep(int32_t milliseconds) {
  now += milliseconds;
  while (!timed_.empty() && timed_.begin()->first <= now) {
    auto action = std::move(timed_.begin()->second);
    timed_.erase(timed_.begin());
    action();
  }
  if (onSleep) onSleep(milliseconds);
  sleeps.push_back(milliseconds);
}

void FakePlatform::DoEvents() {
  if (++pumps > 10'000'000) {  // a playback that cannot end fails the test instead of hanging it
    ADD_FAILURE() << "events pumped without end";
    std::abort();
  }
  // Actions may schedule more actions or pump again, so take the due ones out first.
  std::vector<std::function<void()>> due;
  std::erase_if(scheduled_, [&](auto& scheduled) {
    if (pumps < scheduled.first) return false;
    due.push_back(std::move(scheduled.second));
    return true;
  });
  for (auto& action : due) action();
  if (onPump) onPump();
}

void FakePlatform::MsgBox(const std::string& text, const std::string& title) {
  boxes.push_back({title, text});
  if (onBox) onBox();
}

}  // namespace glowreel::test
