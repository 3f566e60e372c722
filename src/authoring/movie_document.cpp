#include "authoring/movie_document.h"

#include <algorithm>

#include "authoring/movie_writer.h"
#include "player/frame.h"
#include "player/movie_file.h"

namespace glowreel {

namespace {

LineList ListOf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (&line == &lines.front() ? "" : "\n") + line;
  return LineList(std::move(text));
}

std::string RowText(const Cells& cells, int y) {
  std::string row(kCellColumns, '0');
  for (int x = 0; x < kCellColumns; ++x) row[x] = cells[x][y] ? '1' : '0';
  return row;
}

}  // namespace

// One undo step: the movie before and after an edit.
class FramesChange : public QUndoCommand {
 public:
  using State = std::pair<std::vector<DocFrame>, std::vector<std::string>>;
  FramesChange(MovieDocument& document, State after, const QString& what, int stroke)
      : QUndoCommand(what),
        document_(document),
        before_(document.frames_, document.trailing_),
        after_(std::move(after)),
        stroke_(stroke) {}
  void redo() override { document_.Replace(after_.first, after_.second); }
  void undo() override { document_.Replace(before_.first, before_.second); }
  int id() const override { return stroke_ == 0 ? -1 : 1; }
  bool mergeWith(const QUndoCommand* other) override {
    const auto* next = static_cast<const FramesChange*>(other);
    if (next->stroke_ != stroke_ || next->text() != text()) return false;
    after_ = next->after_;
    return true;
  }

 private:
  MovieDocument& document_;
  State before_;
  State after_;
  int stroke_;
};

MovieDocument::MovieDocument() {
  connect(&undo_, &QUndoStack::cleanChanged, this, &MovieDocument::Changed);
}

std::string MovieDocument::Open(const std::string& path) {
  const MovieLines read = ReadMovieFile(path);
  if (read.error) return std::to_string(read.error->Number()) + " - " + read.error->Description();
  const LineList& lines = read.lines;
  std::vector<DocFrame> frames;
  std::size_t next = 0;  // the first line not yet taken
  const auto take = [&](std::size_t end) {
    std::vector<std::string> taken;
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
    frames.push_back(std::move(frame));
    return true;
  });
  undo_.clear();
  Replace(std::move(frames), take(lines.size()));
  return "";
}

std::string MovieDocument::Save(const std::string& path) {
  const std::string reason = WriteMovieLines(path, Lines());
  if (reason.empty()) undo_.setClean();
  return reason;
}

void MovieDocument::Clear() {
  undo_.clear();
  Replace({}, {});
}

std::vector<std::string> MovieDocument::Lines() const {
  std::vector<std::string> lines;
  for (const DocFrame& frame : frames_) {
    lines.insert(lines.end(), frame.before.begin(), frame.before.end());
    lines.push_back(frame.header);
    lines.insert(lines.end(), frame.rows.begin(), frame.rows.end());
    if (frame.hasPassedOver) lines.push_back(frame.passedOver);
  }
  lines.insert(lines.end(), trailing_.begin(), trailing_.end());
  return lines;
}

Cells MovieDocument::LitCells(int frame) const {
  Cells cells{};
  for (int x = 0; x < kCellColumns; ++x)
    for (int y = 0; y < kCellRows; ++y)
      cells[x][y] = ConvertCell(looks_[frame].cells[x][y]) != CellLight::kDark;
  return cells;
}

void MovieDocument::SetCells(int frame, const Cells& cells, const QString& what, int stroke) {
  std::vector<DocFrame> frames = frames_;
  const Cells shown = LitCells(frame);
  std::vector<std::string>& rows = frames[frame].rows;
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
  Push(std::move(frames), what, stroke);
}

void MovieDocument::SetDurations(const std::vector<int>& frames, int32_t duration, int stroke) {
  std::vector<DocFrame> changed = frames_;
  for (int frame : frames) changed[frame].header = "@" + std::to_string(duration);
  Push(std::move(changed), tr("Set Duration"), stroke);
}

std::vector<MovieProblem> MovieDocument::Check() const {
  std::vector<MovieProblem> problems;
  CheckMovieLines(ListOf(Lines()), [&](const MovieProblem& p) { problems.push_back(p); });
  return problems;
}

