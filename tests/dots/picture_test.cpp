// Pictures as glowreel-play reads them: which files are pictures at all, and each format's
// variants decoded to the same pattern.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "dots/picture_reader.h"

namespace glowreel {
namespace {

using namespace std::string_literals;
using Bytes = std::string;

// The picture in the file, written to memory, read as glowreel-play reads it; each pixel as
// '#' (dark) or '.' (light), rows joined by '/'; or the reader's error.
std::string Read(const Bytes& file, std::vector<std::string>* frames = nullptr) {
  const int fd = memfd_create("picture", 0);
  if (write(fd, file.data(), file.size()) != static_cast<ssize_t>(file.size())) return "write";
  RunTimeError why(0);
  std::unique_ptr<PictureReader> reader = OpenPicture("/proc/self/fd/" + std::to_string(fd), why);
  close(fd);
  if (!reader) return why.Description();
  std::string shown;
  GreyPicture picture;
  for (int delay = 0; reader->Next(picture, delay);) {
    shown.clear();
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x)
        shown += picture.opacity[y * picture.width + x] == 0       ? ' '
                 : picture.brightness[y * picture.width + x] < 128 ? '#'
                                                                   : '.';
      if (y + 1 < picture.height) shown += '/';
    }
    if (frames) frames->push_back(shown);
  }
  return reader->Error() ? reader->Error()->Description() : shown;
}

Bytes Le(uint64_t value, int size) {
  Bytes out;
  for (int k = 0; k < size; ++k) out += static_cast<char>(value >> (8 * k) & 255);
  return out;
}

// A Windows bitmap of the 4 x 2 pattern ".#.#" over "##..": its header, then `tail` (palette,
// masks and pixels), with `info` bytes of info header.
Bytes Bmp(int bpp, uint32_t compression, const Bytes& tail, int colours = 0, uint32_t info = 40) {
  Bytes header = "BM" + Le(54 + static_cast<uint32_t>(tail.size()), 4) + Le(0, 4);
  const uint32_t table = colours * (info == 12 ? 3 : 4) + (compression == 3 ? 12 : 0);
  header += Le(14 + info + table, 4) + Le(info, 4);
  if (info == 12) return header + Le(4, 2) + Le(2, 2) + Le(1, 2) + Le(bpp, 2) + tail;
  header += Le(4, 4) + Le(2, 4) + Le(1, 2) + Le(bpp, 2) + Le(compression, 4) + Le(0, 4);
  return header + Le(2835, 4) + Le(2835, 4) + Le(colours, 4) + Le(0, 4) + tail;
}

const Bytes kBlackWhite = Le(0, 4) + Le(0xFFFFFF, 4);  // palette: 0 black, 1 white
constexpr const char* kPattern = ".#.#/##..";

struct Case {
  const char* name;
  Bytes file;
  std::string shown;
};

