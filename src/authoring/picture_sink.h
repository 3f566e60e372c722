#pragma once

#include <QImage>
#include <cstdint>
#include <string>

namespace glowreel {

// Where an export's pictures go, each with how long the display showed it.
class PictureSink {
 public:
  virtual ~PictureSink() = default;
  virtual void Add(const QImage& picture, int64_t holdMs) = 0;
  virtual int Frames() const = 0;
  // No picture more can be taken: the export need not go on.
  virtual bool Full() const { return false; }
  // Puts what was written in place. Returns "" or the reason it could not be written.
  virtual std::string Finish() = 0;
};

}  // namespace glowreel
