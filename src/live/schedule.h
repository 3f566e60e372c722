#pragma once

#include <ctime>
#include <vector>

#include "live/content.h"

namespace glowreel::live {

// Whether the window covers a minute of a weekday (0 Sunday) on the wall clock.
bool Covers(const ScheduleWindow& window, int weekday, int minute);

// The window in force at a local time: the first that covers it, or none.
const ScheduleWindow* WindowAt(const std::vector<ScheduleWindow>& schedule, const std::tm& local);

// Whether a playlist item plays under the window in force.
bool Plays(const ScheduleWindow* window, int index);

}  // namespace glowreel::live
