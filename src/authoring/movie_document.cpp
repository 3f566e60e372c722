#include "authoring/movie_document.h"

#include <algorithm>
#include <utility>

#include "authoring/movie_writer.h"
#include "player/frame.h"
#include "player/movie_file.h"
#include "player/play_movie.h"

namespace glowreel {

namespace {

std::string RowText(const Cells& cells, int y) {
  std::string row(kCellColumns, '0');
  for (int x = 0; x < kCellColumns; ++x) row[x] = cells[x][y] ? '1' : '0';
  return row;
}

std::size_t LineCount(const DocFrame& frame) {
  return frame.before.size() + 1 + frame.rows.size() + (frame.hasPassedOver ? 1 : 0);
}

void AppendLines(const DocFrame& frame, std::vector<std::string>& lines) {
  lines.insert(lines.end(), frame.before.begin(), frame.before.end());
  lines.push_back(frame.header);
  lines.insert(lines.end(), frame.rows.begin(), frame.rows.end());
  if (frame.hasPassedOver) lines.push_back(frame.passedOver);
}

}  // namespace

DocFrames FramesOf(const LineList& lines) {
  DocFrames read;
  std::size_t next = 0;  // the first line not yet taken
  // Empty lines the file opens with are not among the lines; they are kept, and counted.
  std::size_t blanks = lines.FileLine(0) - 1;
  const auto take = [&](std::size_t end) {
    std::vector<std::string> taken(std::exchange(blanks, 0));
    for (; next < std::min(end, lines.size()); ++next) taken.emplace_back(lines[next]);
    return taken;
  };
  ForEachFrame(lines, [&](std::size_t header) {
    DocFrame frame;
    frame.before = take(header);
    frame.header = take(header + 1).front();
    frame.rows = take(header + 1 + kCellRows);
    frame.hasPassedOver = next < lines.size();
    if (frame.hasPassedOver) frame.passedOver = take(next + 1).front();
    read.frames.push_back(std::move(frame));
    return true;
  });
  read.trailing = take(lines.size());
  return read;
}

// One undo step: a run of frames before and after an edit, and the lines after the last frame
// where the edit changed them.
class FramesChange : public QUndoCommand {
 public:
  FramesChange(MovieDocument& document, int at, int count, std::vector<DocFrame> after,
               std::optional<std::vector<std::string>> trailing, const QString& what, int stroke)
      : QUndoCommand(what),
        document_(document),
        at_(at),
        before_(document.frames_.begin() + at, document.frames_.begin() + at + count),
        after_(std::move(after)),
        stroke_(stroke) {
    if (trailing) {
      trailingBefore_ = document.trailing_;
      trailingAfter_ = std::move(trailing);
    }
  }
  void redo() override {
    document_.Replace(at_, static_cast<int>(before_.size()), after_, trailingAfter_);
  }
  void undo() override {
    document_.Replace(at_, static_cast<int>(after_.size()), before_, trailingBefore_);
  }
  int id() const override { return stroke_ == 0 ? -1 : 1; }
  bool mergeWith(const QUndoCommand* other) override {
    const auto* next = static_cast<const FramesChange*>(other);
    // Only a change of the same frames merges: the next one's before is this one's after.
    if (next->stroke_ != stroke_ || next->text() != text() || next->at_ != at_ ||
        next->before_.size() != after_.size() || next->trailingAfter_ || trailingAfter_)
      return false;
    after_ = next->after_;
    return true;
  }

