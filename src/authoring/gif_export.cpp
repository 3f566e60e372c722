#include "authoring/gif_export.h"

#include "dots/picture_reader.h"
#include "platform/qt/qt_pictures.h"

#include <optional>

#include "authoring/gif_writer.h"
#include "core/playback.h"
#include "platform/exit_signals.h"
#include "platform/platform.h"
#include "platform/port/display_model.h"
#include "platform/port/port.h"
#include "platform/port/qt/display_render.h"
#include "player/session.h"

namespace glowreel {

namespace {

// What the display showed, and for how long.
struct Shot {
  DisplaySnapshot look;
  int64_t holdMs = 0;
};

bool SameLook(const DisplaySnapshot& a, const DisplaySnapshot& b) {
  return a.lit == b.lit && a.on == b.on && a.brightness == b.brightness;
}

// Plays the movie unseen: waits cost no time and only lengthen the shot on the display; a new
// shot begins whenever the display changed before a wait, and the one before goes to the GIF.
class UnseenPlayback : public Platform, public PlayerWindow, public DisplayView {
 public:
  UnseenPlayback(PictureSink& gif, const std::function<void(const std::string&)>& warn,
                 const ExportControl& control)
      : gif_(gif), warn_(warn), control_(control) {}

  Playback playback;

  // The platform: a clock that costs nothing.
  void Sleep(int32_t milliseconds) override {
    if (shot_) shot_->holdMs += milliseconds;
  }
  // An exit signal, a stop asked or a full sink ends the playing, and nothing is written.
  void DoEvents() override {
    if (!ExitSignalPending() && !stopped_ && !gif_.Full()) return;
    playback.bPlaying = false;
    playback.bExiting = true;
  }
  bool Stopped() const { return stopped_; }
  void MsgBox(const std::string& text, const std::string&) override { warn_(text); }
  void Beep() override {}

  // The window: played once; reports go to the warnings.
  int RepeatValue() const override { return 0; }
  void SetGoCaption(const std::string&) override {}
  void Report(const MovieReport& report) override {
    warn_(std::to_string(report.error.Number()) + " - " + report.error.Description());
  }
  void FrameShown(std::size_t frame) override {
    if (!playing_) shot_.reset();  // what showed before the first frame is not the movie
    playing_ = true;
    stopped_ = stopped_ || (control_.going && !control_.going(frame));
  }

  // The display's view.
  void Settled(const DisplayModel& model) override {
    const auto versions = std::make_pair(model.ImageVersion(), model.LookVersion());
    if (shot_ && versions == versions_) return;  // most waits follow no change
    versions_ = versions;
    const DisplaySnapshot look = DisplaySnapshot::Of(model);
    if (shot_ && SameLook(shot_->look, look)) return;
    Finish();
    shot_ = Shot{look, 0};
  }

  // The last shot goes out; a frame that never paused was never settled, so it has none.
  void Finish() {
    if (shot_ && shot_->holdMs > 0) gif_.Add(Scaled(RenderDisplay(shot_->look)), shot_->holdMs);
    shot_.reset();
  }

 private:
  QImage Scaled(const QImage& picture) const {
    if (control_.scale <= 1) return picture;
    return picture.scaled(picture.size() * control_.scale, Qt::IgnoreAspectRatio,
                          Qt::FastTransformation);
  }

  PictureSink& gif_;
  const std::function<void(const std::string&)>& warn_;
  const ExportControl& control_;
  std::optional<Shot> shot_;
  bool stopped_ = false;
  std::pair<uint64_t, uint64_t> versions_;
  bool playing_ = false;
};

// Shows the model through a view that outlives the sink.
class ViewThrough : public DisplayView {
 public:
  explicit ViewThrough(DisplayView& view) : view_(view) {}
  void Settled(const DisplayModel& model) override { view_.Settled(model); }

 private:
  DisplayView& view_;
};

}  // namespace

std::string ExportGif(const std::string& moviePath, const std::string& gifPath, bool repeat,
                      const std::function<void(const std::string&)>& warn,
                      const PictureOptions& pictures, const ExportControl& control) {
  const QImage blank = RenderDisplay(DisplaySnapshot{});
  const int scale = std::max(1, control.scale);
  GifWriter gif(gifPath, blank.width() * scale, blank.height() * scale, DisplayPalette(), repeat);
  return ExportPictures(moviePath, gif, warn, pictures, control);
}

std::string ExportPictures(const std::string& moviePath, PictureSink& gif,
                           const std::function<void(const std::string&)>& warn,
                           const PictureOptions& pictures, const ExportControl& control) {
  UnseenPlayback unseen(gif, warn, control);
  PortContext port;
  port.Add(MakeDisplayModelSink(std::make_unique<ViewThrough>(unseen), kFirstParallelPort));
  Platform* const platform = InstallPlatform(&unseen);
  PortContext* const previous = InstallPort(&port);
  if (KindOfFile(moviePath) == FileKind::kMovie) {
    PlaySession(unseen.playback, unseen, moviePath, /*fadeOut=*/false);
  } else {  // a picture, on every dot as the player shows it
    QtPictureFrames frames(moviePath, pictures, *SliceCount(kStillPictureMs));
    PlaySession(unseen.playback, unseen, frames, /*fadeOut=*/false);
  }
  unseen.Finish();
  InstallPort(previous);
  InstallPlatform(platform);
  if (ExitSignalPending()) return "stopped by a signal before it was whole";
  if (unseen.Stopped()) return kExportStopped;
  if (gif.Frames() == 0) return "the movie shows no frame that lasts";
  return gif.Finish();
}

}  // namespace glowreel
