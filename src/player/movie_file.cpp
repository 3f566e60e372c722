#include "player/movie_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "app/shared_state.h"
#include "platform/report_error.h"

namespace glowreel {

namespace {

int ErrorNumberFor(int errorCode) {
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

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The whole file, or the errno that stopped the reading.
int ReadWholeFile(const std::string& path, std::string& bytes) {
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return errno;
  struct stat info {};
  if (fstat(file.get(), &info) != 0) return errno;
  if (S_ISDIR(info.st_mode)) return EISDIR;
  std::size_t capacity = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 4096;
  bytes.resize(capacity);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    const ssize_t got = read(file.get(), bytes.data() + used, bytes.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  bytes.resize(used);
  return 0;
}

// Reads the bytes line by line as the text reader does (a line ends at CR, optionally
// followed by LF, or at the end) and joins the lines with LF, starting the join only once the
// gathered text is non-empty. Done in place, since the gathered text never outgrows what has
// been read.
void GatherLines(std::string& bytes) {
  char* const data = bytes.data();
  const std::size_t size = bytes.size();
  std::size_t read = 0;
  std::size_t written = 0;
  while (read < size) {
    const void* cr = std::memchr(data + read, '\r', size - read);
    const std::size_t end =
        cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - data) : size;
    if (written > 0) data[written++] = '\n';
    std::memmove(data + written, data + read, end - read);
    written += end - read;
    read = end;
    if (read < size) {
      ++read;  // the CR
      if (read < size && data[read] == '\n') ++read;
    }
  }
  bytes.resize(written);
}

// Line feeds are found eight bytes at a time: a movie's lines are too short for a library
// call per line. The mask has the top bit set in each byte that holds a line feed.
static_assert(std::endian::native == std::endian::little, "the masks count bytes from the low end");
constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;

uint64_t LineFeedMask(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  const uint64_t x = word ^ (kOnes * '\n');  // zero bytes where the line feeds are
  return ~(((x & kLow7) + kLow7) | x) & (kOnes << 7);
}

std::size_t CountLineFeeds(const std::string& text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  std::size_t count = 0;
  for (; end - p >= 8; p += 8) {
    count += static_cast<std::size_t>(((LineFeedMask(p) >> 7) * kOnes) >> 56);  // sums the bytes
  }
  for (; p < end; ++p) count += *p == '\n';
  return count;
}

}  // namespace

LineList::LineList(std::string text) : text_(std::move(text)) {
  if (text_.empty()) return;
  const char* const data = text_.data();
  const std::size_t size = text_.size();
  starts_.reserve(CountLineFeeds(text_) + 1);
  starts_.push_back(0);
  std::size_t at = 0;
  for (; size - at >= 8; at += 8) {
    for (uint64_t mask = LineFeedMask(data + at); mask != 0; mask &= mask - 1) {
      starts_.push_back(at + static_cast<std::size_t>(__builtin_ctzll(mask)) / 8 + 1);
    }
  }
  for (; at < size; ++at) {
    if (data[at] == '\n') starts_.push_back(at + 1);
  }
}

LineList SplitMovieText(std::string bytes) {
  GatherLines(bytes);
  return LineList(std::move(bytes));
}

LineList ReadMovieFile() {
  std::string bytes;
  const int errorCode = ReadWholeFile(sMovieFile, bytes);
  if (errorCode != 0) {
    ReportError(RunTimeError(ErrorNumberFor(errorCode)));
    return LineList();
  }
  return SplitMovieText(std::move(bytes));
}

}  // namespace glowreel