TEST(Pictures, EachFormatsVariantsShowTheSamePattern) {
  const Case cases[] = {
      // Rows bottom-up, each padded to four bytes.
      {"BMP 1 bit", Bmp(1, 0, kBlackWhite + Le(0x30, 4) + Le(0xA0, 4), 2), kPattern},
      {"BMP 4 bits", Bmp(4, 0, kBlackWhite + Le(0x1100, 4) + Le(0x1010, 4), 2), kPattern},
      {"BMP 8 bits", Bmp(8, 0, kBlackWhite + Le(0x01010000, 4) + Le(0x00010001, 4), 2), kPattern},
      {"BMP 24 bits",
       Bmp(24, 0,
           Bytes(6, '\0') + Bytes(6, '\xFF') + Bytes(3, '\xFF') + Bytes(3, '\0') +
               Bytes(3, '\xFF') + Bytes(3, '\0')),
       kPattern},
      {"BMP 32 bits, bit fields",
       Bmp(32, 3,
           Le(0xFF0000, 4) + Le(0xFF00, 4) + Le(0xFF, 4) + Le(0, 8) + Le(~0ull, 8) + Le(~0u, 4) +
               Le(0, 4) + Le(~0u, 4) + Le(0, 4)),
       kPattern},
      {"BMP RGB565",
       Bmp(16, 3,
           Le(0xF800, 4) + Le(0x07E0, 4) + Le(0x1F, 4) + Le(0, 4) + Le(~0u, 4) + Le(0xFFFF, 2) +
               Le(0, 2) + Le(0xFFFF, 2) + Le(0, 2)),
       kPattern},
      {"BMP RLE8",
       Bmp(8, 1, kBlackWhite + "\x02\x00\x02\x01\x00\x00\x00\x04\x01\x00\x01\x00\x00\x01"s, 2),
       kPattern},
      {"BMP RLE4", Bmp(4, 2, kBlackWhite + "\x02\x00\x02\x11\x00\x00\x04\x10\x00\x01"s, 2),
       kPattern},
      {"BMP of OS/2",
       Bmp(1, 0, Bytes(3, '\0') + Bytes(3, '\xFF') + Le(0x30, 4) + Le(0xA0, 4), 2, 12), kPattern},
      {"plain PBM without separators", "P1\n4 2\n0101\n1100\n", kPattern},
      {"plain PBM, digits run together", "P1\n4 2\n01011100", kPattern},
      {"raw PBM", "P4\n4 2\n\x50\xC0"s, kPattern},
      {"raw PBM, a comment right after a number", "P4 4# 3\n2\n\x50\xC0"s, kPattern},
      {"plain PGM", "P2 4 2 # a comment\n 3\n3 0 3 0 0 0 3 3\n", kPattern},
      {"raw PGM of 16 bits", "P5 4 2 65535\n\xFF\xFF\0\0\xFF\xFF\0\0\0\0\0\0\xFF\xFF\xFF\xFF"s,
       kPattern},
      {"PGM with a sample above its maxval", "P2 4 2 3\n3 0 4 0 0 0 3 3\n",
       "the picture cannot be read: a sample is above its maxval 3"},
      {"PGM of maxval 0", "P2 4 2 0\n0 0 0 0 0 0 0 0\n",
       "the picture cannot be read: its header is malformed"},
      {"BMP cut short", Bmp(24, 0, Bytes(12, '\0')), "the picture cannot be read: it ends early"},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.file), c.shown) << c.name;
}

