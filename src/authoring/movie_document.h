#pragma once

#include <QObject>
#include <QUndoStack>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "authoring/movie_check.h"
#include "authoring/picture_cells.h"
#include "core/playback.h"

namespace glowreel {

// One frame of a movie as it stands in the file: its lines kept as written, so that saving what
// was not edited gives back the same lines.
struct DocFrame {
  std::vector<std::string> before;  // the lines (comments, blank lines) before the header
  std::string header;               // "@" and the duration text
  std::vector<std::string> rows;    // up to eight; fewer where the file ended
  bool hasPassedOver = true;        // the line after the rows, absent where the file ended
  std::string passedOver;
};

// Frames and the lines after the last, as a movie's lines make them.
struct DocFrames {
  std::vector<DocFrame> frames;
  std::vector<std::string> trailing;
};
DocFrames FramesOf(const LineList& lines);

// What the player makes of a frame.
struct FrameLook {
  CellGrid cells;    // the cells drawn, earlier frames' where rows are missing
  int32_t duration;  // the duration it is held for, carried over as the player does
  std::vector<std::pair<int, int>> mismatches;  // cells that report a type mismatch, (x, y)
};

// A report of the check and the frame it belongs to.
struct FrameReport {
  MovieProblem problem;
  int frame;
};

// A movie being edited: frames read with the player's own reading code, edits kept on an undo
// stack. An edit replaces a run of frames; only those, and the frames whose look depends on
// them, are read again, so that an edit costs the same in a long movie as in a short one.
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
  // What the player shows for a frame, and how long.
  FrameLook Look(int frame) const;
  int32_t Duration(int frame) const { return read_[frame].duration; }
  // When the frame comes on, from the movie's start, in the real pauses of the frames before
  // (their 10 ms slices); the movie's whole running time at FrameCount().
  int64_t StartMs(int frame) const;
  int64_t TotalMs() const { return StartMs(FrameCount()); }
  // The movie's lines, as they would be written; those of some frames alone.
  std::vector<std::string> Lines() const;
  std::vector<std::string> LinesOf(const std::vector<int>& frames) const;
  // The frames' lines as written, from `first` to the last.
  std::vector<std::string> LinesFrom(int first) const;
  QUndoStack& Undo() { return undo_; }
  bool IsModified() const { return !undo_.isClean(); }

  // Edits, each one undo step. A stroke of cells painted with the same stroke number merges
  // into one step.
  void SetCells(int frame, const Cells& cells, const QString& what, int stroke = 0);
  // Several frames' cells in one step, each frame's from `change`.
  void SetCellsOf(const std::vector<int>& frames,
                  const std::function<Cells(int frame, const Cells&)>& change, const QString& what,
                  int stroke = 0);
  void SetDurations(const std::vector<int>& frames, int32_t duration, int stroke = 0);
  void InsertFrames(int at, const std::vector<std::pair<int32_t, Cells>>& frames,
                    const QString& what, int stroke = 0);
  // Frames from a movie's lines, with their comments and their text as written.
  void InsertLines(int at, const LineList& lines, const QString& what);
  void RemoveFrames(std::vector<int> frames);
  void MoveFrame(int from, int to);
  // The comment lines before a frame; a line that would start a frame is kept from doing so.
  void SetComment(int frame, const std::vector<std::string>& lines);

  // The cells as the editor shows them: lit or dark, as the player draws them.
  Cells LitCells(int frame) const;
  // What the player would report, in the order of the lines.
  std::vector<FrameReport> Check() const;

 signals:
  // Frames [at, at + removed) were replaced by `inserted` others; those after may look new.
  void Changed(int at, int removed, int inserted);

 private:
  friend class FramesChange;
  // What reading a frame gave, and where its header stood when its problems were found.
  struct FrameRead {
    int32_t duration = 0;
    bool overflows = false;
    std::size_t headerAt = 0;
    std::vector<FrameProblem> problems;
  };
  void Replace(int at, int removed, std::vector<DocFrame> frames,
               std::optional<std::vector<std::string>> trailing);
  void Push(int at, int count, std::vector<DocFrame> frames, const QString& what, int stroke = 0,
            std::optional<std::vector<std::string>> trailing = std::nullopt);
  DocFrame Completed(int frame) const;
  DocFrame WithCells(int frame, const Cells& cells) const;
  void ReadAgain(int from, int through);
  FrameRead ReadOne(int frame, std::size_t headerAt) const;
  CellGrid CellsBefore(int frame) const;
  LineList LinesOfFrame(int frame, std::size_t headerAt) const;

  std::vector<DocFrame> frames_;
  std::vector<std::string> trailing_;  // lines after the last frame
  mutable std::vector<FrameRead> read_;
  mutable std::vector<int64_t> starts_{0};  // frames' start times, known up to its size
  QUndoStack undo_;
};

}  // namespace glowreel
