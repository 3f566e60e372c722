#include "ui/editor/editor_window.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/exit_signals.h"
#include "player/play_movie.h"
#include "ui/editor/import_dialog.h"
#include "ui/editor/movie_preview.h"

namespace glowreel {

namespace {

// The pause a duration really gives: its slices of 10 ms.
QString PauseText(int32_t duration) {
  const std::optional<int32_t> slices = SliceCount(duration);
  if (!slices) return EditorWindow::tr("too long: reports 6 - Overflow, no pause");
  if (*slices == 0) return EditorWindow::tr("no pause");
  return EditorWindow::tr("%1 slices = %2 ms").arg(*slices).arg(*slices * kSliceMs);
}

QMessageBox::StandardButton AskToSave(QWidget* parent) {
  return QMessageBox::question(parent, EditorWindow::tr("Unsaved changes"),
                               EditorWindow::tr("The movie has changes that are not saved."),
                               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                               QMessageBox::Save);
}

}  // namespace

std::function<QMessageBox::StandardButton(QWidget*)> EditorWindow::askToSave = AskToSave;
std::function<void(QWidget*, const QString&)> EditorWindow::warn = [](QWidget* parent,
                                                                      const QString& text) {
  QMessageBox::warning(parent, EditorWindow::tr("GlowReel Movie Editor"), text);
};

EditorWindow::EditorWindow() {
  canvas_ = new CellCanvas;
  canvasArea_ = new QScrollArea;
  canvasArea_->setWidget(canvas_);
  canvasArea_->setWidgetResizable(true);  // the cells grow with the window, or scroll zoomed
  canvasArea_->setFrameShape(QFrame::NoFrame);
  scrub_ = new QSlider(Qt::Horizontal);
  scrub_->setPageStep(10);
  frameBox_ = new QSpinBox;  // a frame by its number, where the slider's pixel spans many
  frameBox_->setKeyboardTracking(false);
  frameBox_->setPrefix(tr("Frame "));
  time_ = new QLabel;
  running_ = new QLabel;
  strip_ = new FrameStrip(document_);
  duration_ = new QSpinBox;
  duration_->setRange(INT32_MIN, INT32_MAX);
  duration_->setSuffix(tr(" ms"));
  duration_->setKeyboardTracking(false);
  pause_ = new QLabel;
  problems_ = new QListWidget;

  auto* durationRow = new QHBoxLayout;
  durationRow->addWidget(new QLabel(tr("Duration:")));
  durationRow->addWidget(duration_);
  durationRow->addWidget(pause_, 1);
  auto* scrubRow = new QHBoxLayout;
  scrubRow->addWidget(scrub_, 1);
  scrubRow->addWidget(frameBox_);
  auto* right = new QWidget;
  auto* column = new QVBoxLayout(right);
  column->addWidget(canvasArea_, 3);
  column->addLayout(scrubRow);
  column->addLayout(durationRow);
  column->addWidget(new QLabel(tr("What the player will report:")));
  column->addWidget(problems_, 1);
  auto* left = new QWidget;
  auto* stripColumn = new QVBoxLayout(left);
  stripColumn->setContentsMargins(0, 0, 0, 0);
  stripColumn->addWidget(strip_, 1);
  stripColumn->addWidget(running_);
  splitter_ = new QSplitter;
  splitter_->addWidget(left);
  splitter_->addWidget(right);
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);
  statusBar()->addPermanentWidget(time_);  // there from the start, so that a message moves nothing
  setWindowIcon(QIcon::fromTheme(QStringLiteral("glowreel")));

