#pragma once

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "core/playback.h"
#include "dots/picture_dots.h"
#include "dots/text_frames.h"
#include "live/stage.h"
#include "player/movie_file.h"
#include "player/movie_report.h"

// The frames of each kind of item, for the stage.
namespace glowreel::live {

// A movie's frames on every dot, drawn from its cells as the player draws them; each report of
// its lines once while it is shown.
class MovieDots : public DotSource {
 public:
  MovieDots(LineList lines, ReportSink report)
      : lines_(std::move(lines)), report_(std::move(report)) {}
  void Rewind() override { next_ = 0; }
  bool Next(DotFrame& frame) override;

 private:
  LineList lines_;
  ReportSink report_;
  std::set<std::pair<int32_t, std::size_t>> told_;
  std::size_t next_ = 0;
  int32_t duration_ = 0;
  CellGrid cells_{};
  PixelBuffer pixels_{};
};

// A clock: a frame for each second, held until the next one begins.
class ClockDots : public DotSource {
 public:
  ClockDots(std::string timeFormat, std::string dateFormat, std::function<std::tm()> local,
            std::function<int64_t()> msIntoSecond);
  void Rewind() override {}
  bool Next(DotFrame& frame) override;

 private:
  std::string time_, date_;
  std::function<std::tm()> local_;
  std::function<int64_t()> msIntoSecond_;
};

// How items are opened: stored media by the path `where` gives a name, pictures with `options`,
// a still picture or text held its item's time or else `stillMs`; reports of what is shown go
// to the stage's report.
struct ItemSettings {
  std::function<std::string(const std::string& source)> where;
  PictureOptions options;
  int32_t stillMs = 5000;
  std::function<void(const Item&, const std::string&)> report;
};
Opener MakeOpener(ItemSettings settings);

// Stored pictures and movies by name, each as it shows some time after it began, over and over;
// for other programs' screens that show them. A name that cannot be opened is tried again after
// a while, so that one stored later appears.
class MediaAtTime {
 public:
  static constexpr std::size_t kKept = 8;  // opened at once
  static constexpr int64_t kRetryMs = 2000;

  MediaAtTime(Opener open, std::function<int64_t()> nowMs)
      : open_(std::move(open)), nowMs_(std::move(nowMs)) {}
  const DotFrame* At(const std::string& name, int64_t ms);

 private:
  struct Clip {
    std::unique_ptr<DotSource> source;
    DotFrame frame;
    int64_t fromMs = 0, untilMs = -1;  // the frame's time; -1 before the first
    int64_t passFromMs = 0;
    int64_t failedAtMs = -1;
  };
  bool Advance(Clip& clip, int64_t ms);
  Opener open_;
  std::function<int64_t()> nowMs_;
  std::map<std::string, Clip> clips_;
};

// A text item's frames: held its time (or `stillMs`) where it stands still, stepped at its
// scroll speed where it moves; the player's text drawing, also for previews.
TextFrames TextItemFrames(const Item& item, int32_t stillMs);

}  // namespace glowreel::live
