#include "authoring/movie_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/write_all.h"

namespace glowreel {

std::vector<std::string> FrameLines(int32_t duration, const Cells& cells) {
  std::vector<std::string> lines = {"@" + std::to_string(duration)};
  for (int y = 0; y < kCellRows; ++y) {
    std::string row(kCellColumns, '0');
    for (int x = 0; x < kCellColumns; ++x) row[x] = cells[x][y] ? '1' : '0';
    lines.push_back(row);
  }
  lines.emplace_back();
  return lines;
}

std::string WriteMovieLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return std::strerror(errno);
  int error = WriteAll(fd, text.data(), text.size());
  if (close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    unlink(temporary.c_str());
    return std::strerror(error);
  }
  return MoveIntoPlace(temporary, path);
}

std::string MoveIntoPlace(const std::string& temporary, const std::string& path) {
  const mode_t mask = umask(0);  // made private; what we write is as readable as other files
  umask(mask);
  if (chmod(temporary.c_str(), 0666 & ~mask) == 0 && rename(temporary.c_str(), path.c_str()) == 0)
    return "";
  const std::string reason = std::strerror(errno);
  unlink(temporary.c_str());
  return reason;
}

}  // namespace glowreel
