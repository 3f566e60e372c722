#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "authoring/picture_sink.h"

namespace glowreel {

// Each picture as a PNG file of its own: "NAME-0001.png", "NAME-0002.png", ... for NAME.png,
// written as it comes, so that a long movie costs no memory.
class PngSequence : public PictureSink {
 public:
  explicit PngSequence(const std::string& path);
  // A sequence not finished whole leaves none of its files behind.
  ~PngSequence() override;
  void Add(const QImage& picture, int64_t holdMs) override;
  int Frames() const override { return frames_; }
  std::string Finish() override;
  // The file the picture numbered `n` (from 1) goes to.
  std::string PathOf(int n) const;

 private:
  std::string stem_;
  int frames_ = 0;
  std::string error_;
  bool whole_ = false;
};

// The pictures side by side in one PNG, rows of up to 16, for a game engine or a web page.
// A sheet is held whole until written: at most 16 rows.
class SpriteSheet : public PictureSink {
 public:
  static constexpr int kAcross = 16;
  static constexpr int kMostFrames = 256;
  explicit SpriteSheet(const std::string& path);
  void Add(const QImage& picture, int64_t holdMs) override;
  int Frames() const override { return static_cast<int>(pictures_.size()); }
  bool Full() const override { return tooMany_; }
  std::string Finish() override;

 private:
  std::string path_;
  QList<QRgb> palette_;
  std::vector<QImage> pictures_;
  bool tooMany_ = false;
};

// Writes a picture as a PNG file in place of `path`, all or nothing; "" or the reason.
std::string WritePng(const std::string& path, const QImage& picture);

}  // namespace glowreel
