#pragma once

namespace glowreel {

// SIGINT, SIGTERM and SIGHUP ask the program to end the way its Exit does; a daemon may take
// SIGHUP for a reload instead. The handler only writes the signal's number to a pipe; the
// program watches the returned descriptor (its read end).
int InstallExitSignals(bool hangUpReloads = false);

// True when an exit signal has come since the last TakeExitSignal, which takes it.
bool ExitSignalPending();
bool TakeExitSignal();
// True when SIGHUP, taken for a reload, has come since the last call.
bool TakeReloadSignal();

}  // namespace glowreel
