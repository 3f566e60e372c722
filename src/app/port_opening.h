#pragma once

#include "platform/port/port.h"

namespace glowreel {

// The exit statuses of glowreel-play, as the manual page tells them; a service is restarted only
// on kPortBusy.
inline constexpr int kPlayed = 0, kFailed = 1, kWrongUse = 2, kPortBusy = 3, kOutputsFailed = 4;

// Opens the display's port as `setting` (or the default) says and installs it: 0, or the exit
// status, the failures told.
int OpenDisplayPort(PortContext& port, const char* setting);

}  // namespace glowreel
