// Any bytes as a picture given to the headless player: told apart from a movie, opened, and
// every frame (the first 64) decoded and fitted to the display's dots. Nothing may crash, hang
// or read outside what the file holds.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "dots/picture_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = memfd_create("picture", 0);
  if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size)) return 0;
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  glowreel::RunTimeError why(0);
  if (auto reader = glowreel::OpenPicture(path, why)) {
    glowreel::PictureFrames frames(std::move(reader), {}, 1);
    glowreel::DotFrame frame;
    for (int shown = 0; shown < 64 && frames.Next(frame); ++shown) {
    }
    frames.Rewind();
    frames.Next(frame);
  }
  close(fd);
  return 0;
}