int MovieDocument::FrameAtLine(std::size_t line) const {
  std::size_t next = 1;  // the number of the frame's first line
  for (int k = 0; k < FrameCount(); ++k) {
    next += frames_[k].before.size() + 1 + frames_[k].rows.size() + frames_[k].hasPassedOver;
    if (line < next) return k;
  }
  return std::max(0, FrameCount() - 1);
}

void MovieDocument::InsertFrames(int at, const std::vector<std::pair<int32_t, Cells>>& frames,
                                 const QString& what) {
  std::vector<DocFrame> changed = frames_;
  if (at == FrameCount()) CompleteLast(changed);
  std::vector<DocFrame> added;
  for (const auto& [duration, cells] : frames) {
    std::vector<std::string> lines = FrameLines(duration, cells);
    added.push_back({{}, lines.front(), {lines.begin() + 1, lines.end() - 1}, true, ""});
  }
  if (at == 0 && !changed.empty() && !added.empty())
    std::swap(added.front().before, changed.front().before);
  changed.insert(changed.begin() + at, added.begin(), added.end());
  Push(std::move(changed), what);
}

void MovieDocument::RemoveFrames(std::vector<int> frames) {
  std::sort(frames.rbegin(), frames.rend());
  std::vector<DocFrame> changed = frames_;
  std::vector<std::string> trailing = trailing_;
  for (int frame : frames) {
    // Its comments stay where they stood, before whatever follows.
    std::vector<std::string>& keeper =
        frame + 1 < static_cast<int>(changed.size()) ? changed[frame + 1].before : trailing;
    keeper.insert(keeper.begin(), changed[frame].before.begin(), changed[frame].before.end());
    changed.erase(changed.begin() + frame);
  }
  Push(std::move(changed), tr("Delete Frame"), 0, std::move(trailing));
}

void MovieDocument::MoveFrame(int from, int to) {
  std::vector<DocFrame> changed = frames_;
  if (std::max(from, to) == FrameCount() - 1) CompleteLast(changed);
  // The frame moves; the comments stay where they stood.
  std::vector<std::vector<std::string>> comments;
  for (DocFrame& frame : changed) comments.push_back(std::move(frame.before));
  DocFrame moving = std::move(changed[from]);
  changed.erase(changed.begin() + from);
  changed.insert(changed.begin() + to, std::move(moving));
  for (std::size_t k = 0; k < changed.size(); ++k) changed[k].before = std::move(comments[k]);
  Push(std::move(changed), tr("Move Frame"));
}

void MovieDocument::Push(std::vector<DocFrame> frames, const QString& what, int stroke,
                         std::optional<std::vector<std::string>> trailing) {
  undo_.push(
      new FramesChange(*this, {std::move(frames), trailing.value_or(trailing_)}, what, stroke));
}

void MovieDocument::CompleteLast(std::vector<DocFrame>& frames) const {
  // A frame where the file ended would take the next frame's lines for its rows. It gets its
  // missing rows as the player showed them, and its passed-over line.
  if (frames.empty()) return;
  DocFrame& last = frames.back();
  const Cells shown = LitCells(FrameCount() - 1);
  const std::size_t had = last.rows.size();
  last.rows.resize(kCellRows);
  for (std::size_t y = had; y < kCellRows; ++y) last.rows[y] = RowText(shown, static_cast<int>(y));
  last.hasPassedOver = true;
}

void MovieDocument::Replace(std::vector<DocFrame> frames, std::vector<std::string> trailing) {
  frames_ = std::move(frames);
  trailing_ = std::move(trailing);
  Recompute();
  emit Changed();
}

void MovieDocument::Recompute() {
  const LineList lines = ListOf(Lines());
  looks_.clear();
  CellGrid cells{};  // as the player finds them when it starts
  int32_t duration = 0;
  ForEachFrame(lines, [&](std::size_t header) {
    bool overflows = false;
    ReadFrame(lines, header, duration, cells, [&](const MovieReport& report) {
      overflows = overflows || report.error.Number() == kErrOverflow;
    });
    FrameLook look{cells, duration, overflows, {}};
    for (int y = 0; y < kCellRows; ++y)
      for (int x = 0; x < kCellColumns; ++x)
        if (ConvertCell(cells[x][y]) == CellLight::kMismatch) look.mismatches.emplace_back(x, y);
    looks_.push_back(std::move(look));
    return true;
  });
}

}  // namespace glowreel
