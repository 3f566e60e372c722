#include "dots/picture_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "platform/whole_file.h"

namespace glowreel {
namespace {

// The largest picture taken: 4096 x 4096 pixels.
constexpr long kMostPixels = 4096L * 4096L;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

int Byte(std::FILE* file) {
  return std::fgetc(file);
}
int Word(std::FILE* file) {  // little-endian, as GIF and BMP store them
  const int low = Byte(file), high = Byte(file);
  return low < 0 || high < 0 ? -1 : low | high << 8;
}

// GIF: the logical screen, each frame drawn onto it as its graphic control says, kept until the
// next frame's disposal.
class GifReader : public PictureReader {
 public:
  explicit GifReader(File file) : file_(std::move(file)) {}

  bool Start() {
    char signature[6];
    if (std::fread(signature, 1, 6, file_.get()) != 6) return Fail("the GIF ends early");
    width_ = Word(file_.get());
    height_ = Word(file_.get());
    const int packed = Byte(file_.get());
    Byte(file_.get());  // the background colour: what a disposed frame leaves is black here
    if (Byte(file_.get()) < 0 || width_ <= 0 || height_ <= 0)
      return Fail("the GIF's screen is empty");
    if (static_cast<long>(width_) * height_ > kMostPixels) {
      error_ = RunTimeError(kErrOutOfMemory);
      return false;
    }
    if (packed & 0x80 && !ReadPalette(global_, 2 << (packed & 7))) return false;
    first_ = std::ftell(file_.get());
    // A GIF that cannot give its first frame is refused before anything is shown.
    GreyPicture first;
    int delay = 0;
    if (!Rewind() || !Next(first, delay)) return error_ || Fail("the GIF has no frame"), false;
    animated_ = Next(first, delay);
    error_.reset();  // a second frame that breaks is told when it is played
    return Rewind();
  }

  bool Rewind() override {
    screen_.Resize(width_, height_);
    dispose_ = 0;
    return std::fseek(file_.get(), first_, SEEK_SET) == 0;
  }

  bool Next(GreyPicture& picture, int& delayCs) override {
    int disposal = 0, transparent = -1;
    delayCs = 0;
    for (;;) {
      const int block = Byte(file_.get());
      if (block == 0x3B) return false;
      if (block == 0x21) {
        const int label = Byte(file_.get());
        int size = Byte(file_.get());
        if (label == 0xF9 && size == 4) {  // the graphic control: disposal, delay, transparency
          const int packed = Byte(file_.get());
          delayCs = Word(file_.get());
          const int index = Byte(file_.get());
          disposal = packed >> 2 & 7;
          transparent = packed & 1 ? index : -1;
          size = 0;
        }
        if (size < 0 || std::fseek(file_.get(), size, SEEK_CUR) != 0)
          return Fail("the GIF ends early");
        if (!SkipSubBlocks()) return false;
      } else if (block == 0x2C) {
        if (!ReadImage(disposal, transparent)) return false;
        picture = screen_;
        return true;
      } else {
        return Fail(block < 0 ? "the GIF ends early" : "the GIF has an unknown block");
      }
    }
  }

 private:
  bool Fail(const std::string& reason) {
    error_ = BadPicture(reason);
    return false;
  }

  bool ReadPalette(std::vector<uint8_t>& palette, int entries) {
    palette.resize(static_cast<std::size_t>(entries));
    for (uint8_t& luma : palette) {
      const int r = Byte(file_.get()), g = Byte(file_.get()), b = Byte(file_.get());
      if (b < 0) return Fail("the GIF ends early");
      luma = Luma(r, g, b);
    }
    return true;
  }

  bool SkipSubBlocks() {
    for (int size = Byte(file_.get()); size != 0; size = Byte(file_.get())) {
      if (size < 0 || std::fseek(file_.get(), size, SEEK_CUR) != 0)
        return Fail("the GIF ends early");
    }
    return true;
  }

  // The frame before goes as it asked: its area cleared to nothing, or the screen as it was.
  void Dispose() {
    if (dispose_ == 2) {
      for (int y = area_[1]; y < area_[3]; ++y)
        for (int x = area_[0]; x < area_[2]; ++x) screen_.Set(x, y, 0, 0);
    }
    if (dispose_ == 3) screen_ = saved_;
  }

