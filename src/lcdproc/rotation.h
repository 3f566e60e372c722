#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lcdproc/screens.h"

// Which of the clients' screens is shown, as lcdproc's server chooses: only screens of the
// highest priority class present; background, info and foreground ones take turns, each for its
// duration; alert and input ones do not. A screen shown for its timeout in all is deleted.
namespace glowreel::lcdproc {

// A screen's turn when its client gives no duration: four seconds.
inline constexpr int kDefaultDurationEighths = 32;

struct ScreenKey {
  uint64_t client;
  std::string id;
  bool operator==(const ScreenKey&) const = default;
};

// Each client's screens, in the order the clients came and the screens were added.
struct ClientScreens {
  uint64_t client;
  const std::vector<Screen>* screens;
};

class Rotation {
 public:
  struct Turn {
    std::optional<ScreenKey> shown;
    int64_t sinceMs = 0;              // when its turn began
    int64_t endsMs = INT64_MAX;       // when it ends or times out, as things stand
    std::vector<ScreenKey> timedOut;  // for the caller to delete; already left out
  };
  Turn At(int64_t nowMs, const std::vector<ClientScreens>& clients);
  // The display shows something else from now: no time counts until the next look, and the
  // screen shown then has its turn whole.
  void Leave(int64_t nowMs);

 private:
  std::optional<ScreenKey> shown_;
  int64_t since_ = 0;    // when the shown screen's turn began
  int64_t counted_ = 0;  // how far its time shown is counted
  bool away_ = false;
  std::map<std::pair<uint64_t, std::string>, int64_t> shownMs_;
};

}  // namespace glowreel::lcdproc
