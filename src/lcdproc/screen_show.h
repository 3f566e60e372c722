#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lcdproc/draw_screen.h"
#include "lcdproc/rotation.h"
#include "live/stage.h"

// lcdproc's clients' screens as one source of the live display: they take turns as lcdproc's
// server turns them, and each client hears "listen" and "ignore" as its screens come and go on
// the display itself.
namespace glowreel::lcdproc {

// What the show needs of the server that keeps the clients.
struct ScreenFeed {
  std::function<std::vector<ClientScreens>()> screens;
  std::function<void(uint64_t client, const std::string& line)> tell;
  std::function<void(const ScreenKey& screen)> remove;  // its timeout ran out
};

class ScreenShow : public live::ScreenSource {
 public:
  // A screen that moves not is drawn again every 1/8 s, as lcdproc's server draws.
  static constexpr int32_t kStillSlices = 125 / kSliceMs;

  ScreenShow(ScreenFeed feed, std::function<int64_t()> nowMs, PictureOf pictureOf);

  bool Waiting(bool alert) override;
  std::unique_ptr<DotSource> Open(bool alert, bool once) override;
  void Away() override;
  std::string Name() const override { return name_; }

  // The screen to show now, and how long it has been on; nothing where there is none.
  struct Look {
    const Screen* screen = nullptr;
    ScreenKey key;
    int64_t turnMs = 0;  // when its turn began
    int64_t endsMs = 0;  // when it ends or times out
    int64_t onMs = 0;    // how long it has been on the display
  };
  Look LookNow();
  // Its frame, held until it must be drawn again; its client hears "listen" as it first shows,
  // the client of the one before "ignore".
  DotFrame Show(const Look& look);

 private:
  class Frames;
  ScreenFeed feed_;
  std::function<int64_t()> nowMs_;
  PictureOf pictureOf_;
  Rotation rotation_;
  std::optional<ScreenKey> visible_;  // what the display shows, its client told "listen"
  int64_t visibleSince_ = 0;
  std::string name_;
};

}  // namespace glowreel::lcdproc
