#pragma once

namespace glowreel {

// SIGINT, SIGTERM and SIGHUP ask the program to end the way its Exit does. The handler only
// writes a byte to a pipe; the program watches the returned descriptor (its read end).
int InstallExitSignals();

// True when an exit signal has come since the last TakeExitSignal, which takes it.
bool ExitSignalPending();
bool TakeExitSignal();

}  // namespace glowreel
