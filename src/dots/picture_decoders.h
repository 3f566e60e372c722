#pragma once

#include <memory>
#include <optional>
#include <string>

#include "dots/picture_reader.h"
#include "platform/unique_fd.h"

// The decoders behind OpenPicture, one a format. A still picture is decoded from the file's
// bytes; a GIF is read from its descriptor frame by frame.
namespace glowreel {

// Each returns the picture, or nothing with `why` set to what is wrong with it.
std::optional<GreyPicture> ReadPng(const std::string& bytes, RunTimeError& why);
std::optional<GreyPicture> ReadJpeg(const std::string& bytes, RunTimeError& why);
std::optional<GreyPicture> ReadBmp(const std::string& bytes, RunTimeError& why);
std::optional<GreyPicture> ReadPnm(const std::string& bytes, RunTimeError& why);

// A GIF's frames as giflib decodes them, drawn onto its screen as each frame's graphic control
// says; the first frame is decoded before it is returned.
std::unique_ptr<PictureReader> OpenGif(UniqueFd file, RunTimeError& why);

}  // namespace glowreel
