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
  bPlaying = true;
  PlayDots(window, frames);
  bPlaying = false;
  if (fadeOut) ShutdownDisplay(brightness);
}

void PlaySession(PlayerWindow& window, Showing first, const ShowingOpener& open, bool fadeOut,
                 int16_t brightness) {
  BringDisplayUp(brightness);
  ClearDisplay();
  Showing playing = std::move(first);
  do {
    bPlaying = true;
    if (playing.dots) {
      PlayDots(window, *playing.dots);
    } else {
      PlayMovie(window, &playing.movie.lines);
    }
    if (!window.Reload() || bExiting) break;
    Showing again = open();
    if (again.movie.error) window.Report({*again.movie.error, 0});
    if (!again.movie.error) playing = std::move(again);
  } while (true);
  bPlaying = false;
  if (fadeOut) ShutdownDisplay(brightness);
}

}  // namespace glowreel
