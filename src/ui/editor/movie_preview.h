#pragma once

#include <functional>

#include "authoring/movie_document.h"

namespace glowreel {

// Plays a movie being edited, from a frame on, with the player's own session: the same pauses,
// the same end of a pass, Repeat as `loop` says. Each frame is shown by `show` as the player
// reaches it; the port's writes go nowhere. Returns when the movie has ended or been stopped.
void PlayPreview(const MovieDocument& document, int from, bool loop,
                 const std::function<void(int frame)>& show);

// Ends a running preview at once.
void StopPreview();
bool PreviewRunning();

}  // namespace glowreel
