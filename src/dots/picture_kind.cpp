#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "dots/picture_reader.h"
#include "platform/whole_file.h"

namespace glowreel {
namespace {

using namespace std::string_view_literals;

unsigned Le16(std::string_view head, std::size_t at) {
  if (head.size() < at + 2) return 0;
  return static_cast<unsigned char>(head[at]) | static_cast<unsigned char>(head[at + 1]) << 8;
}
uint32_t Le32(std::string_view head, std::size_t at) {
  return Le16(head, at) | static_cast<uint32_t>(Le16(head, at + 2)) << 16;
}
bool Starts(std::string_view head, std::string_view magic) {
  return head.substr(0, magic.size()) == magic;
}
// The bytes at `at`, none where the head is shorter (substr would throw).
std::string_view Part(std::string_view head, std::size_t at, std::size_t size) {
  return at < head.size() ? head.substr(at, size) : std::string_view();
}

// The logical screen, and a block (extension, image or end) right after its colour table.
bool GifHeader(std::string_view head) {
  if (!Starts(head, "GIF87a") && !Starts(head, "GIF89a")) return false;
  if (head.size() < 13 || Le16(head, 6) == 0 || Le16(head, 8) == 0) return false;
  const auto packed = static_cast<unsigned char>(head[10]);
  const std::size_t next = 13 + (packed & 0x80 ? 3u * (2u << (packed & 7)) : 0u);
  return next >= head.size() || std::strchr("!,;", head[next]) != nullptr;
}

// The file header's reserved words, an info header of a size Windows or OS/2 wrote, one
// plane, and a depth there is.
bool BmpHeader(std::string_view head) {
  if (!Starts(head, "BM") || head.size() < 30 || Le32(head, 6) != 0) return false;
  const uint32_t info = Le32(head, 14);
  constexpr uint32_t kInfoSizes[] = {12, 40, 52, 56, 64, 108, 124};
  if (std::find(std::begin(kInfoSizes), std::end(kInfoSizes), info) == std::end(kInfoSizes))
    return false;
  const unsigned planes = Le16(head, info == 12 ? 22 : 26), bpp = Le16(head, info == 12 ? 24 : 28);
  return Le32(head, 10) >= 14 + info && planes == 1 &&
         (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32);
}

// The magic, then width, height (and maxval, but for bitmaps) as whitespace-separated numbers,
// comments allowed, and a whitespace after the last.
bool PnmHeader(std::string_view head) {
  if (head.size() < 3 || head[0] != 'P' || head[1] < '1' || head[1] > '6') return false;
  const int numbers = head[1] == '1' || head[1] == '4' ? 2 : 3;
  std::size_t at = 2;
  const auto space = [&](char c) { return std::strchr(" \t\r\n\v\f", c) != nullptr && c; };
  for (int n = 0; n < numbers; ++n) {
    if (at >= head.size() || (!space(head[at]) && head[at] != '#')) return false;
    while (at < head.size() && (space(head[at]) || head[at] == '#'))
      at = head[at] == '#' ? head.find('\n', at) : at + 1;
    unsigned long value = 0;
    const std::size_t start = at;
    for (; at < head.size() && head[at] >= '0' && head[at] <= '9' && at - start < 9; ++at)
      value = value * 10 + static_cast<unsigned long>(head[at] - '0');
    // A maxval out of range is the reader's to refuse: the header is a PNM's all the same.
    if (at == start || (value == 0 && n < 2)) return false;
  }
  return at >= head.size() || space(head[at]);
}

// Pictures of formats Qt reads and glowreel-play does not.
bool OtherPicture(std::string_view head) {
  constexpr std::string_view kMagics[] = {"II*\0"sv,     "MM\0*"sv,   "\0\0\1\0"sv, "\0\0\2\0"sv,
                                          "/* XPM */"sv, "qoif"sv,    "8BPS"sv,     "<svg"sv,
                                          "<?xml"sv,     "\xFF\x0A"sv};
  if (std::any_of(std::begin(kMagics), std::end(kMagics),
                  [&](std::string_view magic) { return Starts(head, magic); }))
    return true;
  const bool webp = Starts(head, "RIFF") && Part(head, 8, 4) == "WEBP";
  const bool isoMedia = Part(head, 4, 4) == "ftyp";  // HEIF, AVIF, JPEG 2000
  const std::string_view firstLine = head.substr(0, head.find('\n'));
  const bool xbm = Starts(head, "#define ") && firstLine.find("_width ") != std::string_view::npos;
  return webp || isoMedia || xbm;
}

// A text whose lines include a frame header is a movie, whatever its first line says.
bool ReadsAsMovie(std::string_view head) {
  const bool text = std::none_of(head.begin(), head.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n';
  });
  return text && (Starts(head, "@") || head.find("\n@") != std::string_view::npos ||
                  head.find("\r@") != std::string_view::npos);
}

}  // namespace

FileKind KindOfHead(std::string_view head, std::string_view path) {
  if (path.size() >= 4 && path.substr(path.size() - 4) == ".grm") return FileKind::kMovie;
  if (ReadsAsMovie(head)) return FileKind::kMovie;
  if (GifHeader(head)) return FileKind::kGif;
  if (BmpHeader(head)) return FileKind::kBmp;
  if (PnmHeader(head)) return FileKind::kPnm;
  if (Starts(head, "\x89PNG\r\n\x1a\n")) return FileKind::kPng;
  if (Starts(head, "\xFF\xD8\xFF")) return FileKind::kJpeg;
  return OtherPicture(head) ? FileKind::kOtherPicture : FileKind::kMovie;
}

std::string ReadHead(int fd) {
  std::string head(kHeadBytes, '\0');
  ssize_t got;
  do got = pread(fd, head.data(), head.size(), 0);
  while (got < 0 && errno == EINTR);
  head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return head;
}

FileKind KindOfFile(const std::string& path) {
  UniqueFd file;
  off_t size = 0;
  // What cannot be opened is a movie: its reading says why.
  if (OpenRegularFile(path, file, size) != 0) return FileKind::kMovie;
  return KindOfHead(ReadHead(file.get()), path);
}

}  // namespace glowreel
