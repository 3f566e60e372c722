#include "authoring/gif_export.h"

#include <gif_lib.h>
#include <unistd.h>

#include <map>
#include <vector>

#include "authoring/movie_writer.h"
#include "authoring/quiet_platform.h"
#include "core/shared_state.h"
#include "platform/port/display_model.h"
#include "platform/port/qt/display_render.h"
#include "player/play_movie.h"
#include "vfd/vfd.h"

namespace glowreel {

namespace {

constexpr int32_t kPortBase = 888;

struct Shot {
  DisplaySnapshot look;
  int32_t holdMs = 0;
};

// A new shot whenever the display changed before a wait.
class ShotTaker : public DisplayView {
 public:
  explicit ShotTaker(std::vector<Shot>& shots) : shots_(shots) {}
  void Settled(const DisplayModel& model) override {
    const DisplaySnapshot look = DisplaySnapshot::Of(model);
    const Shot* last = shots_.empty() ? nullptr : &shots_.back();
    if (last && last->look.lit == look.lit && last->look.on == look.on &&
        last->look.brightness == look.brightness)
      return;
    shots_.push_back({look, 0});
  }

 private:
  std::vector<Shot>& shots_;
};

std::vector<Shot> PlayUnseen(const std::string& moviePath,
                             const std::function<void(const std::string&)>& warn) {
  std::vector<Shot> shots;
  QuietPlatform clock;  // waits cost no time; they only lengthen the shot on the display
  clock.onSleep = [&](int32_t ms) {
    if (!shots.empty()) shots.back().holdMs += ms;
  };
  clock.onReport = warn;
  std::vector<std::unique_ptr<PortSink>> sinks;
  sinks.push_back(MakeDisplayModelSink(std::make_unique<ShotTaker>(shots), kPortBase));
  UsePortSinks(std::move(sinks));
  // As a person would: open the window, load the movie, then play.
  lPortBase = kPortBase;
  InitDisplay();
  SetBrightness(15);
  ClearDisplay();
  shots.clear();  // what showed before Play is not the movie
  sMovieFile = moviePath;
  bPlaying = true;
  PlayMovie();
  UsePortSinks({});
  return shots;  // a frame that never paused was never settled, so it has no shot
}

std::string GifError(int code) {
  const char* text = GifErrorString(code);
  return text ? text : "cannot write the GIF";
}

std::string WriteGif(const std::string& path, const std::vector<Shot>& shots, bool repeat) {
  std::vector<QImage> pictures;
  std::map<QRgb, GifPixelType> index;
  for (const Shot& shot : shots) {
    pictures.push_back(RenderDisplay(shot.look));
    const QImage& picture = pictures.back();
    for (int y = 0; y < picture.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
      for (int x = 0; x < picture.width(); ++x)
        if (index.size() < 256) index.try_emplace(line[x], static_cast<GifPixelType>(index.size()));
    }
  }
  int mapSize = 2;
  while (mapSize < static_cast<int>(index.size())) mapSize *= 2;
  ColorMapObject* map = GifMakeMapObject(mapSize, nullptr);
  for (const auto& [rgb, i] : index)
    map->Colors[i] = {static_cast<GifByteType>(qRed(rgb)), static_cast<GifByteType>(qGreen(rgb)),
                      static_cast<GifByteType>(qBlue(rgb))};
  const std::string temporary = path + ".part";
  int error = 0;
  GifFileType* gif = EGifOpenFileName(temporary.c_str(), false, &error);
  if (!gif) {
    GifFreeMapObject(map);
    return GifError(error);
  }
  EGifSetGifVersion(gif, true);
  const int width = pictures.front().width(), height = pictures.front().height();
  bool good = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
  if (repeat) {  // the NETSCAPE2.0 block: loop for ever
    const GifByteType loops[] = {1, 0, 0};
    good = good && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK &&
           EGifPutExtensionBlock(gif, 3, loops) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
  }
  std::vector<GifPixelType> line(static_cast<std::size_t>(width));
  for (std::size_t k = 0; good && k < shots.size(); ++k) {
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, shots[k].holdMs / 10,
                                 NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    good = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK &&
           EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; good && y < height; ++y) {
      const auto* pixels = reinterpret_cast<const QRgb*>(pictures[k].constScanLine(y));
      for (int x = 0; x < width; ++x) line[x] = index[pixels[x]];
      good = EGifPutLine(gif, line.data(), width) == GIF_OK;
    }
  }
  const int failure = good ? 0 : gif->Error;
  const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
  GifFreeMapObject(map);
  if (!good || !closed) {
    unlink(temporary.c_str());
    return GifError(good ? error : failure);
  }
  return MoveIntoPlace(temporary, path);
}

}  // namespace

std::string ExportGif(const std::string& moviePath, const std::string& gifPath, bool repeat,
                      const std::function<void(const std::string&)>& warn) {
  const std::vector<Shot> shots = PlayUnseen(moviePath, warn);
  if (shots.empty()) return "the movie shows no frame that lasts";
  return WriteGif(gifPath, shots, repeat);
}

}  // namespace glowreel
