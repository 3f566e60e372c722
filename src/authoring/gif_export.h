#pragma once

#include <functional>
#include <string>

#include "authoring/picture_sink.h"
#include "dots/picture_dots.h"

namespace glowreel {

// How an export is made beyond its file: each picture `scale` times the virtual display's size;
// `going` is asked as each frame comes on (given its header's line in a movie, its number among
// a picture's frames), and answering false stops the export, which then leaves nothing written.
struct ExportControl {
  int scale = 1;
  std::function<bool(std::size_t frame)> going;
};

// Plays the movie (or a picture, on every dot) through the display model, without a port, and
// writes what the display
// shows as an animated GIF in the virtual display's look: each picture held for its real pause
// (its slices of 10 ms), looping for ever when `repeat`. A frame that makes no pause is never
// seen on a real display long enough to matter and is left out. Reports that playing makes go
// to `warn`. Returns "" or the reason the GIF could not be written.
std::string ExportGif(const std::string& moviePath, const std::string& gifPath, bool repeat,
                      const std::function<void(const std::string&)>& warn,
                      const PictureOptions& pictures = {}, const ExportControl& control = {});

// The same pictures into any sink: a GIF, a sequence of PNG files, a sprite sheet. A sink that
// is full ends the playing at once.
std::string ExportPictures(const std::string& moviePath, PictureSink& sink,
                           const std::function<void(const std::string&)>& warn,
                           const PictureOptions& pictures = {}, const ExportControl& control = {});

// What an export stopped by its `going` returns.
inline constexpr const char* kExportStopped = "stopped before it was whole";

}  // namespace glowreel
