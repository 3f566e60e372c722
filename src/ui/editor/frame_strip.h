#pragma once

#include <QListWidget>
#include <vector>

#include "authoring/movie_document.h"

namespace glowreel {

// The frames in a column, each in the display's look with its number and duration; frames are
// chosen by a click (several with Ctrl and Shift) and moved by dragging.
class FrameStrip : public QListWidget {
  Q_OBJECT

 public:
  FrameStrip();
  void Fill(const MovieDocument& document, int current);
  void Choose(int frame);
  // The chosen frames, the current one among them.
  std::vector<int> Chosen(int current) const;

 signals:
  void FrameChosen(int frame);
  // A frame dragged from its place to another, given as the index it has once moved.
  void FrameMoved(int from, int to);
};

}  // namespace glowreel