 private:
  MovieDocument& document_;
  int at_;
  std::vector<DocFrame> before_;
  std::vector<DocFrame> after_;
  std::optional<std::vector<std::string>> trailingBefore_;
  std::optional<std::vector<std::string>> trailingAfter_;
  int stroke_;
};

MovieDocument::MovieDocument() = default;

std::string MovieDocument::Open(const std::string& path) {
  MovieLines read = ReadMovieFile(path);
  if (read.error) return std::to_string(read.error->Number()) + " - " + read.error->Description();
  DocFrames opened = FramesOf(read.lines);
  read.lines = LineList();  // the frames hold the text now
  undo_.clear();
  Replace(0, FrameCount(), std::move(opened.frames), std::move(opened.trailing));
  return "";
}

std::string MovieDocument::Save(const std::string& path) {
  const std::string reason = WriteMovieLines(path, Lines());
  if (reason.empty()) undo_.setClean();
  return reason;
}

void MovieDocument::Clear() {
  undo_.clear();
  Replace(0, FrameCount(), {}, std::vector<std::string>{});
}

std::vector<std::string> MovieDocument::Lines() const {
  std::vector<std::string> lines = LinesFrom(0);
  lines.insert(lines.end(), trailing_.begin(), trailing_.end());
  return lines;
}

std::vector<std::string> MovieDocument::LinesFrom(int first) const {
  std::vector<std::string> lines;
  for (int k = first; k < FrameCount(); ++k) AppendLines(frames_[k], lines);
  return lines;
}

std::vector<std::string> MovieDocument::LinesOf(const std::vector<int>& frames) const {
  std::vector<std::string> lines;
  for (int frame : frames) AppendLines(Completed(frame), lines);
  return lines;
}

LineList MovieDocument::LinesOfFrame(int frame, std::size_t headerAt) const {
  const DocFrame& f = frames_[frame];
  std::string text = f.header;
  for (const std::string& row : f.rows) text += "\n" + row;
  if (f.hasPassedOver) text += "\n" + f.passedOver;
  return LineList(std::move(text), headerAt);
}

CellGrid MovieDocument::CellsBefore(int frame) const {
  // Only a frame the file ends in misses rows; it shows the cells of the frame before there.
  const bool complete = frames_[frame].rows.size() == static_cast<std::size_t>(kCellRows);
  return complete || frame == 0 ? CellGrid{} : Look(frame - 1).cells;
}

FrameLook MovieDocument::Look(int frame) const {
  FrameLook look{CellsBefore(frame), read_[frame].duration, {}};
  int32_t duration = 0;
  ReadFrame(LinesOfFrame(frame, 0), 0, duration, look.cells, [](const MovieReport&) {});
  for (int y = 0; y < kCellRows; ++y)
    for (int x = 0; x < kCellColumns; ++x)
      if (ConvertCell(look.cells[x][y]) == CellLight::kMismatch) look.mismatches.emplace_back(x, y);
  return look;
}

Cells MovieDocument::LitCells(int frame) const {
  const CellGrid grid = Look(frame).cells;
  Cells cells{};
  for (int x = 0; x < kCellColumns; ++x)
    for (int y = 0; y < kCellRows; ++y) cells[x][y] = ConvertCell(grid[x][y]) != CellLight::kDark;
  return cells;
}

DocFrame MovieDocument::WithCells(int frame, const Cells& cells) const {
  DocFrame changed = frames_[frame];
  const Cells shown = LitCells(frame);
  std::vector<std::string>& rows = changed.rows;
  const std::size_t had = rows.size();
  rows.resize(kCellRows);
  for (int y = 0; y < kCellRows; ++y) {
    if (static_cast<std::size_t>(y) >= had) rows[y] = RowText(shown, y);
    bool same = true;
    for (int x = 0; x < kCellColumns; ++x) same = same && cells[x][y] == shown[x][y];
    // An edited row is written anew; the others keep their text, bad characters and all.
    if (!same)
      rows[y].replace(0, std::min<std::size_t>(rows[y].size(), kCellColumns), RowText(cells, y));
  }
  return changed;
}

void MovieDocument::SetCells(int frame, const Cells& cells, const QString& what, int stroke) {
  Push(frame, 1, {WithCells(frame, cells)}, what, stroke);
}

void MovieDocument::SetCellsOf(const std::vector<int>& frames,
                               const std::function<Cells(int, const Cells&)>& change,
                               const QString& what, int stroke) {
  if (frames.empty()) return;
  const auto [first, last] = std::minmax_element(frames.begin(), frames.end());
  std::vector<DocFrame> changed(frames_.begin() + *first, frames_.begin() + *last + 1);
  for (int frame : frames)
    changed[frame - *first] = WithCells(frame, change(frame, LitCells(frame)));
  const int count = static_cast<int>(changed.size());
  Push(*first, count, std::move(changed), what, stroke);
}

int64_t MovieDocument::StartMs(int frame) const {
  while (static_cast<int>(starts_.size()) <= frame) {
    const int k = static_cast<int>(starts_.size()) - 1;
    const std::optional<int32_t> slices = SliceCount(read_[k].duration);
    starts_.push_back(starts_.back() + int64_t{slices.value_or(0)} * kSliceMs);
  }
  return starts_[frame];
}

void MovieDocument::SetDurations(const std::vector<int>& frames, int32_t duration, int stroke) {
  if (frames.empty()) return;
  const auto [first, last] = std::minmax_element(frames.begin(), frames.end());
  std::vector<DocFrame> changed(frames_.begin() + *first, frames_.begin() + *last + 1);
  for (int frame : frames) changed[frame - *first].header = "@" + std::to_string(duration);
  const int count = static_cast<int>(changed.size());
  Push(*first, count, std::move(changed), tr("Set Duration"), stroke);
}

void MovieDocument::SetComment(int frame, const std::vector<std::string>& lines) {
  DocFrame changed = frames_[frame];
  changed.before.clear();
  // A line ends at CR or LF when read back: each piece is a line of its own, and none may start
  // a frame.
  for (const std::string& line : lines) {
    std::size_t start = 0;
    for (std::size_t end; (end = line.find_first_of("\r\n", start)) != std::string::npos;
         start = end + 1)
      changed.before.push_back(line.substr(start, end - start));
    changed.before.push_back(line.substr(start));
  }
  for (std::string& line : changed.before)
    if (IsFrameHeader(line)) line.insert(0, " ");
  Push(frame, 1, {std::move(changed)}, tr("Comment"));
}

std::vector<FrameReport> MovieDocument::Check() const {
  std::vector<FrameReport> reports;
  int frame = 0;
  const ProblemSink collect = [&](const MovieProblem& p) { reports.push_back({p, frame}); };
  ProblemTally tally(collect, 20);
  std::size_t headerAt = 0;
  for (; frame < FrameCount(); ++frame) {
    headerAt += frames_[frame].before.size();
    FrameRead& read = read_[frame];
    // The problems' words name lines: found again where the frame has moved.
    if (!read.problems.empty() && read.headerAt != headerAt) read = ReadOne(frame, headerAt);
    for (const FrameProblem& problem : read.problems) tally.Tell(problem);
    headerAt += LineCount(frames_[frame]) - frames_[frame].before.size();
  }
  frame = std::max(0, FrameCount() - 1);
  tally.Finish(FrameCount() > 0);
  return reports;
}

void MovieDocument::InsertFrames(int at, const std::vector<std::pair<int32_t, Cells>>& frames,
                                 const QString& what, int stroke) {
  std::vector<DocFrame> added;
  for (const auto& [duration, cells] : frames) {
    std::vector<std::string> lines = FrameLines(duration, cells);
    added.push_back({{}, lines.front(), {lines.begin() + 1, lines.end() - 1}, true, ""});
  }
  DocFrames inserted{std::move(added), {}};
  // A new first frame goes after the file's opening comments.
  if (at == 0 && FrameCount() > 0 && !inserted.frames.empty()) {
    DocFrame first = frames_[0];
    std::swap(inserted.frames.front().before, first.before);
    inserted.frames.push_back(std::move(first));
    return Push(0, 1, std::move(inserted.frames), what);
  }
  if (at == FrameCount() && at > 0) {
    inserted.frames.insert(inserted.frames.begin(), Completed(at - 1));
    return Push(at - 1, 1, std::move(inserted.frames), what);
  }
  Push(at, 0, std::move(inserted.frames), what, stroke);
}

void MovieDocument::InsertLines(int at, const LineList& lines, const QString& what) {
  DocFrames pasted = FramesOf(lines);
  if (pasted.frames.empty()) return;
  // Pasted frames are whole: rows the text lacks are dark.
  DocFrame& last = pasted.frames.back();
  last.rows.resize(kCellRows, std::string(kCellColumns, '0'));
  last.hasPassedOver = true;
  if (at == FrameCount() && at > 0) {
    pasted.frames.insert(pasted.frames.begin(), Completed(at - 1));
    return Push(at - 1, 1, std::move(pasted.frames), what);
  }
  Push(at, 0, std::move(pasted.frames), what);
}

void MovieDocument::RemoveFrames(std::vector<int> frames) {
  if (frames.empty()) return;
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
  const int first = frames.front();
  const bool toEnd = frames.back() == FrameCount() - 1;
  // Their comments stay where they stood, before whatever follows: the frame after the last one
  // removed, or the end of the file.
  const int end = toEnd ? FrameCount() : frames.back() + 2;
  std::vector<DocFrame> kept;
  std::vector<std::string> comments;
  for (int k = first; k < end; ++k) {
    const DocFrame& frame = frames_[k];
    comments.insert(comments.end(), frame.before.begin(), frame.before.end());
    if (std::binary_search(frames.begin(), frames.end(), k)) continue;
    kept.push_back(frame);
    kept.back().before = std::move(comments);
    comments.clear();
  }
  std::optional<std::vector<std::string>> trailing;
  if (toEnd) {
    trailing = std::move(comments);
    trailing->insert(trailing->end(), trailing_.begin(), trailing_.end());
  }
  Push(first, end - first, std::move(kept), tr("Delete Frame"), 0, std::move(trailing));
}

void MovieDocument::MoveFrame(int from, int to) {
  const int first = std::min(from, to), last = std::max(from, to);
  std::vector<DocFrame> changed;
  for (int k = first; k <= last; ++k) changed.push_back(Completed(k));
  // The frame moves; the comments stay where they stood.
  std::vector<std::vector<std::string>> comments;
  for (DocFrame& frame : changed) comments.push_back(std::move(frame.before));
  DocFrame moving = std::move(changed[from - first]);
  changed.erase(changed.begin() + (from - first));
  changed.insert(changed.begin() + (to - first), std::move(moving));
  for (std::size_t k = 0; k < changed.size(); ++k) changed[k].before = std::move(comments[k]);
  Push(first, last - first + 1, std::move(changed), tr("Move Frame"));
}

void MovieDocument::Push(int at, int count, std::vector<DocFrame> frames, const QString& what,
                         int stroke, std::optional<std::vector<std::string>> trailing) {
  undo_.push(
      new FramesChange(*this, at, count, std::move(frames), std::move(trailing), what, stroke));
}

DocFrame MovieDocument::Completed(int frame) const {
  // A frame where the file ended would take the next frame's lines for its rows. It gets its
  // missing rows as the player showed them, and its passed-over line.
  DocFrame whole = frames_[frame];
  if (whole.rows.size() == static_cast<std::size_t>(kCellRows) && whole.hasPassedOver) return whole;
  const Cells shown = LitCells(frame);
  const std::size_t had = whole.rows.size();
  whole.rows.resize(kCellRows);
  for (std::size_t y = had; y < kCellRows; ++y) whole.rows[y] = RowText(shown, static_cast<int>(y));
  whole.hasPassedOver = true;
  return whole;
}

void MovieDocument::Replace(int at, int removed, std::vector<DocFrame> frames,
                            std::optional<std::vector<std::string>> trailing) {
  const int inserted = static_cast<int>(frames.size());
  frames_.erase(frames_.begin() + at, frames_.begin() + at + removed);
  frames_.insert(frames_.begin() + at, std::make_move_iterator(frames.begin()),
                 std::make_move_iterator(frames.end()));
  read_.erase(read_.begin() + at, read_.begin() + at + removed);
  read_.insert(read_.begin() + at, inserted, FrameRead{});
  if (trailing) trailing_ = std::move(*trailing);
  ReadAgain(at, at + inserted - 1);
  starts_.resize(std::min<std::size_t>(starts_.size(), at + 1));
  emit Changed(at, removed, inserted);
}

void MovieDocument::ReadAgain(int from, int through) {
  std::size_t headerAt = 0;
  for (int k = 0; k < from; ++k) headerAt += LineCount(frames_[k]);
  for (int k = from; k < FrameCount(); ++k) {
    // Beyond the new frames, a frame is read again only where it takes something from the one
    // before: a duration that overflows, or the rows the file ends without.
    const bool last = k == FrameCount() - 1;
    if (k > through && !read_[k].overflows && !last) break;
    headerAt += frames_[k].before.size();
    read_[k] = ReadOne(k, headerAt);
    headerAt += LineCount(frames_[k]) - frames_[k].before.size();
  }
}

MovieDocument::FrameRead MovieDocument::ReadOne(int frame, std::size_t headerAt) const {
  FrameRead read;
  read.headerAt = headerAt;
  read.duration = frame > 0 ? read_[frame - 1].duration : 0;
  CellGrid cells = CellsBefore(frame);
  read.problems = CheckFrame(LinesOfFrame(frame, headerAt), 0, read.duration, cells);
  read.overflows = std::any_of(read.problems.begin(), read.problems.end(),
                               [](const FrameProblem& p) { return p.kind == kNoFit; });
  return read;
}

}  // namespace glowreel
