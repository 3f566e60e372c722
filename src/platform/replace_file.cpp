#include "platform/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/write_all.h"

namespace glowreel {

namespace {

// Where writing `path` really lands: the target of a symbolic link (of a chain of them).
std::string Destination(const std::string& path) {
  std::string at = path;
  for (int hops = 0; hops < 40; ++hops) {
    char link[PATH_MAX];
    const ssize_t n = readlink(at.c_str(), link, sizeof link - 1);
    if (n < 0) return at;
    link[n] = '\0';
    const auto slash = at.rfind('/');
    at = link[0] == '/' || slash == std::string::npos ? std::string(link)
                                                      : at.substr(0, slash + 1) + link;
  }
  return at;
}

mode_t UsualMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& path)
    : target_(Destination(path)), temporary_(target_ + ".XXXXXX") {
  fd_ = UniqueFd(mkostemp(temporary_.data(), O_CLOEXEC));
  if (!fd_) {
    error_ = std::strerror(errno);
    temporary_.clear();
  }
}

ReplacementFile::~ReplacementFile() {
  if (!temporary_.empty()) unlink(temporary_.c_str());
}

bool ReplacementFile::Write(const char* data, std::size_t size) {
  if (!error_.empty()) return false;
  if (const int error = WriteAll(fd_.get(), data, size); error != 0) error_ = std::strerror(error);
  return error_.empty();
}

std::string ReplacementFile::Commit() {
  if (!error_.empty()) return error_;
  struct stat old {};
  const mode_t mode = stat(target_.c_str(), &old) == 0 ? old.st_mode & 07777 : UsualMode();
  // On the disk before it takes the old one's place, and the folder's new entry after: a kiosk
  // that loses power right after a save comes back with one file or the other, never an empty
  // one.
  const int fd = fd_.release();
  if (fchmod(fd, mode) != 0 || fsync(fd) != 0 || close(fd) != 0 ||
      rename(temporary_.c_str(), target_.c_str()) != 0)
    return error_ = std::strerror(errno);
  temporary_.clear();
  const auto slash = target_.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
  if (const UniqueFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dir)
    fsync(dir.get());
  return "";
}

}  // namespace glowreel
