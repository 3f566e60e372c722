#include "lcdproc/rotation.h"

#include <algorithm>
#include <utility>

namespace glowreel::lcdproc {

namespace {

constexpr int64_t kEighthMs = 125;

bool Rotates(Priority priority) {
  return priority == Priority::kBackground || priority == Priority::kInfo ||
         priority == Priority::kForeground;
}

int64_t Duration(const Screen& screen) {
  return (screen.durationEighths > 0 ? screen.durationEighths : kDefaultDurationEighths) *
         kEighthMs;
}

}  // namespace

void Rotation::Leave(int64_t nowMs) {
  if (away_) return;
  if (shown_) shownMs_[{shown_->client, shown_->id}] += nowMs - counted_;
  away_ = true;
}

Rotation::Turn Rotation::At(int64_t nowMs, const std::vector<ClientScreens>& clients) {
  if (std::exchange(away_, false)) {
    since_ = nowMs;
  } else if (shown_) {
    shownMs_[{shown_->client, shown_->id}] += nowMs - counted_;
  }
  counted_ = nowMs;
  Turn turn;
  std::vector<std::pair<ScreenKey, const Screen*>> candidates;
  Priority highest = Priority::kHidden;
  std::map<std::pair<uint64_t, std::string>, int64_t> stillThere;
  for (const ClientScreens& client : clients) {
    for (const Screen& screen : *client.screens) {
      const auto key = std::make_pair(client.client, screen.id);
      const int64_t shownMs = shownMs_.count(key) ? shownMs_[key] : 0;
      stillThere[key] = shownMs;
      if (screen.timeoutEighths >= 0 && shownMs >= screen.timeoutEighths * kEighthMs) {
        turn.timedOut.push_back({client.client, screen.id});
        continue;
      }
      if (screen.priority == Priority::kHidden) continue;
      if (screen.priority > highest) candidates.clear(), highest = screen.priority;
      if (screen.priority == highest) candidates.push_back({{client.client, screen.id}, &screen});
    }
  }
  shownMs_ = std::move(stillThere);  // the time of screens gone is forgotten with them
  const auto current = std::find_if(candidates.begin(), candidates.end(),
                                    [&](const auto& c) { return shown_ && c.first == *shown_; });
  auto shown = current;
  if (current == candidates.end()) {
    shown = candidates.begin();
    since_ = nowMs;
  } else if (Rotates(highest) && nowMs - since_ >= Duration(*current->second)) {
    shown = current + 1 == candidates.end() ? candidates.begin() : current + 1;
    since_ = nowMs;
  }
  shown_ = shown == candidates.end() ? std::nullopt : std::optional(shown->first);
  if (shown_) {
    const Screen& screen = *shown->second;
    if (Rotates(highest)) turn.endsMs = since_ + Duration(screen);
    if (screen.timeoutEighths >= 0)
      turn.endsMs = std::min(turn.endsMs, nowMs + screen.timeoutEighths * kEighthMs -
                                              shownMs_[{shown_->client, shown_->id}]);
  }
  turn.shown = shown_;
  turn.sinceMs = since_;
  return turn;
}

}  // namespace glowreel::lcdproc