  bool ReadImage(int disposal, int transparent) {
    const int left = Word(file_.get()), top = Word(file_.get());
    const int w = Word(file_.get()), h = Word(file_.get());
    const int packed = Byte(file_.get());
    if (packed < 0) return Fail("the GIF ends early");
    std::vector<uint8_t> local;
    if (packed & 0x80 && !ReadPalette(local, 2 << (packed & 7))) return false;
    const std::vector<uint8_t>& palette = packed & 0x80 ? local : global_;
    // A frame may say it is far larger than its screen; what lies outside is never shown, but
    // its indices are still decoded.
    if (static_cast<long>(w) * h > kMostPixels) {
      error_ = RunTimeError(kErrOutOfMemory);
      return false;
    }
    std::vector<uint8_t> indices;
    if (!Decode(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), indices)) return false;
    Dispose();
    if (disposal == 3) saved_ = screen_;
    dispose_ = disposal;
    area_ = {std::min(left, width_), std::min(top, height_), std::min(left + w, width_),
             std::min(top + h, height_)};
    // Interlaced rows come in four passes: every 8th from 0, every 8th from 4, every 4th from
    // 2, every 2nd from 1.
    constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    std::size_t at = 0;
    for (int pass = packed & 0x40 ? 0 : 3; pass < 4; ++pass) {
      for (int row = packed & 0x40 ? kStart[pass] : 0; row < h;
           row += packed & 0x40 ? kStep[pass] : 1) {
        for (int x = 0; x < w; ++x, ++at) {
          const int index = indices[at];
          if (index == transparent || left + x >= width_ || top + row >= height_) continue;
          screen_.Set(left + x, top + row,
                      index < static_cast<int>(palette.size()) ? palette[index] : 0, 255);
        }
      }
    }
    return true;
  }

  // The LZW code stream of an image into its colour indices; a stream that ends short leaves
  // the rest as index 0, as viewers show it.
  bool Decode(std::size_t count, std::vector<uint8_t>& out) {
    const int minimum = Byte(file_.get());
    if (minimum < 1 || minimum > 11) return Fail("the GIF's image data is malformed");
    const int clear = 1 << minimum, end = clear + 1;
    std::array<uint16_t, 4096> prefix{};
    std::array<uint8_t, 4096> suffix{}, stack{};
    for (int code = 0; code < clear; ++code)
      suffix[static_cast<std::size_t>(code)] = static_cast<uint8_t>(code);
    int size = minimum + 1, next = clear + 2, previous = -1, bits = 0, pending = 0, left = 0;
    uint8_t first = 0;
    out.reserve(count);
    bool ended = false;
    for (;;) {
      while (bits < size) {
        if (left == 0 && (ended || (left = Byte(file_.get())) <= 0)) {
          if (left < 0) return Fail("the GIF ends early");
          ended = true;
          out.resize(count, 0);
          return true;
        }
        const int byte = Byte(file_.get());
        if (byte < 0) return Fail("the GIF ends early");
        pending |= byte << bits;
        bits += 8;
        --left;
      }
      const int code = pending & ((1 << size) - 1);
      pending >>= size;
      bits -= size;
      if (code == clear) {
        size = minimum + 1, next = clear + 2, previous = -1;
        continue;
      }
      if (code == end) break;
      if (previous < 0) {
        if (code >= clear) return Fail("the GIF's image data is malformed");
        first = static_cast<uint8_t>(code);
        if (out.size() < count) out.push_back(first);
        previous = code;
        continue;
      }
      int walk = code;
      std::size_t depth = 0;
      if (code >= next) {
        if (code > next) return Fail("the GIF's image data is malformed");
        stack[depth++] = first;
        walk = previous;
      }
      while (walk >= clear) {
        stack[depth++] = suffix[static_cast<std::size_t>(walk)];
        walk = prefix[static_cast<std::size_t>(walk)];
      }
      first = static_cast<uint8_t>(walk);
      stack[depth++] = first;
      while (depth > 0) {
        if (out.size() < count)
          out.push_back(stack[--depth]);
        else
          --depth;
      }
      if (next < 4096) {
        prefix[static_cast<std::size_t>(next)] = static_cast<uint16_t>(previous);
        suffix[static_cast<std::size_t>(next)] = first;
        if (++next == 1 << size && size < 12) ++size;
      }
      previous = code;
    }
    out.resize(count, 0);
    return SkipSubBlocks();
  }

