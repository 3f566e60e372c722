#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "dots/picture_dots.h"
#include "platform/run_time_error.h"

// Pictures read without a window system, for the headless player: animated GIFs frame by frame
// (a long one never lies whole in memory), PNG, JPEG, BMP and PBM/PGM/PPM.
namespace glowreel {

// The kinds of file told apart by a whole, valid header at their start. A file named *.grm, or a
// text with a frame header among its lines, is a movie whatever its first line looks like.
enum class FileKind { kMovie, kGif, kBmp, kPnm, kPng, kJpeg, kOtherPicture };
FileKind KindOfFile(const std::string& path);
FileKind KindOfHead(std::string_view head, std::string_view path);

// How much of a file's start tells its kind, and that start of an open file.
inline constexpr std::size_t kHeadBytes = 4096;
std::string ReadHead(int fd);

// The largest picture taken: 4096 x 4096 pixels (a JPEG is decoded smaller to fit).
inline constexpr long kMostPixels = 4096L * 4096L;

// A picture's frames, one at a time: the picture as it stands after each, and how many
// hundredths of a second it is shown (0 where it does not say).
class PictureReader {
 public:
  virtual ~PictureReader() = default;
  virtual bool Rewind() = 0;
  // False at the end, or with Error() set where the file breaks off or is malformed.
  virtual bool Next(GreyPicture& picture, int& delayCs) = 0;
  const std::optional<RunTimeError>& Error() const { return error_; }
  // More than one frame: each is held for its own delay; a single one is a still.
  bool Animated() const { return animated_; }

 protected:
  std::optional<RunTimeError> error_;
  bool animated_ = false;
};

// Opens the picture at `path`, or says why it cannot: the movie's file errors (53, 70, 75, 7) or
// "the picture cannot be read: REASON".
std::unique_ptr<PictureReader> OpenPicture(const std::string& path, RunTimeError& why);

// Decodes every frame, as playing would: why it cannot be shown, or none and `frames` counted.
std::optional<RunTimeError> CheckPictureFile(const std::string& path, int& frames);

// The error of a picture that is not what it claims to be.
inline constexpr int32_t kErrBadPicture = 321;
RunTimeError BadPicture(const std::string& reason);

}  // namespace glowreel
