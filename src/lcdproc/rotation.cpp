#include "lcdproc/rotation.h"

#include <algorithm>

namespace glowreel::lcdproc {

namespace {

constexpr int64_t kEighthMs = 125;

bool Rotates(Priority priority) {
  return priority == Priority::kBackground || priority == Priority::kInfo ||
         priority == Priority::kForeground;
}

}  // namespace

Rotation::Turn Rotation::At(int64_t nowMs, const std::vector<ClientScreens>& clients) {
  if (shown_) shownMs_[{shown_->client, shown_->id}] += nowMs - counted_;
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
  if (current == candidates.end()) {
    shown_ = candidates.empty() ? std::nullopt : std::optional(candidates.front().first);
    since_ = nowMs;
  } else if (Rotates(highest)) {
    const int eighths = current->second->durationEighths > 0 ? current->second->durationEighths
                                                             : kDefaultDurationEighths;
    if (nowMs - since_ >= eighths * kEighthMs) {
      const auto next = current + 1 == candidates.end() ? candidates.begin() : current + 1;
      shown_ = next->first;
      since_ = nowMs;
    }
  }
  turn.shown = shown_;
  return turn;
}

}  // namespace glowreel::lcdproc
