#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/unique_fd.h"

namespace glowreel {

namespace {

int32_t ErrorNumberFor(int errorCode) {
  switch (errorCode) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
      return kErrFileNotFound;
    case EACCES:
    case EPERM:
      return kErrPermissionDenied;
    default:
      return kErrPathFileAccess;
  }
}

}  // namespace

int32_t OpenRegularFile(const std::string& path, UniqueFd& file, off_t& size) {
  file = UniqueFd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!file) return ErrorNumberFor(errno);
  struct stat info {};
  if (fstat(file.get(), &info) != 0) return ErrorNumberFor(errno);
  if (!S_ISREG(info.st_mode)) return kErrPathFileAccess;
  if (info.st_size > kLargestWholeFile) return kErrOutOfMemory;
  size = info.st_size;
  return 0;
}

int32_t ReadRest(int fd, off_t size, std::string& bytes) {
  bytes.resize(static_cast<std::size_t>(size) + 1);  // one more byte sees a growing file
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) {
      if (used > static_cast<std::size_t>(kLargestWholeFile)) return kErrOutOfMemory;
      bytes.resize(bytes.size() * 2);
    }
    const ssize_t got = read(fd, bytes.data() + used, bytes.size() - used);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return ErrorNumberFor(errno);
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  bytes.resize(used);
  return 0;
}

int32_t ReadWholeFile(const std::string& path, std::string& bytes) {
  UniqueFd file;
  off_t size = 0;
  if (const int32_t error = OpenRegularFile(path, file, size); error != 0) return error;
  return ReadRest(file.get(), size, bytes);
}

}  // namespace glowreel