  File file_;
  int width_ = 0, height_ = 0, dispose_ = 0;
  long first_ = 0;
  std::vector<uint8_t> global_;
  GreyPicture screen_, saved_;
  std::array<int, 4> area_{};
};

// A picture of one frame, read whole.
class StillReader : public PictureReader {
 public:
  explicit StillReader(GreyPicture picture) : picture_(std::move(picture)) {}
  bool Rewind() override { return !(given_ = false); }
  bool Next(GreyPicture& picture, int& delayCs) override {
    if (given_) return false;
    picture = picture_;
    delayCs = 0;
    return given_ = true;
  }

 private:
  GreyPicture picture_;
  bool given_ = false;
};

// PBM, PGM and PPM, plain and raw: a bitmap's 1 is black.
std::optional<GreyPicture> ReadPnm(std::FILE* file, std::string& why) {
  const auto number = [&]() -> long {
    int c = Byte(file);
    while (c == '#' || std::isspace(c)) {
      if (c == '#')
        while (c != '\n' && c >= 0) c = Byte(file);
      c = Byte(file);
    }
    long value = -1;
    for (; c >= '0' && c <= '9' && value < 1 << 20; c = Byte(file))
      value = (value < 0 ? 0 : value * 10) + (c - '0');
    return value;
  };
  Byte(file);
  const int kind = Byte(file) - '0';
  const long width = number(), height = number();
  const long maximum = kind == 1 || kind == 4 ? 1 : number();
  if (width <= 0 || height <= 0 || maximum <= 0 || maximum > 65535)
    return why = "its header is malformed", std::nullopt;
  if (width * height > kMostPixels) return why = "it is too large", std::nullopt;
  GreyPicture picture;
  picture.Resize(static_cast<int>(width), static_cast<int>(height));
  const bool raw = kind >= 4, wide = maximum > 255;
  const auto sample = [&]() -> long {
    if (!raw) return number();
    const int high = Byte(file);
    if (!wide || high < 0) return high;
    const int low = Byte(file);
    return low < 0 ? -1 : high << 8 | low;
  };
  for (int y = 0; y < picture.height; ++y) {
    int bits = 0, byte = 0;
    for (int x = 0; x < picture.width; ++x) {
      long light = -1;  // 0 to 255
      if (kind == 4) {
        if (bits == 0) byte = Byte(file), bits = 8;
        if (byte >= 0) light = byte >> --bits & 1 ? 0 : 255;
      } else if (kind == 1) {
        const long bit = number();
        if (bit >= 0) light = bit ? 0 : 255;
      } else {
        const long r = sample();
        const long g = kind % 3 == 0 ? sample() : r, b = kind % 3 == 0 ? sample() : r;
        if (std::min({r, g, b}) >= 0 && std::max({r, g, b}) <= maximum)
          light = Luma(static_cast<int>(r * 255 / maximum), static_cast<int>(g * 255 / maximum),
                       static_cast<int>(b * 255 / maximum));
      }
      if (light < 0) return why = "it ends early", std::nullopt;
      picture.Set(x, y, static_cast<uint8_t>(light), 255);
    }
  }
  return picture;
}

// Windows bitmaps without compression: 1, 4, 8, 24 and 32 bits a pixel, bottom-up or top-down.
std::optional<GreyPicture> ReadBmp(std::FILE* file, std::string& why) {
  std::array<uint8_t, 54> header{};
  if (std::fread(header.data(), 1, header.size(), file) != header.size())
    return why = "it ends early", std::nullopt;
  const auto u32 = [&](std::size_t at) {
    return static_cast<uint32_t>(header[at] | header[at + 1] << 8 | header[at + 2] << 16 |
                                 header[at + 3] << 24);
  };
  const long offset = u32(10), infoSize = u32(14), width = static_cast<int32_t>(u32(18));
  const long rawHeight = static_cast<int32_t>(u32(22)),
             height = rawHeight < 0 ? -rawHeight : rawHeight;
  const int bpp = header[28] | header[29] << 8;
  const uint32_t compression = u32(30), used = u32(46);
  if (compression != 0 || infoSize < 40 ||
      !(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32))
    return why = "its compression or depth is not read here", std::nullopt;
  if (width <= 0 || height <= 0) return why = "its header is malformed", std::nullopt;
  if (width * height > kMostPixels) return why = "it is too large", std::nullopt;
  std::vector<uint8_t> palette(bpp <= 8 ? (used && used <= 256u ? used : 1u << bpp) : 0);
  std::fseek(file, 14 + infoSize, SEEK_SET);
  for (uint8_t& luma : palette) {
    std::array<uint8_t, 4> bgra{};
    if (std::fread(bgra.data(), 1, 4, file) != 4) return why = "it ends early", std::nullopt;
    luma = Luma(bgra[2], bgra[1], bgra[0]);
  }
  GreyPicture picture;
  picture.Resize(static_cast<int>(width), static_cast<int>(height));
  std::vector<uint8_t> row(static_cast<std::size_t>((width * bpp + 31) / 32 * 4));
  std::fseek(file, offset, SEEK_SET);
  for (long n = 0; n < height; ++n) {
    if (std::fread(row.data(), 1, row.size(), file) != row.size())
      return why = "it ends early", std::nullopt;
    const int y = static_cast<int>(rawHeight < 0 ? n : height - 1 - n);
    for (int x = 0; x < width; ++x) {
      uint8_t light;
      if (bpp >= 24) {
        const std::size_t at = static_cast<std::size_t>(x) * static_cast<std::size_t>(bpp / 8);
        light = Luma(row[at + 2], row[at + 1], row[at]);
      } else {
        const int bit = x * bpp,
                  index = row[static_cast<std::size_t>(bit / 8)] >> (8 - bpp - bit % 8) &
                          ((1 << bpp) - 1);
        light = static_cast<std::size_t>(index) < palette.size()
                    ? palette[static_cast<std::size_t>(index)]
                    : 0;
      }
      picture.Set(x, y, light, 255);
    }
  }
  return picture;
}

}  // namespace

