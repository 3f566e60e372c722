#pragma once

#include <QListView>
#include <vector>

#include "authoring/movie_document.h"

namespace glowreel {

// A time on the movie's clock: minutes, seconds and hundredths ("1:02.30").
QString ClockText(int64_t ms);

// The frames in a column, each in the display's look with its number, the time it comes on,
// its duration and comment; frames are chosen by a click (several with Ctrl and Shift), moved by
// dragging, and their comments edited in place (F2). Only the frames in view are drawn, so a long
// movie costs no more than a short one.
class FrameStrip : public QListView {
  Q_OBJECT

 public:
  explicit FrameStrip(MovieDocument& document);
  void Choose(int frame);
  // A comment being edited goes to the document now.
  void FinishEditing();
  // The chosen frames, the current one among them, in order.
  std::vector<int> Chosen(int current) const;

 signals:
  void FrameChosen(int frame);
  // A frame dragged from its place to another, given as the index it has once moved.
  void FrameMoved(int from, int to);

 protected:
  void dropEvent(QDropEvent* event) override;
  // Typing picks no frame: letters and digits are the window's keys.
  void keyboardSearch(const QString&) override {}

 private:
  bool choosing_ = false;  // the editor chose; nothing to tell it
};

}  // namespace glowreel
