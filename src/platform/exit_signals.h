#pragma once

namespace glowreel {

// SIGINT, SIGTERM and SIGHUP ask the program to end the way its Exit does. The handler only
// writes a byte to a pipe; the program watches the returned descriptor (its read end).
int InstallExitSignals();

// True once an exit signal has come; takes the pending bytes off the pipe.
bool TakeExitSignal();

}  // namespace glowreel
