#include <gif_lib.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <vector>

#include "dots/picture_decoders.h"

namespace glowreel {
namespace {

constexpr int kDisposeBackground = 2, kDisposePrevious = 3;

// Interlaced rows come in four passes: every 8th from 0, every 8th from 4, every 4th from 2,
// every 2nd from 1. The row of the n-th one the file gives.
int InterlacedRow(int n, int height) {
  constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    const int rows =
        height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
    if (n < rows) return kStart[pass] + n * kStep[pass];
    n -= rows;
  }
  return height;
}

std::vector<uint8_t> LumaOf(const ColorMapObject* map) {
  std::vector<uint8_t> luma;
  if (!map) return luma;
  for (int k = 0; k < map->ColorCount; ++k)
    luma.push_back(Luma(map->Colors[k].Red, map->Colors[k].Green, map->Colors[k].Blue));
  return luma;
}

class GifReader : public PictureReader {
 public:
  explicit GifReader(UniqueFd file) : file_(std::move(file)) {}
  ~GifReader() override { Close(); }

  bool Start() {
    if (!Rewind()) return false;
    GreyPicture first;
    int delay = 0;
    if (!Next(first, delay)) return error_ || Fail("the GIF has no frame"), false;
    animated_ = Next(first, delay);
    error_.reset();  // a second frame that breaks is told when it is played
    return Rewind();
  }

  bool Rewind() override {
    Close();
    if (lseek(file_.get(), 0, SEEK_SET) != 0) return Fail("the GIF cannot be read again");
    buffered_ = used_ = 0;
    int error = 0;
    gif_ = DGifOpen(this, &GifReader::Read, &error);
    if (!gif_) return Fail(Reason(error));
    if (gif_->SWidth <= 0 || gif_->SHeight <= 0) return Fail("the GIF's screen is empty");
    if (static_cast<long>(gif_->SWidth) * gif_->SHeight > kMostPixels)
      return error_ = RunTimeError(kErrOutOfMemory), false;
    global_ = LumaOf(gif_->SColorMap);
    screen_.Resize(gif_->SWidth, gif_->SHeight);
    dispose_ = 0;
    return true;
  }

