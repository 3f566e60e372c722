#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <vector>

#include "dots/picture_decoders.h"

namespace glowreel {
namespace {

std::optional<GreyPicture> Refuse(RunTimeError& why, const std::string& reason) {
  why = BadPicture(reason);
  return std::nullopt;
}

// The bytes of a file read from the start, -1 past their end.
class Bytes {
 public:
  explicit Bytes(std::string_view bytes) : bytes_(bytes) {}
  int Byte() { return at_ < bytes_.size() ? static_cast<unsigned char>(bytes_[at_++]) : -1; }
  int Peek() const { return at_ < bytes_.size() ? static_cast<unsigned char>(bytes_[at_]) : -1; }
  uint32_t Le(std::size_t at, int size) const {
    uint32_t value = 0;
    for (int k = size - 1; k >= 0; --k)
      value =
          value << 8 | (at + k < bytes_.size() ? static_cast<unsigned char>(bytes_[at + k]) : 0);
    return value;
  }
  void Seek(std::size_t at) { at_ = at; }
  std::size_t Size() const { return bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

// --- PBM, PGM and PPM, plain and raw: a bitmap's 1 is black.

// A header number or a plain sample, after whitespace and comments; -1 where there is none.
long Number(Bytes& file) {
  int c = file.Byte();
  while (c == '#' || std::isspace(c)) {
    if (c == '#')
      while (c != '\n' && c >= 0) c = file.Byte();
    c = file.Byte();
  }
  long value = -1;
  for (; c >= '0' && c <= '9' && value < 1 << 20; c = file.Byte())
    value = (value < 0 ? 0 : value * 10) + (c - '0');
  // A comment may follow a number at once; it ends at its line's end.
  while (c == '#' && c >= 0)
    while (c != '\n' && c >= 0) c = file.Byte();
  return value;
}

// A plain bitmap's sample is one digit; separators between them are optional.
long BitmapDigit(Bytes& file) {
  while (file.Peek() == '#' || std::isspace(file.Peek())) {
    if (file.Byte() == '#')
      while (file.Peek() >= 0 && file.Byte() != '\n') {
      }
  }
  const int c = file.Byte();
  return c == '0' || c == '1' ? c - '0' : -1;
}

}  // namespace

std::optional<GreyPicture> ReadPnm(const std::string& bytes, RunTimeError& why) {
  Bytes file(bytes);
  file.Byte();
  const int kind = file.Byte() - '0';
  const long width = Number(file), height = Number(file);
  const long maximum = kind == 1 || kind == 4 ? 1 : Number(file);
  if (width <= 0 || height <= 0 || maximum <= 0 || maximum > 65535)
    return Refuse(why, "its header is malformed");
  if (width * height > kMostPixels) return Refuse(why, "it is larger than 4096 x 4096 pixels");
  GreyPicture picture;
  picture.Resize(static_cast<int>(width), static_cast<int>(height));
  const bool raw = kind >= 4, wide = maximum > 255;
  const auto sample = [&]() -> long {
    if (!raw) return Number(file);
    const int high = file.Byte();
    if (!wide || high < 0) return high;
    const int low = file.Byte();
    return low < 0 ? -1 : high << 8 | low;
  };
  for (int y = 0; y < picture.height; ++y) {
    int bits = 0, byte = 0;
    for (int x = 0; x < picture.width; ++x) {
      long light = -1;  // 0 to 255
      if (kind == 4) {
        if (bits == 0) byte = file.Byte(), bits = 8;
        if (byte >= 0) light = byte >> --bits & 1 ? 0 : 255;
      } else if (kind == 1) {
        const long bit = BitmapDigit(file);
        if (bit >= 0) light = bit ? 0 : 255;
      } else {
        const long r = sample();
        const long g = kind % 3 == 0 ? sample() : r, b = kind % 3 == 0 ? sample() : r;
        if (std::max({r, g, b}) > maximum)
          return Refuse(why, "a sample is above its maxval " + std::to_string(maximum));
        if (std::min({r, g, b}) >= 0)
          light = Luma(static_cast<int>(r * 255 / maximum), static_cast<int>(g * 255 / maximum),
                       static_cast<int>(b * 255 / maximum));
      }
      if (light < 0) return Refuse(why, "it ends early");
      picture.Set(x, y, static_cast<uint8_t>(light), 255);
    }
  }
  return picture;
}

namespace {

// --- Windows and OS/2 bitmaps.

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

struct BmpLayout {
  long width = 0, height = 0;
  bool topDown = false;
  int bpp = 0;
  uint32_t compression = kRgb;
  std::array<uint32_t, 3> masks{};  // red, green, blue of 16 and 32 bits a pixel
  std::vector<uint8_t> palette;     // each entry's brightness
};

// A colour channel of `mask`'s bits, scaled to 0-255.
int Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!(mask >> shift & 1)) ++shift;
  const uint32_t top = mask >> shift;
  return static_cast<int>(uint64_t{(pixel & mask) >> shift} * 255 / top);
}

// Run-length coded rows (bottom-up): counted runs, and escapes for a row's end, the bitmap's
// end, a jump and a stretch of literal indices. What no run reaches keeps index 0.
void DecodeRle(Bytes& file, const BmpLayout& bmp, std::vector<uint8_t>& indices) {
  const bool four = bmp.compression == kRle4;
  long x = 0, row = 0;
  const auto put = [&](int index) {
    if (x >= 0 && x < bmp.width && row < bmp.height)
      indices[static_cast<std::size_t>(row * bmp.width + x)] = static_cast<uint8_t>(index);
    ++x;
  };
  for (int count = file.Byte(), code = file.Byte(); code >= 0 && row < bmp.height;
       count = file.Byte(), code = file.Byte()) {
    if (count > 0) {
      for (int k = 0; k < count; ++k) put(four ? (k % 2 ? code & 15 : code >> 4) : code);
    } else if (code == 0) {
      x = 0, ++row;
    } else if (code == 1) {
      return;
    } else if (code == 2) {
      x += file.Byte(), row += file.Byte();
    } else {
      const int bytes = four ? (code + 1) / 2 : code;
      for (int k = 0, byte = 0; k < code; ++k) {
        if (!four || k % 2 == 0) byte = file.Byte();
        put(four ? (k % 2 ? byte & 15 : byte >> 4) : byte);
      }
      if (bytes % 2) file.Byte();  // literal runs end on a word
    }
  }
}

std::optional<BmpLayout> ReadBmpHeader(const Bytes& file, std::string& wrong) {
  BmpLayout bmp;
  const uint32_t info = file.Le(14, 4);
  const bool core = info == 12;  // OS/2: 16-bit sizes, three-byte palette entries
  // Signed where Windows says so: kept signed (a ternary with the OS/2 sizes would not).
  const auto size = [&](std::size_t windows, std::size_t os2) -> long {
    return core ? static_cast<long>(file.Le(os2, 2))
                : static_cast<long>(static_cast<int32_t>(file.Le(windows, 4)));
  };
  bmp.width = size(18, 18);
  const long height = size(22, 20);
  bmp.topDown = height < 0, bmp.height = height < 0 ? -height : height;
  bmp.bpp = static_cast<int>(file.Le(core ? 24 : 28, 2));
  bmp.compression = core ? kRgb : file.Le(30, 4);
  const bool depth = bmp.compression == kRgb || (bmp.compression == kRle8 && bmp.bpp == 8) ||
                     (bmp.compression == kRle4 && bmp.bpp == 4) ||
                     (bmp.compression == kBitfields && (bmp.bpp == 16 || bmp.bpp == 32));
  if (!depth || file.Size() < 14 + info)
    return wrong = "its compression or depth is not read here", std::nullopt;
  if (bmp.width <= 0 || bmp.height <= 0 ||
      (bmp.topDown && bmp.compression != kRgb && bmp.compression != kBitfields))
    return wrong = "its header is malformed", std::nullopt;
  if (bmp.width > kMostPixels || bmp.height > kMostPixels || bmp.width * bmp.height > kMostPixels)
    return wrong = "it is larger than 4096 x 4096 pixels", std::nullopt;
  if (bmp.compression == kBitfields)
    bmp.masks = {file.Le(54, 4), file.Le(58, 4), file.Le(62, 4)};
  else if (bmp.bpp == 16)
    bmp.masks = {0x7C00, 0x03E0, 0x001F};
  else
    bmp.masks = {0xFF0000, 0x00FF00, 0x0000FF};
  const uint32_t used = core ? 0 : file.Le(46, 4);
  const std::size_t entries = bmp.bpp > 8 ? 0 : used && used <= 256u ? used : 1u << bmp.bpp;
  const std::size_t table = 14 + info + (bmp.compression == kBitfields && info == 40 ? 12 : 0);
  const std::size_t entry = core ? 3 : 4;
  if (file.Size() < table + entries * entry) return wrong = "it ends early", std::nullopt;
  for (std::size_t k = 0; k < entries; ++k) {
    const uint32_t bgr = file.Le(table + k * entry, 3);
    bmp.palette.push_back(Luma(bgr >> 16 & 255, bgr >> 8 & 255, bgr & 255));
  }
  return bmp;
}

}  // namespace

// Uncompressed at 1, 4, 8, 16, 24 and 32 bits a pixel, with or without bit fields (RGB565 and
// the like), and run-length coded 4 and 8 bits, bottom-up or top-down.
std::optional<GreyPicture> ReadBmp(const std::string& bytes, RunTimeError& why) {
  Bytes file(bytes);
  std::string wrong;
  const std::optional<BmpLayout> bmp = ReadBmpHeader(file, wrong);
  if (!bmp) return Refuse(why, wrong);
  const auto shade = [&](long index) {
    return static_cast<std::size_t>(index) < bmp->palette.size()
               ? bmp->palette[static_cast<std::size_t>(index)]
               : 0;
  };
  GreyPicture picture;
  picture.Resize(static_cast<int>(bmp->width), static_cast<int>(bmp->height));
  file.Seek(file.Le(10, 4));
  if (bmp->compression == kRle4 || bmp->compression == kRle8) {
    std::vector<uint8_t> indices(static_cast<std::size_t>(bmp->width * bmp->height), 0);
    DecodeRle(file, *bmp, indices);
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x)
        picture.Set(x, picture.height - 1 - y,
                    shade(indices[static_cast<std::size_t>(y * picture.width + x)]), 255);
    return picture;
  }
  const std::size_t rowBytes = static_cast<std::size_t>((bmp->width * bmp->bpp + 31) / 32 * 4);
  const std::size_t start = file.Le(10, 4);
  if (start > bytes.size() ||
      bytes.size() - start < rowBytes * static_cast<std::size_t>(bmp->height))
    return Refuse(why, "it ends early");
  for (long n = 0; n < bmp->height; ++n) {
    const std::size_t row = start + static_cast<std::size_t>(n) * rowBytes;
    const int y = static_cast<int>(bmp->topDown ? n : bmp->height - 1 - n);
    for (int x = 0; x < bmp->width; ++x) {
      uint8_t light;
      if (bmp->bpp >= 16) {
        const uint32_t pixel = file.Le(row + static_cast<std::size_t>(x * bmp->bpp / 8),
                                       bmp->bpp == 16 ? 2 : bmp->bpp / 8);
        light = Luma(Channel(pixel, bmp->masks[0]), Channel(pixel, bmp->masks[1]),
                     Channel(pixel, bmp->masks[2]));
      } else {
        const int bit = x * bmp->bpp;
        const auto byte = static_cast<int>(file.Le(row + static_cast<std::size_t>(bit / 8), 1));
        light = shade(byte >> (8 - bmp->bpp - bit % 8) & ((1 << bmp->bpp) - 1));
      }
      picture.Set(x, y, light, 255);
    }
  }
  return picture;
}

}  // namespace glowreel