RunTimeError BadPicture(const std::string& reason) {
  return RunTimeError(kErrBadPicture, "the picture cannot be read: " + reason);
}

FileKind KindOfFile(const std::string& path) {
  File file(std::fopen(path.c_str(), "rb"));
  std::array<unsigned char, 8> head{};
  if (!file || std::fread(head.data(), 1, head.size(), file.get()) < 3) return FileKind::kMovie;
  if (!std::memcmp(head.data(), "GIF87a", 6) || !std::memcmp(head.data(), "GIF89a", 6))
    return FileKind::kGif;
  if (head[0] == 'B' && head[1] == 'M') return FileKind::kBmp;
  if (head[0] == 'P' && head[1] >= '1' && head[1] <= '6' && std::isspace(head[2]))
    return FileKind::kPnm;
  const bool png = !std::memcmp(head.data(), "\x89PNG\r\n\x1a\n", 8);
  const bool jpeg = head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
  const bool tiff = !std::memcmp(head.data(), "II*", 4) || !std::memcmp(head.data(), "MM\0*", 4);
  const bool webp = !std::memcmp(head.data(), "RIFF", 4);
  return png || jpeg || tiff || webp ? FileKind::kOtherPicture : FileKind::kMovie;
}

std::unique_ptr<PictureReader> OpenPicture(const std::string& path, RunTimeError& why) {
  if (const std::optional<RunTimeError> unreadable = UnreadableFile(path)) {
    why = *unreadable;
    return nullptr;
  }
  const FileKind kind = KindOfFile(path);
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    why = RunTimeError(kErrPermissionDenied);
    return nullptr;
  }
  if (kind == FileKind::kGif) {
    auto gif = std::make_unique<GifReader>(std::move(file));
    if (gif->Start()) return gif;
    why = *gif->Error();
    return nullptr;
  }
  std::string reason =
      "glowreel-play reads GIF, BMP and PBM/PGM/PPM pictures: save it as one of those";
  std::optional<GreyPicture> still;
  if (kind == FileKind::kPnm) still = ReadPnm(file.get(), reason);
  if (kind == FileKind::kBmp) still = ReadBmp(file.get(), reason);
  if (still) return std::make_unique<StillReader>(std::move(*still));
  why = BadPicture(reason);
  return nullptr;
}

}  // namespace glowreel
