#include "ui/editor/movie_preview.h"

#include <QTemporaryDir>

#include "authoring/movie_writer.h"
#include "core/playback.h"
#include "platform/port/port.h"
#include "player/session.h"

namespace glowreel {

namespace {

// The preview playing now, for Stop to reach; one at a time.
Playback* running = nullptr;

// The frames are told apart by their order in a pass: the player walks them as the document
// found them, from `from` on.
class Previewer : public PlayerWindow {
 public:
  Previewer(int from, bool loop, const std::function<void(int)>& show)
      : from_(from), loop_(loop), show_(show) {}
  int RepeatValue() const override { return loop_ ? 1 : 0; }
  void SetGoCaption(const std::string&) override {}
  void Report(const MovieReport&) override {}  // the editor lists them already
  void FrameShown(std::size_t header) override {
    shown_ = header > lastHeader_ ? shown_ + 1 : 0;
    lastHeader_ = header;
    show_(from_ + shown_);
  }

 private:
  int from_;
  bool loop_;
  const std::function<void(int)>& show_;
  int shown_ = 0;
  std::size_t lastHeader_ = SIZE_MAX;
};

}  // namespace

void PlayPreview(const MovieDocument& document, int from, bool loop,
                 const std::function<void(int frame)>& show) {
  if (running) return;
  const std::vector<std::string> lines = document.LinesFrom(from);
  const QTemporaryDir folder;
  const std::string movie = folder.filePath("preview.grm").toStdString();
  if (!WriteMovieLines(movie, lines).empty()) return;
  PortContext port;
  port.Open("none", kFirstParallelPort);
  PortContext* const previous = InstallPort(&port);
  Previewer window(from, loop, show);
  Playback playback;
  running = &playback;
  PlaySession(playback, window, movie, /*fadeOut=*/false);
  running = nullptr;
  InstallPort(previous);
}

void StopPreview() {
  if (!running) return;
  running->bPlaying = false;
  running->bExiting = true;  // the pause running now ends at once
}

bool PreviewRunning() {
  return running != nullptr;
}

}  // namespace glowreel