  BuildActions();
  connect(&document_, &MovieDocument::Changed, this, &EditorWindow::Refresh);
  connect(&document_.Undo(), &QUndoStack::cleanChanged, this, &EditorWindow::UpdateTitle);
  connect(canvas_, &CellCanvas::Painted, this,
          [this](const Cells& cells, int stroke, const QString& what) {
            // Drawing on a new movie makes its first frame, in the same step as the stroke.
            if (document_.FrameCount() == 0)
              return document_.InsertFrames(0, {{kNewFrameDuration, cells}}, what, stroke);
            // The cells the stroke changed change alike on every frame chosen.
            const Cells was = document_.LitCells(current_);
            document_.SetCellsOf(
                strip_->Chosen(current_),
                [&](int, Cells frame) {
                  for (int x = 0; x < kCellColumns; ++x)
                    for (int y = 0; y < kCellRows; ++y)
                      if (cells[x][y] != was[x][y]) frame[x][y] = cells[x][y];
                  return frame;
                },
                what, stroke);
          });
  connect(canvas_, &CellCanvas::Told, this, &EditorWindow::Tell);
  connect(canvas_, &CellCanvas::ZoomedAbout, this, [this](QPointF dot, QPoint at) {
    // The dot under the pointer stays under it: the canvas is laid out at its new size now, and
    // the view scrolled to put the dot back.
    const QPoint inView = at + canvas_->pos();
    canvasArea_->setWidgetResizable(true);
    const QPointF now = QPointF(canvas_->Origin()) + dot * canvas_->DotSize();
    canvasArea_->horizontalScrollBar()->setValue(qRound(now.x()) - inView.x());
    canvasArea_->verticalScrollBar()->setValue(qRound(now.y()) - inView.y());
  });
  connect(scrub_, &QSlider::valueChanged, this, [this](int frame) {
    if (frame != current_) SelectFrame(frame);
  });
  connect(strip_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { time_->setText(TimeText()); });
  connect(frameBox_, &QSpinBox::valueChanged, this, [this](int number) {
    if (number - 1 != current_) SelectFrame(number - 1);
  });
  connect(strip_, &FrameStrip::FrameChosen, this, [this](int frame) {
    ++durationStroke_;  // duration changes merge into one step until another frame is chosen
    if (frame == current_) return;
    current_ = frame;
    ShowCurrent();
  });
  connect(strip_, &FrameStrip::FrameMoved, this, [this](int from, int to) {
    current_ = to;
    document_.MoveFrame(from, to);
  });
  connect(duration_, &QSpinBox::valueChanged, this, [this](int value) {
    if (document_.FrameCount() > 0)
      document_.SetDurations(strip_->Chosen(current_), value, durationStroke_);
  });
  for (const auto signal : {&QListWidget::itemClicked, &QListWidget::itemActivated})
    connect(problems_, signal, this,
            [this](QListWidgetItem* item) { SelectFrame(item->data(Qt::UserRole).toInt()); });
  // The boxes' own undo would take Ctrl+Z and Ctrl+Shift+Z from the document's.
  duration_->installEventFilter(this);
  frameBox_->installEventFilter(this);

  QSettings settings;
  resize(1000, 700);
  restoreGeometry(settings.value("geometry").toByteArray());
  splitter_->restoreState(settings.value("splitter").toByteArray());
  Refresh(0, 0, document_.FrameCount());
}

EditorWindow::~EditorWindow() {
  delete strip_;  // its model reads the document, which goes first
}

QAction* EditorWindow::Action(const QString& name) const {
  return findChild<QAction*>(name);
}

// The boxes' own undo would take Ctrl+Z and Ctrl+Shift+Z from the document's, and a box claims
// Ctrl+letter keys it has no use for (Ctrl+E, Ctrl+Shift+A): those go to the window.
bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) return true;
    if (IsWindowKey(*key)) return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

