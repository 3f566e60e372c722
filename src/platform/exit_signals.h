#pragma once

namespace glowreel {

// SIGINT, SIGTERM and SIGHUP ask the program to end the way its Exit does. The handler only
// writes a byte to a pipe; the program watches the returned descriptor (its read end).
int InstallExitSignals();

// True once an exit signal has come; takes the pending bytes off the pipe.
bool TakeExitSignal();

// A reader gone from a pipe (SIGPIPE) or a file-size limit (SIGXFSZ) does not end the program:
// the write that meets it fails, and its output is reported and left out.
void IgnoreOutputSignals();

}  // namespace glowreel
