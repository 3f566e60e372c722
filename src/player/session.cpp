#include "player/session.h"

#include "core/shared_state.h"
#include "player/movie_file.h"
#include "player/play_dots.h"
#include "vfd/vfd.h"

namespace glowreel {

void BringDisplayUp(int16_t brightness) {
  lPortBase = kFirstParallelPort;
  InitDisplay();
  SetBrightness(brightness);
}

void PlaySession(PlayerWindow& window, const std::string& movie, bool fadeOut, int16_t brightness) {
  BringDisplayUp(brightness);
  sMovieFile = movie;
  ClearDisplay();
  MovieLines playing = ReadMovieFile(movie);
  if (playing.error) window.Report({*playing.error, 0});
  do {  // again from the first frame, without a fade, for each reload; the old movie where the
        // new one cannot be read
    bPlaying = true;
    PlayMovie(window, &playing.lines);
    if (!window.Reload() || bExiting) break;
    MovieLines again = ReadMovieFile(movie);
    if (again.error) window.Report({*again.error, 0});
    if (!again.error) playing = std::move(again);
  } while (true);
  bPlaying = false;
  if (fadeOut) ShutdownDisplay(brightness);
}

void PlaySession(PlayerWindow& window, DotSource& frames, bool fadeOut, int16_t brightness) {
  BringDisplayUp(brightness);
  ClearDisplay();
  do {  // read again for each reload, as a movie is
    bPlaying = true;
    PlayDots(window, frames);
    if (!window.Reload() || bExiting) break;
    if (const std::optional<RunTimeError> error = frames.Reopen()) window.Report({*error, 0});
  } while (true);
  bPlaying = false;
  if (fadeOut) ShutdownDisplay(brightness);
}

}  // namespace glowreel