bool EditorWindow::IsWindowKey(const QKeyEvent& key) const {
  if (!(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
  for (const auto kept : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste,
                          QKeySequence::SelectAll, QKeySequence::Delete})
    if (key.matches(kept)) return false;  // a text box's own
  const QKeySequence pressed(key.keyCombination());
  for (const QAction* action : findChildren<QAction*>())
    if (action->isEnabled() && action->shortcuts().contains(pressed)) return true;
  return false;
}

void EditorWindow::AddFrame(bool duplicate) {
  const bool any = document_.FrameCount() > 0;
  if (duplicate && !any) return;
  const int at = any ? current_ + 1 : 0;
  // A new frame takes its neighbour's pace.
  const int32_t duration = any ? document_.Duration(current_) : kNewFrameDuration;
  document_.InsertFrames(at, {{duration, duplicate ? document_.LitCells(current_) : Cells{}}},
                         duplicate ? tr("Duplicate Frame") : tr("Add Frame"));
  SelectFrame(at);
}

void EditorWindow::MoveCurrent(int by) {
  const int to = current_ + by;
  if (to < 0 || to >= document_.FrameCount()) return;
  document_.MoveFrame(current_, to);
  SelectFrame(to);
}

void EditorWindow::Refresh(int at, int removed, int inserted) {
  // The frame shown stays the one it was where frames came or went before it.
  const int had = document_.FrameCount() - inserted + removed;
  if (current_ >= at + removed && current_ < had) current_ += inserted - removed;
  current_ = std::clamp(current_, 0, std::max(0, document_.FrameCount() - 1));
  {
    const QSignalBlocker quiet(scrub_), quietToo(frameBox_);
    scrub_->setRange(0, std::max(0, document_.FrameCount() - 1));
    frameBox_->setRange(1, std::max(1, document_.FrameCount()));
    frameBox_->setSuffix(tr(" of %1").arg(document_.FrameCount()));
  }
  // The frames chosen stay chosen through an edit of them.
  if (document_.FrameCount() > 0 && strip_->currentIndex().row() != current_)
    strip_->Choose(current_);
  running_->setText(tr("Running time %1").arg(ClockText(document_.TotalMs())));
  ShowReports();
  ShowCurrent();
  UpdateTitle();
}

void EditorWindow::ShowReports() {
  problems_->clear();
  if (document_.FrameCount() == 0) return;  // a new movie has nothing to report yet
  for (const auto& [problem, frame] : document_.Check()) {
    auto* item = new QListWidgetItem(
        problem.line ? tr("line %1: %2").arg(problem.line).arg(QString::fromStdString(problem.text))
                     : QString::fromStdString(problem.text));
    item->setData(Qt::UserRole, frame);
    problems_->addItem(item);
  }
}

void EditorWindow::ShowCurrent() {
  const bool any = current_ < document_.FrameCount();
  duration_->setEnabled(any);
  frameBox_->setEnabled(any);
  {
    const QSignalBlocker quiet(scrub_), quietToo(frameBox_);
    scrub_->setValue(current_);
    frameBox_->setValue(current_ + 1);
  }
  time_->setText(TimeText());
  if (!any) {
    canvas_->Show(Cells{}, {}, {}, {});
    const QSignalBlocker quiet(duration_);
    duration_->setValue(kNewFrameDuration);  // what the first frame drawn will take
    pause_->clear();
    return;
  }
  const FrameLook look = document_.Look(current_);
  // The preview shows what the display will, without the frames around.
  const int depth = Action("onion")->isChecked() && !PreviewRunning() ? OnionDepth() : 0;
  std::vector<Cells> before, after;
  for (int k = 1; k <= depth; ++k) {
    if (current_ - k >= 0) before.push_back(document_.LitCells(current_ - k));
    if (current_ + k < document_.FrameCount()) after.push_back(document_.LitCells(current_ + k));
  }
  canvas_->Show(document_.LitCells(current_), std::move(before), std::move(after), look.mismatches);
  const QSignalBlocker quiet(duration_);
  duration_->setValue(look.duration);
  pause_->setText(PauseText(look.duration));
}

void EditorWindow::UpdateTitle() {
  const QString name = path_.isEmpty() ? tr("Untitled") : QFileInfo(path_).fileName();
  setWindowTitle(QStringLiteral("GlowReel Movie Editor - ") + name + QStringLiteral("[*]"));
  setWindowModified(document_.IsModified());
}

void EditorWindow::SelectFrame(int frame) {
  if (frame < 0 || frame >= document_.FrameCount()) return;
  current_ = frame;
  strip_->Choose(frame);
  ShowCurrent();
}

int EditorWindow::OnionDepth() const {
  for (int depth = 3; depth > 1; --depth)
    if (Action(QStringLiteral("onion%1").arg(depth))->isChecked()) return depth;
  return 1;
}

QString EditorWindow::TimeText() const {
  const QString total = ClockText(document_.TotalMs());
  if (document_.FrameCount() == 0) return tr("Running time %1").arg(total);
  const int chosen = static_cast<int>(strip_->Chosen(current_).size());
  return tr("Frame %1 of %2%3, at %4 of %5")
      .arg(current_ + 1)
      .arg(document_.FrameCount())
      .arg(chosen > 1 ? tr(" (%1 chosen)").arg(chosen) : QString())
      .arg(ClockText(document_.StartMs(current_)), total);
}

void EditorWindow::Warn(const QString& text) {
  warn(this, text);
}

void EditorWindow::Tell(const QString& text) {
  statusBar()->showMessage(text, 5000);
}

// What is being typed counts as given: a duration or a comment not yet confirmed with Enter is
// part of what is saved, or asked about.
void EditorWindow::FinishTyping() {
  strip_->FinishEditing();
  duration_->interpretText();
}

bool EditorWindow::MaybeSave() {
  FinishTyping();
  if (!document_.IsModified()) return true;
  switch (askToSave(this)) {
    case QMessageBox::Save:
      return Save();
    case QMessageBox::Discard:
      return true;
    default:
      return false;
  }
}

bool EditorWindow::New() {
  if (!MaybeSave()) return false;
  StopPreview();
  path_.clear();
  current_ = 0;
  document_.Clear();
  return true;
}

bool EditorWindow::OpenFile(const QString& path) {
  if (!MaybeSave()) return false;
  StopPreview();
  current_ = 0;
  const std::string failure = document_.Open(FileName(path));
  if (!failure.empty()) {
    Warn(tr("%1 cannot be opened: %2").arg(path, QString::fromStdString(failure)));
    return false;
  }
  path_ = path;
  recent_.Remember(path);
  FillRecentMenu();
  UpdateTitle();
  return true;
}

bool EditorWindow::Save() {
  return path_.isEmpty() ? SaveAs() : SaveTo(path_);
}

bool EditorWindow::SaveAs() {
  const QString path = AskSaveName(this, tr("Save Movie"), path_, tr("GlowReel movies (*.grm)"),
                                   QStringLiteral(".grm"));
  return !path.isEmpty() && SaveTo(path);
}

bool EditorWindow::SaveTo(const QString& path) {
  FinishTyping();
  const std::string failure = document_.Save(FileName(path));
  if (!failure.empty()) {
    Warn(tr("%1 cannot be written: %2").arg(path, QString::fromStdString(failure)));
    return false;
  }
  path_ = path;
  recent_.Remember(path);
  FillRecentMenu();
  UpdateTitle();
  return true;
}

void EditorWindow::Import() {
  const QStringList paths = AskPictures(this);
  if (paths.isEmpty()) return;
  ImportDialog dialog(paths, this);
  if (dialog.exec() != QDialog::Accepted) return;
  std::vector<std::string> files;
  for (const QString& path : paths) files.push_back(FileName(path));
  CellFrames frames;
  if (const std::string failure = ReadPictures(files, dialog.Options(), dialog.Durations(), frames);
      !failure.empty()) {
    Warn(tr("Nothing was imported: %1").arg(QString::fromStdString(failure)));
    return;
  }
  const int at = document_.FrameCount() > 0 ? current_ + 1 : 0;
  document_.InsertFrames(at, frames, tr("Import Pictures"));
  SelectFrame(at);
}

void EditorWindow::Preview() {
  if (document_.FrameCount() == 0) return;
  PlayPreview(document_, current_, Action("loop")->isChecked(),
              [this](int frame) { SelectFrame(frame); });
}

void EditorWindow::FillRecentMenu() {
  recentMenu_->clear();
  for (const QString& path : recent_.List())
    connect(recentMenu_->addAction(path), &QAction::triggered, this,
            [this, path] { OpenFile(path); });
  recentMenu_->setEnabled(!recentMenu_->isEmpty());
}

void EditorWindow::EndOnExitSignals(int signalPipe) {
  auto* notifier = new QSocketNotifier(signalPipe, QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this] {
    if (TakeExitSignal()) close();
  });
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (!MaybeSave()) {
    event->ignore();
    return;
  }
  StopPreview();
  QSettings settings;
  settings.setValue("geometry", saveGeometry());
  settings.setValue("splitter", splitter_->saveState());
  settings.setValue("onion", Action("onion")->isChecked());
  settings.setValue("onionDepth", OnionDepth());
  event->accept();
}

}  // namespace glowreel
