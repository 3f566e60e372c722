#include "lcdproc/screen_show.h"

#include <algorithm>
#include <set>
#include <utility>

namespace glowreel::lcdproc {

namespace {

const Screen* Find(const std::vector<ClientScreens>& clients, const ScreenKey& key) {
  for (const ClientScreens& client : clients) {
    if (client.client != key.client) continue;
    for (const Screen& screen : *client.screens)
      if (screen.id == key.id) return &screen;
  }
  return nullptr;
}

}  // namespace

// One turn of the screens on the display.
class ScreenShow::Frames : public DotSource {
 public:
  Frames(ScreenShow& show, bool alert, bool once) : show_(show), alert_(alert), once_(once) {}
  void Rewind() override {}
  bool Next(DotFrame& frame) override {
    const Look look = show_.LookNow();
    if (!look.screen || (alert_ && look.screen->priority < Priority::kAlert)) return false;
    // Once round: a screen's second turn is the next turn's first.
    if (once_ && look.turnMs != turnMs_ && !seen_.insert({look.key.client, look.key.id}).second)
      return false;
    turnMs_ = look.turnMs;
    frame = show_.Show(look);
    return true;
  }

 private:
  ScreenShow& show_;
  bool alert_, once_;
  std::set<std::pair<uint64_t, std::string>> seen_;
  int64_t turnMs_ = -1;
};

ScreenShow::ScreenShow(ScreenFeed feed, std::function<int64_t()> nowMs, PictureOf pictureOf)
    : feed_(std::move(feed)), nowMs_(std::move(nowMs)), pictureOf_(std::move(pictureOf)) {}

bool ScreenShow::Waiting(bool alert) {
  const Priority least = alert ? Priority::kAlert : Priority::kBackground;
  for (const ClientScreens& client : feed_.screens())
    for (const Screen& screen : *client.screens)
      if (screen.priority >= least) return true;
  return false;
}

std::unique_ptr<DotSource> ScreenShow::Open(bool alert, bool once) {
  return std::make_unique<Frames>(*this, alert, once);
}

void ScreenShow::Away() {
  rotation_.Leave(nowMs_());
  if (visible_ && Find(feed_.screens(), *visible_))
    feed_.tell(visible_->client, "ignore " + visible_->id);
  visible_.reset();
}

ScreenShow::Look ScreenShow::LookNow() {
  const int64_t now = nowMs_();
  const Rotation::Turn turn = rotation_.At(now, feed_.screens());
  for (const ScreenKey& key : turn.timedOut) feed_.remove(key);
  Look look;
  if (!turn.shown || !(look.screen = Find(feed_.screens(), *turn.shown))) {
    name_.clear();
    return look;
  }
  look.key = *turn.shown;
  look.turnMs = turn.sinceMs;
  look.endsMs = turn.endsMs;
  look.onMs = look.key == visible_ ? now - visibleSince_ : 0;
  return look;
}

DotFrame ScreenShow::Show(const Look& look) {
  const int64_t now = nowMs_();
  if (look.key != visible_) {
    if (visible_ && Find(feed_.screens(), *visible_))
      feed_.tell(visible_->client, "ignore " + visible_->id);
    feed_.tell(look.key.client, "listen " + look.key.id);
    visible_ = look.key;
    visibleSince_ = now;
  }
  name_ = look.screen->name.empty() ? look.screen->id : look.screen->name;
  DotFrame frame = DrawScreen(*look.screen, look.onMs, pictureOf_);
  // Drawn again when something on it moves, at its turn's end, and every 1/8 s besides.
  const int64_t untilEnd = std::max<int64_t>(kSliceMs, look.endsMs - now);
  frame.slices = static_cast<int32_t>(
      std::min<int64_t>(Moves(*look.screen) ? kRedrawMs : kStillSlices * kSliceMs, untilEnd) /
      kSliceMs);
  return frame;
}

}  // namespace glowreel::lcdproc
