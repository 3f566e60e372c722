#include "authoring/movie_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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
  const mode_t mask = umask(0);  // mkstemp makes it private; a movie is as readable as others
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const int error = done < text.size() ? (errno ? errno : EIO) : 0;
  if (close(fd) != 0 || error != 0 || rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(error ? error : errno);
    unlink(temporary.c_str());
    return reason;
  }
  return "";
}

}  // namespace glowreel
