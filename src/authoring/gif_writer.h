#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

#include "authoring/picture_sink.h"
#include "platform/replace_file.h"

struct GifFileType;

namespace glowreel {

// An animated GIF written picture by picture, so that its length costs no memory, and put in
// place only when whole.
class GifWriter : public PictureSink {
 public:
  // Every picture is width x height and uses only the palette's colours (at most 256).
  GifWriter(const std::string& path, int width, int height, const std::vector<QRgb>& palette,
            bool loop);
  ~GifWriter();
  GifWriter(const GifWriter&) = delete;
  GifWriter& operator=(const GifWriter&) = delete;

  // Adds a picture shown for `holdMs`, in hundredths of a second; a hold longer than a GIF
  // frame's delay can carry is spread over as many frames as it needs.
  void Add(const QImage& picture, int64_t holdMs) override;
  int Frames() const override { return frames_; }
  // Finishes the file. Returns "" or the reason it could not be written.
  std::string Finish() override;

 private:
  bool PutFrame(const QImage& picture, int delay);
  void Fail(int code);

  ReplacementFile file_;
  GifFileType* gif_ = nullptr;
  int width_;
  int height_;
  std::vector<QRgb> palette_;
  int frames_ = 0;
  std::string error_;
};

}  // namespace glowreel
