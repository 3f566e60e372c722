#pragma once

#include <string>

#include "platform/unique_fd.h"

namespace glowreel {

// A device node opened without blocking (a FIFO or a slow device named in its place would hold
// the program in open()), then made blocking again for the device's own calls. Returns the
// descriptor, or none with `error` set; a node that is no character device gives ENODEV.
UniqueFd OpenDeviceNode(const std::string& path, int flags, int& error);

// Whether `path` is a character device (following links).
bool IsCharacterDevice(const std::string& path);

}  // namespace glowreel
