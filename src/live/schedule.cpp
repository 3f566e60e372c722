#include "live/schedule.h"

#include <algorithm>

namespace glowreel::live {

bool Covers(const ScheduleWindow& window, int weekday, int minute) {
  const auto on = [&](int day) { return window.days[static_cast<std::size_t>((day + 7) % 7)]; };
  if (window.fromMinute == window.toMinute) return on(weekday);
  if (window.fromMinute < window.toMinute)
    return on(weekday) && minute >= window.fromMinute && minute < window.toMinute;
  // Past midnight: the early hours belong to the day before.
  return (on(weekday) && minute >= window.fromMinute) ||
         (on(weekday - 1) && minute < window.toMinute);
}

const ScheduleWindow* WindowAt(const std::vector<ScheduleWindow>& schedule, const std::tm& local) {
  const int minute = local.tm_hour * 60 + local.tm_min;
  for (const ScheduleWindow& window : schedule)
    if (Covers(window, local.tm_wday, minute)) return &window;
  return nullptr;
}

bool Plays(const ScheduleWindow* window, int index) {
  if (!window || window->items.empty()) return true;
  return std::find(window->items.begin(), window->items.end(), index) != window->items.end();
}

}  // namespace glowreel::live
