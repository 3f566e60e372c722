#include "player/session.h"

#include "player/movie_file.h"
#include "player/play_dots.h"
#include "vfd/vfd.h"

namespace glowreel {

void BringDisplayUp(Playback& pb, int16_t brightness) {
  pb.lPortBase = kFirstParallelPort;
  InitDisplay(pb);
  SetBrightness(pb, brightness);
}

void PlaySession(Playback& pb, PlayerWindow& window, const std::string& movie, bool fadeOut,
                 int16_t brightness) {
  BringDisplayUp(pb, brightness);
  pb.sMovieFile = movie;
  ClearDisplay(pb);
  MovieLines playing = ReadMovieFile(movie);
  if (playing.error) window.Report({*playing.error, 0});
  do {  // again from the first frame, without a fade, for each reload; the old movie where the
        // new one cannot be read
    pb.bPlaying = true;
    PlayMovie(pb, window, &playing.lines);
    if (!window.Reload() || pb.bExiting) break;
    MovieLines again = ReadMovieFile(movie);
    if (again.error) window.Report({*again.error, 0});
    if (!again.error) playing = std::move(again);
  } while (true);
  pb.bPlaying = false;
  if (fadeOut) ShutdownDisplay(pb);
}

void PlaySession(Playback& pb, PlayerWindow& window, DotSource& frames, bool fadeOut,
                 int16_t brightness) {
  BringDisplayUp(pb, brightness);
  ClearDisplay(pb);
  pb.bPlaying = true;
  PlayDots(pb, window, frames);
  pb.bPlaying = false;
  if (fadeOut) ShutdownDisplay(pb);
}

void PlaySession(Playback& pb, PlayerWindow& window, Showing first, const ShowingOpener& open,
                 bool fadeOut, int16_t brightness) {
  BringDisplayUp(pb, brightness);
  ClearDisplay(pb);
  Showing playing = std::move(first);
  do {
    pb.bPlaying = true;
    if (playing.dots) {
      PlayDots(pb, window, *playing.dots);
    } else {
      PlayMovie(pb, window, &playing.movie.lines);
    }
    if (!window.Reload() || pb.bExiting) break;
    Showing again = open();
    if (again.movie.error) window.Report({*again.movie.error, 0});
    if (!again.movie.error) playing = std::move(again);
  } while (true);
  pb.bPlaying = false;
  if (fadeOut) ShutdownDisplay(pb);
}

}  // namespace glowreel
