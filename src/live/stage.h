#pragma once

#include <cstdint>
#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/playback.h"
#include "dots/dot_frame.h"
#include "live/content.h"

// What the live display shows, slice by slice: the playlist's items in turn, messages on top of
// them by priority, the schedule's brightness and power over both. Other programs change it
// through the event loop while a frame is held; only the stage writes to the display.
namespace glowreel::live {

// Opens an item's frames, or says why it cannot be shown.
using Opener = std::function<std::unique_ptr<DotSource>(const Item& item, std::string& why)>;

// Screens other programs keep on the display: whether any wait, and their frames.
class ScreenSource {
 public:
  virtual ~ScreenSource() = default;
  // Whether there is a screen to show: an alert one, or any.
  virtual bool Waiting(bool alert) = 0;
  // The screens' frames as they take turns: while an alert one stands (`alert`); or, `once`,
  // until each has had its turn, or else while there are any.
  virtual std::unique_ptr<DotSource> Open(bool alert, bool once) = 0;
  // The display shows something else now.
  virtual void Away() = 0;
  // The name of the screen shown, for the state.
  virtual std::string Name() const = 0;
};

struct Counters {
  uint64_t shown = 0;    // messages whose first showing began
  uint64_t expired = 0;  // dropped before they were shown
  uint64_t refused = 0;  // not taken: the queue was full
};

// Where the stage reads the time: CLOCK_MONOTONIC milliseconds, and the local wall clock.
struct StageClock {
  std::function<int64_t()> monotonicMs;
  std::function<std::tm()> local;
};
StageClock SystemClock();

class Stage {
 public:
  // Messages waiting at most; a message is kept this long by default before it expires.
  static constexpr std::size_t kQueueLimit = 1000;
  static constexpr int64_t kDefaultLifetimeMs = 10 * 60 * 1000;

  // Shows on `pb`, the display brought up at `level`.
  Stage(Playback& pb, Opener open, StageClock clock, int16_t level);
  ~Stage();
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  // Queues a message; its id, or 0 when the queue is full (counted as refused).
  uint64_t Post(Message message);
  // Takes a waiting or showing message away; false when there is none of that id.
  bool Delete(uint64_t id);
  // `once`: its items are played through one time, then the display waits for messages.
  void SetPlaylist(Playlist playlist, bool once = false);
  const Playlist& CurrentPlaylist() const { return playlist_; }
  // The playlist's item `index` next, at once where the playlist is on the display; false where
  // there is no such item.
  bool PlayItem(std::size_t index);
  // Act at the next slice, and hold until the schedule's window changes.
  void SetBrightness(int16_t level);
  void SetPower(bool on);
  // Other programs' screens, shown where `place` says; `screens` outlives the stage.
  void SetScreens(ScreenSource* screens, ScreensPlace place);
  // They changed: what shows them is drawn again at once.
  void ScreensChanged();

  // Shows until the program exits: brought up, it clears the display and plays; the caller fades
  // out. Runs the platform's pauses, during which the setters above are called.
  void Run();

  // What the state tells.
  struct Now {
    std::string source;  // "playlist", "message", "screens" or "" where nothing is shown
    std::optional<Item> item;
    std::optional<uint64_t> messageId;
    int playlistIndex = -1;
  };
  Now Showing() const;
  std::vector<Message> Queue() const { return {queue_.begin(), queue_.end()}; }
  const Counters& Tally() const { return counters_; }
  int16_t Level() const { return level_; }
  bool On() const { return on_; }
  // The dots the display shows now.
  const DotFrame& Shown() const { return shown_; }

  std::function<void()> onChange;                // what the state tells has changed
  std::function<void(const DotFrame&)> onFrame;  // a frame has been sent
  std::function<void(const Item&, const std::string&)> onReport;  // an item could not be shown
  std::function<void(const Message&)> onDone;  // a message leaves: shown, deleted or expired

 private:
  struct Turn;
  Turn* Top();
  bool StartNext();
  bool StartScreens(bool alert);
  void PlayFrom(std::size_t index);
  bool ScreensFirst();
  bool ShowNext(Turn& run);
  void Hold(Turn& run);
  bool MustBreak(const Turn& run) const;
  void Finish();
  void ApplyControls();
  void ExpireMessages();
  void Send(const DotFrame& frame, bool partial);
  void IdleSlice();
  void Changed();
  void Wake();
  void Done(const Message& message);

  Playback& pb_;
  Opener open_;
  StageClock clock_;
  Playlist playlist_;
  std::size_t playlistNext_ = 0;
  bool once_ = false;  // the playlist ends after its last item
  std::size_t failedStarts_ = 0;
  std::vector<std::unique_ptr<Turn>> stack_;  // the top is on screen, the rest interrupted
  std::deque<Message> queue_;                 // alerts first, each priority in order of posting
  uint64_t nextId_ = 1;
  Counters counters_;
  int16_t baseLevel_;
  int16_t level_;
  bool on_ = true;
  std::optional<int16_t> levelAsked_;
  std::optional<bool> powerAsked_;
  int window_ = -2;        // the schedule's window in force (-1 none), -2 before the first look
  bool wake_ = false;      // something changed while a frame was held
  int32_t sinceLook_ = 0;  // slices held since the schedule and lifetimes were looked at
  DotFrame shown_;
  bool sent_ = false;
  ScreenSource* screens_ = nullptr;
  ScreensPlace place_ = ScreensPlace::kTurns;
  bool screensNext_ = false;   // in turns: the screens come after the playlist's item
  bool screensShown_ = false;  // what the display shows is theirs
  bool redraw_ = false;        // they changed while a frame of theirs was held
};

}  // namespace glowreel::live
