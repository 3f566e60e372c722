#pragma once

#include <string>
#include <vector>

namespace glowreel {

// Runs a program found beside this one, or else on the PATH, and waits for it. Returns its
// exit status (127 when it could not be started); the last line it wrote to standard error
// goes to `lastError`.
int RunProgram(const std::vector<std::string>& arguments, std::string& lastError);

}  // namespace glowreel
