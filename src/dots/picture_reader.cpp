#include "dots/picture_reader.h"

#include "dots/picture_decoders.h"
#include "platform/whole_file.h"

namespace glowreel {
namespace {

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

}  // namespace

RunTimeError BadPicture(const std::string& reason) {
  return RunTimeError(kErrBadPicture, "the picture cannot be read: " + reason);
}

std::unique_ptr<PictureReader> OpenPicture(const std::string& path, RunTimeError& why) {
  UniqueFd file;
  off_t size = 0;
  if (const int32_t error = OpenRegularFile(path, file, size); error != 0) {
    why = RunTimeError(error);
    return nullptr;
  }
  const FileKind kind = KindOfHead(ReadHead(file.get()), path);
  if (kind == FileKind::kGif) return OpenGif(std::move(file), why);
  using Decoder = std::optional<GreyPicture> (*)(const std::string&, RunTimeError&);
  const Decoder decode = kind == FileKind::kPng    ? ReadPng
                         : kind == FileKind::kJpeg ? ReadJpeg
                         : kind == FileKind::kBmp  ? ReadBmp
                         : kind == FileKind::kPnm  ? ReadPnm
                                                   : nullptr;
  if (!decode) {
    why = BadPicture(
        "glowreel-play reads GIF, PNG, JPEG, BMP and PBM/PGM/PPM pictures; make it a GIF of "
        "the display's dots with glowreel-convert --dots");
    return nullptr;
  }
  std::string bytes;
  if (const int32_t error = ReadRest(file.get(), size, bytes); error != 0) {
    why = RunTimeError(error);
    return nullptr;
  }
  std::optional<GreyPicture> still = decode(bytes, why);
  return still ? std::make_unique<StillReader>(std::move(*still)) : nullptr;
}

std::optional<RunTimeError> CheckPictureFile(const std::string& path, int& frames) {
  RunTimeError why(0);
  std::unique_ptr<PictureReader> reader = OpenPicture(path, why);
  if (!reader) return why;
  GreyPicture picture;
  frames = 0;
  for (int delay = 0; reader->Next(picture, delay);) ++frames;
  return reader->Error();
}

}  // namespace glowreel