  bool Next(GreyPicture& picture, int& delayCs) override {
    int disposal = 0, transparent = -1;
    delayCs = 0;
    for (GifRecordType record; gif_;) {
      if (DGifGetRecordType(gif_, &record) == GIF_ERROR) return Fail(Reason(gif_->Error));
      if (record == TERMINATE_RECORD_TYPE) return false;
      if (record == EXTENSION_RECORD_TYPE) {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif_, &code, &block) == GIF_ERROR) return Fail(Reason(gif_->Error));
        if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
          disposal = block[1] >> 2 & 7;
          delayCs = block[2] | block[3] << 8;
          transparent = block[1] & 1 ? block[4] : -1;
        }
        while (block)
          if (DGifGetExtensionNext(gif_, &block) == GIF_ERROR) return Fail(Reason(gif_->Error));
      } else if (record == IMAGE_DESC_RECORD_TYPE) {
        if (!ReadImage(disposal, transparent)) return false;
        picture = screen_;
        return true;
      }
    }
    return false;
  }

 private:
  static int Read(GifFileType* gif, GifByteType* into, int wanted) {
    auto* self = static_cast<GifReader*>(gif->UserData);
    int given = 0;
    while (given < wanted) {
      if (self->used_ == self->buffered_) {
        ssize_t got;
        do got = read(self->file_.get(), self->buffer_.data(), self->buffer_.size());
        while (got < 0 && errno == EINTR);
        if (got <= 0) break;
        self->buffered_ = static_cast<std::size_t>(got), self->used_ = 0;
      }
      into[given++] = self->buffer_[self->used_++];
    }
    return given;
  }

  static std::string Reason(int error) {
    // The screen's description fails only where the file ends inside it or its colour table.
    if (error == D_GIF_ERR_READ_FAILED || error == D_GIF_ERR_NO_SCRN_DSCR)
      return "the GIF ends early";
    if (error == D_GIF_ERR_NOT_GIF_FILE) return "its GIF header is malformed";
    const char* said = GifErrorString(error);
    return said ? said : "the GIF is malformed";
  }

  bool Fail(const std::string& reason) {
    error_ = BadPicture(reason);
    return false;
  }

  void Close() {
    if (gif_) DGifCloseFile(gif_, nullptr);
    gif_ = nullptr;
  }

  // The frame before goes as it asked: its area cleared to nothing, or the screen as it was.
  void Dispose() {
    if (dispose_ == kDisposeBackground) {
      for (int y = area_[1]; y < area_[3]; ++y)
        for (int x = area_[0]; x < area_[2]; ++x) screen_.Set(x, y, 0, 0);
    }
    if (dispose_ == kDisposePrevious) screen_ = saved_;
  }

  bool ReadImage(int disposal, int transparent) {
    if (DGifGetImageDesc(gif_) == GIF_ERROR) return Fail(Reason(gif_->Error));
    const GifImageDesc& image = gif_->Image;
    const int left = image.Left, top = image.Top, w = image.Width, h = image.Height;
    const std::vector<uint8_t> palette = image.ColorMap ? LumaOf(image.ColorMap) : global_;
    // giflib keeps every image's description; a long animation needs none of them.
    GifFreeSavedImages(gif_);
    gif_->ImageCount = 0;
    // A frame may say it is far larger than its screen; what lies outside is never shown, but
    // its indices are still decoded.
    if (static_cast<long>(w) * h > kMostPixels)
      return error_ = RunTimeError(kErrOutOfMemory), false;
    Dispose();
    if (disposal == kDisposePrevious) saved_ = screen_;
    dispose_ = disposal;
    area_ = {std::min(left, screen_.width), std::min(top, screen_.height),
             std::min(left + w, screen_.width), std::min(top + h, screen_.height)};
    std::vector<GifPixelType> line(static_cast<std::size_t>(w));
    for (int n = 0; n < h; ++n) {
      if (DGifGetLine(gif_, line.data(), w) == GIF_ERROR) {
        if (gif_->Error != D_GIF_ERR_EOF_TOO_SOON) return Fail(Reason(gif_->Error));
        // The image's codes end before its pixels do: the rest is index 0, as viewers show it.
        std::fill(line.begin(), line.end(), 0);
        for (GifByteType* block = nullptr; DGifGetCodeNext(gif_, &block) != GIF_ERROR && block;) {
        }
        for (; n < h; ++n)
          Draw(line, image.Interlace ? InterlacedRow(n, h) : n, left, top, palette, transparent);
        return true;
      }
      Draw(line, image.Interlace ? InterlacedRow(n, h) : n, left, top, palette, transparent);
    }
    return true;
  }

  void Draw(const std::vector<GifPixelType>& line, int row, int left, int top,
            const std::vector<uint8_t>& palette, int transparent) {
    const int y = top + row;
    if (y >= screen_.height) return;
    for (int x = 0; x < static_cast<int>(line.size()) && left + x < screen_.width; ++x) {
      const int index = line[static_cast<std::size_t>(x)];
      if (index == transparent) continue;
      screen_.Set(left + x, y, index < static_cast<int>(palette.size()) ? palette[index] : 0, 255);
    }
  }

  UniqueFd file_;
  std::array<GifByteType, 65536> buffer_{};
  std::size_t buffered_ = 0, used_ = 0;
  GifFileType* gif_ = nullptr;
  std::vector<uint8_t> global_;
  GreyPicture screen_, saved_;
  int dispose_ = 0;
  std::array<int, 4> area_{};
};

}  // namespace

std::unique_ptr<PictureReader> OpenGif(UniqueFd file, RunTimeError& why) {
  auto gif = std::make_unique<GifReader>(std::move(file));
  if (gif->Start()) return gif;
  why = *gif->Error();
  return nullptr;
}

}  // namespace glowreel
