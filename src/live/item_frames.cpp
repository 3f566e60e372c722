#include "live/item_frames.h"

#include <time.h>

#include "dots/picture_frames.h"
#include "dots/picture_reader.h"
#include "dots/text_frames.h"
#include "live/clock_face.h"
#include "player/frame.h"
#include "player/play_movie.h"

namespace glowreel::live {

bool MovieDots::Next(DotFrame& frame) {
  const auto tell = [&](const MovieReport& what) {
    if (told_.insert({what.error.Number(), what.line}).second) report_(what);
  };
  for (std::size_t i = next_; i < lines_.size(); ++i) {
    if (!IsFrameHeader(lines_[i])) continue;
    next_ = i + kFrameLines;
    ReadFrame(lines_, i, duration_, cells_, tell);
    DrawCells(cells_, pixels_, [&](int, int y) {
      const std::size_t row = i + 1 + static_cast<std::size_t>(y);
      tell({RunTimeError(kErrTypeMismatch), lines_.FileLine(row < lines_.size() ? row : i)});
    });
    for (int x = 0; x < kPixelColumns; ++x)
      for (int y = 0; y < kPixelRows; ++y) frame.At(x, y) = pixels_[x][y] != 0;
    const std::optional<int32_t> slices = SliceCount(duration_);
    if (!slices) tell({RunTimeError(kErrOverflow), lines_.FileLine(i)});
    frame.slices = slices.value_or(0);
    return true;
  }
  next_ = lines_.size();
  return false;
}

ClockDots::ClockDots(std::string timeFormat, std::string dateFormat, std::function<std::tm()> local,
                     std::function<int64_t()> msIntoSecond)
    : time_(std::move(timeFormat)),
      date_(std::move(dateFormat)),
      local_(std::move(local)),
      msIntoSecond_(std::move(msIntoSecond)) {}

bool ClockDots::Next(DotFrame& frame) {
  DrawClock(time_, date_, local_(), frame);
  // Woken just after the second turns, so that the face shows the new one.
  frame.slices =
      std::max<int32_t>(1, static_cast<int32_t>((1000 - msIntoSecond_()) / kSliceMs) + 1);
  return true;
}

const DotFrame* MediaAtTime::At(const std::string& name, int64_t ms) {
  auto found = clips_.find(name);
  if (found != clips_.end() && found->second.failedAtMs >= 0 &&
      nowMs_() - found->second.failedAtMs >= kRetryMs) {
    clips_.erase(found);
    found = clips_.end();
  }
  if (found == clips_.end()) {
    if (clips_.size() >= kKept) clips_.erase(clips_.begin());
    Item item;
    item.kind = ItemKind::kPicture;
    item.source = name;
    std::string why;
    Clip clip;
    clip.source = open_(item, why);
    if (!clip.source) clip.failedAtMs = nowMs_();
    found = clips_.emplace(name, std::move(clip)).first;
  }
  Clip& clip = found->second;
  if (!clip.source || !Advance(clip, ms)) {
    if (clip.failedAtMs < 0) clip.failedAtMs = nowMs_();
    return nullptr;
  }
  return &clip.frame;
}

// To the frame shown at `ms`, from the start again where `ms` is before the frame; false where
// a pass shows nothing.
bool MediaAtTime::Advance(Clip& clip, int64_t ms) {
  if (ms < clip.fromMs) {
    clip.source->Rewind();
    clip.fromMs = clip.passFromMs = 0;
    clip.untilMs = -1;
  }
  bool shownInPass = clip.untilMs >= 0;
  while (ms >= clip.untilMs) {
    clip.frame = DotFrame();
    if (!clip.source->Next(clip.frame)) {
      const int64_t passMs = clip.untilMs - clip.passFromMs;
      if (!shownInPass) return false;
      if (passMs <= 0) return clip.untilMs = INT64_MAX, true;  // stands on its last frame
      clip.source->Rewind();
      shownInPass = false;
      clip.untilMs += (ms - clip.untilMs) / passMs * passMs;  // whole passes missed, skipped
      clip.passFromMs = clip.untilMs;
      continue;
    }
    shownInPass = true;
    clip.fromMs = std::max<int64_t>(clip.untilMs, 0);
    clip.untilMs = clip.fromMs + int64_t{clip.frame.slices} * kSliceMs;
  }
  return true;
}

namespace {

int64_t MsIntoSecond() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_nsec / 1000000;
}

std::tm LocalTime() {
  const time_t now = time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace

TextFrames TextItemFrames(const Item& item, int32_t stillMs) {
  return TextFrames(item.text, *SliceCount(item.durationMs ? item.durationMs : stillMs),
                    item.scrollMs ? ScrollSlices(item.scrollMs) : 0);
}

Opener MakeOpener(ItemSettings settings) {
  return [settings](const Item& item, std::string& why) -> std::unique_ptr<DotSource> {
    const int32_t still = *SliceCount(item.durationMs ? item.durationMs : settings.stillMs);
    switch (item.kind) {
      case ItemKind::kText:
        return std::make_unique<TextFrames>(TextItemFrames(item, settings.stillMs));
      case ItemKind::kClock:
        return std::make_unique<ClockDots>(item.text, item.date, LocalTime, MsIntoSecond);
      case ItemKind::kScreens:
        why = "other programs' screens are not an item";
        return nullptr;
      case ItemKind::kMovie:
      case ItemKind::kPicture:
        break;
    }
    const std::string path = settings.where(item.source);
    RunTimeError error(0);
    if (KindOfFile(path) == FileKind::kMovie) {
      MovieLines movie = ReadMovieFile(path);
      if (!movie.error) {
        return std::make_unique<MovieDots>(std::move(movie.lines), [=](const MovieReport& what) {
          settings.report(item, "line " + std::to_string(what.line) + ": " +
                                    std::to_string(what.error.Number()) + " - " +
                                    what.error.Description());
        });
      }
      error = *movie.error;
    } else if (std::unique_ptr<PictureReader> reader = OpenPicture(path, error)) {
      return std::make_unique<PictureFrames>(std::move(reader), settings.options, still);
    }
    why = std::to_string(error.Number()) + " - " + error.Description();
    return nullptr;
  };
}

}  // namespace glowreel::live
