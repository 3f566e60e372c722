#include "live/stage.h"

#include <time.h>

#include <algorithm>
#include <utility>

#include "live/schedule.h"
#include "platform/platform.h"
#include "vfd/vfd.h"

namespace glowreel::live {

namespace {

// A clock given no time of its own stands a minute before the playlist goes on.
constexpr int32_t kClockSlices = 6000;
// Where no item of the playlist could be opened, it is tried again after a second.
constexpr int32_t kRetrySlices = 100;
// An idle display that a change wakes waits this long at most.
constexpr int32_t kIdleMs = 1000;
constexpr int64_t kForever = INT64_MAX;
constexpr int32_t kSlicesPerSecond = 1000 / kSliceMs;
constexpr int32_t kLookSlices = kSlicesPerSecond / 10;

}  // namespace

StageClock SystemClock() {
  return {[] {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
          },
          [] {
            const time_t now = time(nullptr);
            std::tm local{};
            localtime_r(&now, &local);
            return local;
          }};
}

// One item or message being shown, or interrupted under another.
struct Stage::Turn {
  Item item;
  std::optional<Message> message;
  int playlistIndex = -1;
  std::unique_ptr<DotSource> source;
  int32_t passesLeft = 1;   // INT32_MAX: until its time is up
  int32_t slicesLeft = -1;  // of its time; -1 where it has none
  bool shownInPass = false;
  DotFrame frame;        // on the display, or under what interrupted it
  int32_t holdLeft = 0;  // of that frame
  bool resume = false;   // interrupted: its frame is sent again for what it had left
  bool ended = false;    // deleted, or its playlist replaced
  bool alert = false;    // an alert message or screen: interrupted by none
};

Stage::Stage(Playback& pb, Opener open, StageClock clock, int16_t level)
    : pb_(pb), open_(std::move(open)), clock_(std::move(clock)), baseLevel_(level), level_(level) {}

Stage::~Stage() = default;

uint64_t Stage::Post(Message message) {
  if (queue_.size() >= kQueueLimit) {
    ++counters_.refused;
    Changed();
    return 0;
  }
  message.id = nextId_++;
  const int64_t lifetime = message.lifetimeMs > 0 ? message.lifetimeMs : kDefaultLifetimeMs;
  message.expiresAtMs = clock_.monotonicMs() + lifetime;
  // Behind every message of its priority or a higher one.
  const auto place = std::find_if(queue_.begin(), queue_.end(), [&](const Message& waiting) {
    return waiting.priority < message.priority;
  });
  const uint64_t id = message.id;
  queue_.insert(place, std::move(message));
  Wake();
  Changed();
  return id;
}

bool Stage::Delete(uint64_t id) {
  const auto waiting = std::find_if(queue_.begin(), queue_.end(),
                                    [&](const Message& message) { return message.id == id; });
  if (waiting != queue_.end()) {
    Done(*waiting);
    queue_.erase(waiting);
    Changed();
    return true;
  }
  for (const auto& run : stack_) {
    if (run->message && run->message->id == id && !run->ended) {
      run->ended = true;
      Wake();
      return true;
    }
  }
  return false;
}

void Stage::SetPlaylist(Playlist playlist, bool once) {
  playlist_ = std::move(playlist);
  once_ = once;
  window_ = -2;
  PlayFrom(0);
}

bool Stage::PlayItem(std::size_t index) {
  if (index >= playlist_.items.size()) return false;
  PlayFrom(index);
  return true;
}

// The playlist goes on from `index` at once: the turn it has on the stage ends.
void Stage::PlayFrom(std::size_t index) {
  playlistNext_ = index;
  failedStarts_ = 0;
  for (const auto& run : stack_)
    if (run->playlistIndex >= 0) run->ended = true;
  Wake();
  Changed();
}

void Stage::SetBrightness(int16_t level) {
  levelAsked_ = level;
  Wake();
}

void Stage::SetPower(bool on) {
  powerAsked_ = on;
  Wake();
}

void Stage::SetScreens(ScreenSource* screens, ScreensPlace place) {
  screens_ = screens;
  place_ = place;
  Wake();
}

void Stage::ScreensChanged() {
  redraw_ = true;
  Wake();
}

Stage::Now Stage::Showing() const {
  Now now;
  if (stack_.empty()) return now;
  const Turn& top = *stack_.back();
  now.source = top.message                           ? "message"
               : top.item.kind == ItemKind::kScreens ? "screens"
                                                     : "playlist";
  now.item = top.item;
  if (top.item.kind == ItemKind::kScreens) now.item->text = screens_->Name();
  if (top.message) now.messageId = top.message->id;
  now.playlistIndex = top.playlistIndex;
  return now;
}

void Stage::Run() {
  ClearDisplay(pb_);
  while (!pb_.bExiting) {
    ApplyControls();
    ExpireMessages();
    Turn* top = on_ ? Top() : nullptr;
    if (!top) {
      IdleSlice();
    } else if (ShowNext(*top)) {
      Hold(*top);
    } else {
      Finish();
    }
  }
  stack_.clear();
}

// An alert waiting, a message before a screen, interrupts anything but an alert; with nothing
// on screen the first message waiting comes, or else the playlist's next item or the screens.
Stage::Turn* Stage::Top() {
  while (!stack_.empty() && stack_.back()->ended) Finish();
  if (stack_.empty() || !stack_.back()->alert) {
    if (!queue_.empty() && queue_.front().priority == Priority::kAlert) {
      StartNext();
    } else if (screens_ && screens_->Waiting(true)) {
      StartScreens(true);
    }
  }
  if (stack_.empty() && !StartNext()) return nullptr;
  return stack_.empty() ? nullptr : stack_.back().get();
}

// Whether the screens come before the playlist's next item.
bool Stage::ScreensFirst() {
  if (!screens_ || !screens_->Waiting(false)) return false;
  return place_ == ScreensPlace::kFirst || (place_ == ScreensPlace::kTurns && screensNext_);
}

bool Stage::StartScreens(bool alert) {
  auto run = std::make_unique<Stage::Turn>();
  run->item.kind = ItemKind::kScreens;
  run->alert = alert;
  run->source = screens_->Open(alert, place_ != ScreensPlace::kFirst);
  screensNext_ = false;
  stack_.push_back(std::move(run));
  Changed();
  return true;
}

bool Stage::StartNext() {
  auto run = std::make_unique<Stage::Turn>();
  if (!queue_.empty()) {
    run->message = std::move(queue_.front());
    queue_.pop_front();
    run->item = run->message->content;
    run->alert = run->message->priority == Priority::kAlert;
    if (run->message->expiresAtMs != kForever) ++counters_.shown;
  } else if (ScreensFirst()) {
    return StartScreens(false);
  } else {
    const ScheduleWindow* window =
        window_ >= 0 ? &playlist_.schedule[static_cast<std::size_t>(window_)] : nullptr;
    const std::size_t count = playlist_.items.size();
    std::size_t tried = 0;
    while (tried < count && !Plays(window, static_cast<int>(playlistNext_ % count)))
      ++tried, ++playlistNext_;
    if (count == 0 || tried == count || failedStarts_ >= count)
      return screens_ && place_ != ScreensPlace::kAlerts && screens_->Waiting(false) &&
             StartScreens(false);
    run->playlistIndex = static_cast<int>(playlistNext_ % count);
    run->item = playlist_.items[static_cast<std::size_t>(run->playlistIndex)];
    playlistNext_ = (playlistNext_ + 1) % count;
    if (once_ && playlistNext_ == 0) playlist_.items.clear();
    screensNext_ = true;
  }
  std::string why;
  run->source = open_(run->item, why);
  if (!run->source) {
    if (onReport) onReport(run->item, why);
    if (run->playlistIndex >= 0) ++failedStarts_;
    Changed();
    return !queue_.empty() && StartNext();
  }
  const Item& item = run->item;
  run->passesLeft = item.passes ? item.passes : item.durationMs ? INT32_MAX : 1;
  run->slicesLeft = item.durationMs                 ? std::max(1, item.durationMs / kSliceMs)
                    : item.kind == ItemKind::kClock ? kClockSlices
                                                    : -1;
  stack_.push_back(std::move(run));
  Changed();
  return true;
}

// The run's next frame sent; false when it has ended.
bool Stage::ShowNext(Stage::Turn& run) {
  const bool screens = run.item.kind == ItemKind::kScreens;
  // A movie goes out write for write as the player sends it; the rest only where it changed.
  const bool partial = run.item.kind != ItemKind::kMovie;
  if (screensShown_ && !screens) screens_->Away();
  screensShown_ = screens;
  if (run.resume) {
    run.resume = false;
    Send(run.frame, partial);
    return true;
  }
  if (run.slicesLeft == 0) return false;
  DotFrame frame;
  while (!run.source->Next(frame)) {
    if (const std::optional<RunTimeError> error = run.source->TakeError(); error && onReport)
      onReport(run.item, std::to_string(error->Number()) + " - " + error->Description());
    // A pass that showed nothing would follow itself at once for ever.
    if (!run.shownInPass || --run.passesLeft <= 0) return false;
    run.shownInPass = false;
    run.source->Rewind();
  }
  run.shownInPass = true;
  if (run.playlistIndex >= 0) failedStarts_ = 0;
  run.frame = frame;
  run.holdLeft = run.slicesLeft >= 0 ? std::min(frame.slices, run.slicesLeft) : frame.slices;
  Send(frame, partial);
  return true;
}

// The frame's slices, each running the event loop; cut short where something must come before.
void Stage::Hold(Stage::Turn& run) {
  PauseBegins();
  if (run.holdLeft == 0) DoEvents();
  const bool precise = run.item.kind != ItemKind::kClock && run.item.kind != ItemKind::kScreens;
  if (run.item.kind == ItemKind::kScreens) redraw_ = false;
  while (run.holdLeft > 0 && !pb_.bExiting) {
    precise ? Sleep(kSliceMs) : Idle(kSliceMs);
    DoEvents();
    --run.holdLeft;
    if (run.slicesLeft > 0) --run.slicesLeft;
    // Controls act at once; the schedule and the messages' lifetimes are looked at each tenth.
    if (std::exchange(wake_, false) || ++sinceLook_ >= kLookSlices) {
      sinceLook_ = 0;
      ApplyControls();
      ExpireMessages();
      if (MustBreak(run)) {
        // Screens are drawn anew when they come back: they go on changing meanwhile.
        run.resume = run.holdLeft > 0 && !run.ended && run.item.kind != ItemKind::kScreens;
        return;
      }
      if (run.item.kind == ItemKind::kScreens && std::exchange(redraw_, false)) return;
    }
  }
}

bool Stage::MustBreak(const Stage::Turn& run) const {
  const bool alertWaits = (!queue_.empty() && queue_.front().priority == Priority::kAlert) ||
                          (screens_ && screens_->Waiting(true));
  return run.ended || (alertWaits && !run.alert) || !on_;
}

void Stage::Finish() {
  std::unique_ptr<Stage::Turn> done = std::move(stack_.back());
  stack_.pop_back();
  if (done->message && done->message->repeat > 1 && !done->ended) {
    Message again = std::move(*done->message);
    --again.repeat;
    again.expiresAtMs = kForever;  // shown once already: it no longer expires
    const auto place = std::find_if(queue_.begin(), queue_.end(), [&](const Message& waiting) {
      return waiting.priority <= again.priority;
    });
    queue_.insert(place, std::move(again));
  } else if (done->message) {
    Done(*done->message);
  }
  Changed();
}

// The schedule's window, and what was asked since, onto the display.
void Stage::ApplyControls() {
  const std::tm local = clock_.local();
  const ScheduleWindow* window = WindowAt(playlist_.schedule, local);
  const int index = window ? static_cast<int>(window - playlist_.schedule.data()) : -1;
  bool on = on_;
  int16_t level = level_;
  if (index != window_) {  // a new window: what was asked before gives way to it
    window_ = index;
    level = window && window->brightness ? *window->brightness : baseLevel_;
    on = !window || window->on;
    if (window_ >= 0) failedStarts_ = 0;
  }
  if (levelAsked_) level = *std::exchange(levelAsked_, std::nullopt);
  if (powerAsked_) on = *std::exchange(powerAsked_, std::nullopt);
  if (on != on_) {
    on_ = on;
    if (on) {
      DisplayOn(pb_);
      glowreel::SetBrightness(pb_, level);
      level_ = level;
      if (sent_) Send(shown_, false);
    } else {
      DisplayOff(pb_);
    }
    Changed();
  }
  if (level != level_) {
    level_ = level;
    if (on_) glowreel::SetBrightness(pb_, level);
    Changed();
  }
}

void Stage::ExpireMessages() {
  const int64_t now = clock_.monotonicMs();
  const auto before = queue_.size();
  std::erase_if(queue_, [&](const Message& message) {
    if (message.expiresAtMs > now) return false;
    Done(message);
    return true;
  });
  if (queue_.size() == before) return;
  counters_.expired += before - queue_.size();
  Changed();
}

// The frame into the pixel buffer and out: whole, or, for a clock, only the columns of each
// page that differ from what the display shows.
void Stage::Send(const DotFrame& frame, bool partial) {
  for (int x = 0; x < kPixelColumns; ++x)
    for (int y = 0; y < kPixelRows; ++y) pb_.pixelBuffer[x][y] = frame.At(x, y) ? kLit : 0;
  if (!partial || !sent_) {
    RefreshDisplay(pb_);
  } else {
    for (int16_t page = 0; page < kPages; ++page) {
      int first = kPixelColumns, last = -1;
      for (int x = 0; x < kPixelColumns; ++x)
        for (int y = page * kDotsPerPage; y < (page + 1) * kDotsPerPage; ++y)
          if (frame.At(x, y) != shown_.At(x, y)) first = std::min(first, x), last = x;
      if (last >= 0)
        RefreshColumns(pb_, page, static_cast<int16_t>(first), static_cast<int16_t>(last));
    }
  }
  shown_ = frame;
  sent_ = true;
  if (onFrame) onFrame(frame);
}

// Nothing to show: the display dark, and a slice of waiting; or, where a change can end the
// wait, up to a second of it (the schedule's minutes are looked at each second).
void Stage::IdleSlice() {
  if (std::exchange(screensShown_, false)) screens_->Away();
  if (on_ && (!sent_ || shown_.dots != DotFrame().dots)) Send(DotFrame(), false);
  const bool retry = failedStarts_ > 0;
  const bool woken = IdleWakes();
  const int32_t slices = woken || !retry ? 1 : kRetrySlices;
  for (int32_t slice = 0; slice < slices && !pb_.bExiting; ++slice) {
    Idle(woken ? kIdleMs : kSliceMs);
    DoEvents();
    if (std::exchange(wake_, false) || slice % kSlicesPerSecond == 0) ApplyControls();
    if (!queue_.empty() || !on_) break;
    if (screens_ && place_ != ScreensPlace::kAlerts && screens_->Waiting(false)) break;
  }
  if (retry) failedStarts_ = 0;
}

void Stage::Wake() {
  wake_ = true;
  WakeIdle();
}

void Stage::Done(const Message& message) {
  if (onDone) onDone(message);
}

void Stage::Changed() {
  if (onChange) onChange();
}

}  // namespace glowreel::live
