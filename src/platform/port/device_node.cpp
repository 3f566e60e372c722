#include "platform/port/device_node.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace glowreel {

UniqueFd OpenDeviceNode(const std::string& path, int flags, int& error) {
  UniqueFd fd(open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (!fd || fstat(fd.get(), &info) != 0) return error = errno, UniqueFd();
  if (!S_ISCHR(info.st_mode)) return error = ENODEV, UniqueFd();
  fcntl(fd.get(), F_SETFL, fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  error = 0;
  return fd;
}

bool IsCharacterDevice(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

}  // namespace glowreel
