#pragma once

#include <QObject>
#include <QUndoStack>
#include <optional>
#include <string>
#include <vector>

#include "authoring/movie_check.h"
#include "authoring/picture_cells.h"
#include "core/shared_state.h"

namespace glowreel {

// One frame of a movie as it stands in the file: its lines kept as written, so that saving what
// was not edited gives back the same lines.
struct DocFrame {
  std::vector<std::string> before;  // the lines (comments, skipped headers) before the header
  std::string header;               // "@" and the duration text
  std::vector<std::string> rows;    // up to eight; fewer where the file ended
  bool hasPassedOver = true;        // the line after the rows, absent where the file ended
  std::string passedOver;
};

// What the player makes of a frame.
struct FrameLook {
  CellGrid cells;    // the cells drawn, earlier frames' where rows are missing
  int32_t duration;  // the duration it is held for, carried over as the player does
  bool durationOverflows;
  std::vector<std::pair<int, int>> mismatches;  // cells that report a type mismatch, (x, y)
};

// A movie being edited: frames read with the player's own reading code, edits kept on an undo
// stack. Every edit is a whole new state of the frames, so undo is exact.
class MovieDocument : public QObject {
  Q_OBJECT

 public:
  MovieDocument();

  // Reads a movie as the player would; "" or the report of what went wrong.
  std::string Open(const std::string& path);
  // Writes the movie with CR LF line ends; "" or the reason it failed.
  std::string Save(const std::string& path);
  void Clear();

  const std::vector<DocFrame>& Frames() const { return frames_; }
  int FrameCount() const { return static_cast<int>(frames_.size()); }
  // What the player shows for each frame, in order.
  const std::vector<FrameLook>& Looks() const { return looks_; }
  // The movie's lines, as they would be written.
  std::vector<std::string> Lines() const;
  QUndoStack& Undo() { return undo_; }
  bool IsModified() const { return !undo_.isClean(); }

  // Edits, each one undo step. A stroke of cells painted with the same stroke number merges
  // into one step.
  void SetCells(int frame, const Cells& cells, const QString& what, int stroke = 0);
  void SetDurations(const std::vector<int>& frames, int32_t duration, int stroke = 0);
  void InsertFrames(int at, const std::vector<std::pair<int32_t, Cells>>& frames,
                    const QString& what);
  void RemoveFrames(std::vector<int> frames);
  void MoveFrame(int from, int to);

  // The cells as the editor shows them: lit or dark, as the player draws them.
  Cells LitCells(int frame) const;
  // What the player would report, line by line, and the frame a line belongs to.
  std::vector<MovieProblem> Check() const;
  int FrameAtLine(std::size_t line) const;

 signals:
  void Changed();

 private:
  friend class FramesChange;
  void Replace(std::vector<DocFrame> frames, std::vector<std::string> trailing);
  void Push(std::vector<DocFrame> frames, const QString& what, int stroke = 0,
            std::optional<std::vector<std::string>> trailing = std::nullopt);
  void CompleteLast(std::vector<DocFrame>& frames) const;
  void Recompute();

  std::vector<DocFrame> frames_;
  std::vector<std::string> trailing_;  // lines after the last frame
  std::vector<FrameLook> looks_;
  QUndoStack undo_;
};

}  // namespace glowreel
