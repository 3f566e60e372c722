#include "authoring/picture_cells.h"

#include <QImageReader>

#include "platform/exit_signals.h"
#include "platform/port/qt/display_render.h"
#include "platform/process_setup.h"
#include "player/frame.h"

#include <algorithm>
#include <cmath>

namespace glowreel {

Cells CellsOfPicture(const QImage& picture, const CellOptions& options) {
  // GlowReel's own look (a GIF it exported): each cell as its block's first dot shows it.
  if (const std::optional<DisplaySnapshot> own = SnapshotOfRender(picture)) {
    Cells cells{};
    for (int x = 0; x < kCellColumns; ++x)
      for (int y = 0; y < kCellRows; ++y)
        cells[x][y] = own->lit[y * kCellPitchY * kPixelColumns + x * kCellPitchX];
    return cells;
  }
  CellOptions fitted = options;
  if (picture.width() == kCellColumns && picture.height() == kCellRows) fitted.fit = Fit::kStretch;
  const std::vector<bool> lit =
      LightSpots(GreyOf(picture), kCellColumns, kCellRows, kCellPitchX, kCellPitchY, fitted);
  Cells cells{};
  for (int x = 0; x < kCellColumns; ++x)
    for (int y = 0; y < kCellRows; ++y)
      cells[x][y] = lit[static_cast<std::size_t>(x * kCellRows + y)];
  return cells;
}

QImage CellsLook(const Cells& cells) {
  CellGrid grid;
  for (int x = 0; x < kCellColumns; ++x)
    for (int y = 0; y < kCellRows; ++y) grid[x][y] = Cell::Char(cells[x][y] ? '1' : '0');
  PixelBuffer pixels;
  DrawCells(grid, pixels, nullptr);
  return RenderDisplay(DisplaySnapshot::Of(pixels));
}

std::string ForEachPicture(const std::vector<std::string>& paths, const FrameDurations& durations,
                           const std::function<void(const QImage&, int32_t)>& onFrame) {
  for (const std::string& path : paths) {
    PictureFile file(path);  // a picture is held to a movie's limits
    if (const auto& error = file.Error())
      return path + ": " + std::to_string(error->Number()) + " - " + error->Description();
    QImageReader& reader = file.reader();
    const bool animated = reader.supportsAnimation() && reader.imageCount() > 1;
    do {
      if (ExitSignalPending()) return path + ": stopped by a signal";
      QImage picture;
      {
        // libpng writes its own "libpng error: ..." before the reader returns; the error string
        // says the same, once, where the caller puts it.
        const QuietStandardError quiet;
        picture = reader.read();
      }
      if (picture.isNull()) return path + ": " + reader.errorString().toStdString();
      const int delay = reader.nextImageDelay();
      int32_t own = !animated ? durations.still : delay > 0 ? delay : kUndelayedFrameMs;
      // A frame of GlowReel's own look was held for its pause's slices: the duration that
      // makes the same pause is one slice less.
      if (animated && delay > 0 && SnapshotOfRender(picture)) own = delay - kSliceMs;
      onFrame(picture, durations.every.value_or(own));
    } while (animated && reader.canRead());
  }
  return "";
}

std::string ReadPictures(const std::vector<std::string>& paths, const CellOptions& options,
                         const FrameDurations& durations, CellFrames& frames) {
  return ForEachPicture(paths, durations, [&](const QImage& picture, int32_t duration) {
    frames.emplace_back(duration, CellsOfPicture(picture, options));
  });
}

}  // namespace glowreel