// A GIF of a 1 x 4 screen: a frame of four white pixels, two bytes left in its data after the end
// code, then a second frame, 1 x 2 at row 1, of two black pixels.
// A grey JPEG of rows of '#' (black) and '.' (white), with an EXIF orientation when given one,
// its numbers little- or big-endian.
Bytes Jpeg(const std::vector<std::string>& rows, int orientation, bool little = true) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = static_cast<JDIMENSION>(rows[0].size());
  info.image_height = static_cast<JDIMENSION>(rows.size());
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  jpeg_start_compress(&info, TRUE);
  if (orientation) {
    const auto n = [&](uint32_t value, int bytes) {
      Bytes le = Le(value, bytes);
      return little ? le : Bytes(le.rbegin(), le.rend());
    };
    const Bytes exif = "Exif\0\0"s + (little ? "II" : "MM") + n(42, 2) + n(8, 4) + n(1, 2) +
                       n(0x0112, 2) + n(3, 2) + n(1, 4) + n(orientation, 2) + n(0, 2) + n(0, 4);
    jpeg_write_marker(&info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(exif.data()),
                      static_cast<unsigned>(exif.size()));
  }
  for (const std::string& row : rows) {
    std::vector<JSAMPLE> grey;
    for (const char c : row) grey.push_back(c == '#' ? 0 : 255);
    JSAMPROW line[] = {grey.data()};
    jpeg_write_scanlines(&info, line, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes file(reinterpret_cast<char*>(out), size);
  std::free(out);
  return file;
}

TEST(Pictures, APhotoIsTurnedUprightAsItsCameraHeldIt) {
  // One dark pixel at the stored top left of 3 x 2, as each of EXIF's eight orientations shows it.
  const std::vector<std::string> stored{"#..", "..."};
  const char* const shown[] = {"#../...",  "#../...",  "..#/...",  ".../..#", ".../#..",
                               "#./../..", ".#/../..", "../../.#", "../../#."};
  for (int orientation = 0; orientation <= 8; ++orientation)
    EXPECT_EQ(Read(Jpeg(stored, orientation)), shown[orientation]) << "orientation " << orientation;
  EXPECT_EQ(Read(Jpeg(stored, 6, /*little=*/false)), ".#/../..") << "big-endian";
}

// A GIF of a 1 x 4 screen: a frame of four white pixels, two bytes left in its data after the end
// code, then a second frame, 1 x 2 at row 1, of two black pixels.
TEST(Pictures, AGifsFramesAreFoundPastPaddingAndDrawnAtTheirPlace) {
  const Bytes screen = "GIF89a"s + Le(1, 2) + Le(4, 2) + "\x80\0\0"s + "\0\0\0\xFF\xFF\xFF"s;
  const Bytes white = ",\0\0\0\0\x01\0\x04\0\0"s + "\x02\x06\x0C\xC3\x30\x05\0\0"s + "\0"s;
  const Bytes control = "!\xF9\x04\x00\x0A\x00\x00\x00"s;
  const Bytes black = ",\0\0\x01\0\x01\0\x02\0\0"s + "\x02\x02\x04\x51\0"s;
  std::vector<std::string> frames;
  EXPECT_EQ(Read(screen + control + white + control + black + ";", &frames), "./#/#/.");
  EXPECT_EQ(frames.size(), 2u);
  // The black frame asks to be cleared away after it: rows 1 and 2, not a row more or less.
  const Bytes cleared = "!\xF9\x04\x08\x0A\x00\x00\x00"s;
  const Bytes dot = ",\0\0\0\0\x01\0\x01\0\0"s + "\x02\x02\x44\x01\0"s;
  EXPECT_EQ(Read(screen + control + white + cleared + black + control + dot + ";"), "#/ / /.");
  EXPECT_EQ(Read(screen + control + white.substr(0, 14)),
            "the picture cannot be read: the GIF ends early");
}

// What a file is, by a whole header: a movie whose title looks like a picture's signature stays
// a movie; a picture of a format glowreel-play does not read is told apart from a movie.
TEST(Pictures, AFilesKindIsToldByAWholeValidHeader) {
  const Bytes frame = "\r\n@100\r\n111111111111111111\r\n";
  const Bytes bmp = Bmp(1, 0, kBlackWhite + Le(0, 8), 2);
  const struct {
    Bytes head;
    const char* path;
    FileKind kind;
  } cases[] = {
      {"BMX jump" + frame, "a", FileKind::kMovie},
      {"U\nP", "a", FileKind::kMovie},  // shorter than any signature
      {"P1 is my title" + frame, "a", FileKind::kMovie},
      {"P1 is my title\r\nno frame here", "a", FileKind::kMovie},
      {"GIF89a and more" + frame, "a", FileKind::kMovie},
      {"BM with reserved words", "a", FileKind::kMovie},
      {bmp, "a", FileKind::kBmp},
      {bmp, "a.grm", FileKind::kMovie},
      {"P1\n4 2\n0101\n1100\n", "a", FileKind::kPnm},
      {"P6\n# made by hand\n4 2 255\n", "a", FileKind::kPnm},
      {"P6 4 2 70000\n", "a", FileKind::kPnm},
      {"P6 4 0 255\n", "a", FileKind::kMovie},
      {"GIF87a"s + Le(1, 2) + Le(1, 2) + "\0\0\0,"s, "a", FileKind::kGif},
      {"\x89PNG\r\n\x1a\n", "a", FileKind::kPng},
      {"\xFF\xD8\xFF\xE0", "a", FileKind::kJpeg},
      {"/* XPM */\nstatic char *x[] = {", "a", FileKind::kOtherPicture},
      {"\0\0\1\0\1\0"s, "a", FileKind::kOtherPicture},
      {"#define x_width 8\n#define x_height 8\n", "a", FileKind::kOtherPicture},
  };
  for (const auto& c : cases) EXPECT_EQ(KindOfHead(c.head, c.path), c.kind) << c.head;
}

}  // namespace
}  // namespace glowreel
