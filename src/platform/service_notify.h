#pragma once

#include <string>

// Telling systemd how the service is ($NOTIFY_SOCKET, the documented datagram protocol), written
// here rather than taken from libsystemd so that a static player, which has no libsystemd to
// link, runs under Type=notify as well. Nothing happens where systemd did not ask.
namespace glowreel {

// "READY=1", "RELOADING=1", "STOPPING=1", ...; false where it could not be sent.
bool NotifyService(const std::string& state);

// "WATCHDOG=1" when half the interval systemd set ($WATCHDOG_USEC) has passed since the last
// one; called from the pauses, so that a program stuck anywhere else is restarted.
void FeedWatchdog();

}  // namespace glowreel
