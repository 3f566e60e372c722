#include "player/movie_file.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

#include "platform/whole_file.h"

namespace glowreel {

namespace {

// Reads the bytes line by line as the text reader does (a line ends at CR, optionally
// followed by LF, or at the end) and joins the lines with LF, starting the join only once the
// gathered text is non-empty. Done in place, since the gathered text never outgrows what has
// been read. Returns how many empty lines were dropped before the text began.
std::size_t GatherLines(std::string& bytes) {
  char* const data = bytes.data();
  const std::size_t size = bytes.size();
  std::size_t read = 0;
  std::size_t written = 0;
  std::size_t skipped = 0;
  while (read < size) {
    const void* cr = std::memchr(data + read, '\r', size - read);
    const std::size_t end =
        cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - data) : size;
    if (written > 0) {
      data[written++] = '\n';
    } else if (end == read) {
      ++skipped;
    }
    std::memmove(data + written, data + read, end - read);
    written += end - read;
    read = end;
    if (read < size) {
      ++read;  // the CR
      if (read < size && data[read] == '\n') ++read;
    }
  }
  bytes.resize(written);
  return skipped;
}

// Line feeds are counted eight bytes at a time: a movie's lines are too short for a library
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

LineList::LineList(std::string text, std::size_t skipped)
    : text_(std::move(text)),
      count_(text_.empty() ? 0 : CountLineFeeds(text_) + 1),
      skipped_(skipped) {}

std::string_view LineList::operator[](std::size_t i) const {
  const char* const data = text_.data();
  const std::size_t size = text_.size();
  if (i < at_ && i < at_ - i) at_ = atStart_ = 0;  // nearer the start than the last line asked
  for (; at_ > i; --at_) {
    const void* feed = atStart_ > 1 ? memrchr(data, '\n', atStart_ - 1) : nullptr;
    atStart_ = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - data) + 1 : 0;
  }
  for (; at_ < i; ++at_) {
    atStart_ =
        static_cast<std::size_t>(
            static_cast<const char*>(std::memchr(data + atStart_, '\n', size - atStart_)) - data) +
        1;
  }
  const void* feed = std::memchr(data + atStart_, '\n', size - atStart_);
  const std::size_t end =
      feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - data) : size;
  return std::string_view(data + atStart_, end - atStart_);
}

LineList SplitMovieText(std::string bytes) {
  const std::size_t skipped = GatherLines(bytes);
  return LineList(std::move(bytes), skipped);
}

MovieLines ReadMovieFile(const std::string& path) {
  try {
    std::string bytes;
    if (const int32_t error = ReadWholeFile(path, bytes); error != 0) {
      return {LineList(), RunTimeError(error)};
    }
    return {SplitMovieText(std::move(bytes)), std::nullopt};
  } catch (const std::bad_alloc&) {
    return {LineList(), RunTimeError(kErrOutOfMemory)};
  }
}

}  // namespace glowreel
