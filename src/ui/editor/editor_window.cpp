#include "ui/editor/editor_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolBar>
#include <QVBoxLayout>

#include "authoring/gif_export.h"
#include "authoring/movie_writer.h"
#include "platform/port/qt/display_render.h"
#include "player/frame.h"
#include "player/play_movie.h"

namespace glowreel {

namespace {

constexpr int kRecentFiles = 8;
constexpr int32_t kNewFrameDuration = 100;
const QSize kThumbnail(132, 68);

QIcon Thumbnail(const CellGrid& cells) {
  PixelBuffer pixels{};
  DrawCells(cells, pixels, /*report=*/false);
  return QIcon(
      QPixmap::fromImage(RenderDisplay(DisplaySnapshot::Of(pixels))
                             .scaled(kThumbnail, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

// The pause a duration really gives: its slices of 10 ms.
QString PauseText(int32_t duration) {
  const std::optional<int32_t> slices = SliceCount(duration);
  if (!slices) return EditorWindow::tr("too long: reports 6 - Overflow, no pause");
  if (*slices == 0) return EditorWindow::tr("no pause");
  return EditorWindow::tr("%1 slices = %2 ms").arg(*slices).arg(*slices * 10);
}

QMessageBox::StandardButton AskToSave(QWidget* parent) {
  return QMessageBox::question(parent, EditorWindow::tr("Unsaved changes"),
                               EditorWindow::tr("The movie has changes that are not saved."),
                               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                               QMessageBox::Save);
}

}  // namespace

std::function<QMessageBox::StandardButton(QWidget*)> EditorWindow::askToSave = AskToSave;

EditorWindow::EditorWindow() {
  canvas_ = new CellCanvas;
  strip_ = new QListWidget;
  strip_->setIconSize(kThumbnail);
  strip_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  strip_->setDragDropMode(QAbstractItemView::InternalMove);
  strip_->setMinimumWidth(kThumbnail.width() + 80);
  duration_ = new QSpinBox;
  duration_->setRange(INT32_MIN, INT32_MAX);
  duration_->setSuffix(tr(" ms"));
  pause_ = new QLabel;
  problems_ = new QListWidget;

  auto* durationRow = new QHBoxLayout;
  durationRow->addWidget(new QLabel(tr("Duration:")));
  durationRow->addWidget(duration_);
  durationRow->addWidget(pause_, 1);
  auto* right = new QWidget;
  auto* column = new QVBoxLayout(right);
  column->addWidget(canvas_, 0, Qt::AlignLeft);
  column->addLayout(durationRow);
  column->addWidget(new QLabel(tr("What the player will report:")));
  column->addWidget(problems_, 1);
  splitter_ = new QSplitter;
  splitter_->addWidget(strip_);
  splitter_->addWidget(right);
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);
  setWindowIcon(QIcon::fromTheme(QStringLiteral("glowreel")));

  BuildActions();
  connect(&document_, &MovieDocument::Changed, this, &EditorWindow::Refresh);
  connect(canvas_, &CellCanvas::Painted, this, [this](const Cells& cells, int stroke) {
    if (document_.FrameCount() == 0) {  // drawing on a new movie makes its first frame
      document_.InsertFrames(0, {{kNewFrameDuration, cells}}, tr("Draw"));
    } else {
      document_.SetCells(current_, cells, tr("Draw"), stroke);
    }
  });
  connect(strip_, &QListWidget::currentRowChanged, this, [this](int row) {
    ++durationStroke_;  // duration changes merge into one step until another frame is chosen
    if (row < 0 || row == current_) return;
    current_ = row;
    ShowCurrent();
  });
  connect(strip_->model(), &QAbstractItemModel::rowsMoved, this,
          [this](const QModelIndex&, int from, int, const QModelIndex&, int to) {
            // Deferred: the strip is still busy with its drop.
            QTimer::singleShot(0, this, [this, from, to] {
              current_ = to > from ? to - 1 : to;
              document_.MoveFrame(from, current_);
            });
          });
  duration_->setKeyboardTracking(false);
  connect(duration_, &QSpinBox::valueChanged, this, [this](int value) {
    if (document_.FrameCount() > 0)
      document_.SetDurations(SelectedFrames(), value, durationStroke_);
  });
  connect(problems_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { SelectFrame(item->data(Qt::UserRole).toInt()); });
  preview_.setSingleShot(true);
  connect(&preview_, &QTimer::timeout, this, &EditorWindow::PreviewStep);

  QSettings settings;
  resize(1000, 700);
  restoreGeometry(settings.value("geometry").toByteArray());
  splitter_->restoreState(settings.value("splitter").toByteArray());
  Refresh();
}

QAction* EditorWindow::Action(const QString& name) const {
  return findChild<QAction*>(name);
}

void EditorWindow::BuildActions() {
  const auto add = [this](QMenu* menu, const char* name, const QString& text, QKeySequence keys,
                          auto slot) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  const auto every = [this](const QString& what, bool (*change)(bool)) {
    ChangeCells(
        [change](Cells& cells) {
          for (auto& column : cells)
            for (bool& cell : column) cell = change(cell);
        },
        what);
  };
  QMenu* file = menuBar()->addMenu(tr("&File"));
  add(file, "new", tr("&New"), QKeySequence::New, [this] { New(); });
  add(file, "open", tr("&Open..."), QKeySequence::Open, [this] { Open(); });
  recentMenu_ = file->addMenu(tr("Open &Recent"));
  add(file, "save", tr("&Save"), QKeySequence::Save, [this] { Save(); });
  add(file, "saveAs", tr("Save &As..."), QKeySequence::SaveAs, [this] { SaveAs(); });
  file->addSeparator();
  add(file, "import", tr("&Import Pictures..."), tr("Ctrl+I"), [this] { Import(); });
  add(file, "exportGif", tr("&Export GIF..."), tr("Ctrl+E"), [this] { ExportGif(); });
  file->addSeparator();
  add(file, "quit", tr("&Quit"), QKeySequence::Quit, [this] { close(); });

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  QAction* undo = document_.Undo().createUndoAction(this, tr("&Undo"));
  QAction* redo = document_.Undo().createRedoAction(this, tr("&Redo"));
  undo->setObjectName("undo");
  redo->setObjectName("redo");
  undo->setShortcut(QKeySequence::Undo);
  redo->setShortcut(QKeySequence::Redo);
  edit->addActions({undo, redo});
  edit->addSeparator();
  add(edit, "clear", tr("C&lear"), {}, [=] { every(tr("Clear"), [](bool) { return false; }); });
  add(edit, "fill", tr("&Fill"), {}, [=] { every(tr("Fill"), [](bool) { return true; }); });
  add(edit, "invert", tr("&Invert"), tr("Ctrl+Shift+I"),
      [=] { every(tr("Invert"), [](bool lit) { return !lit; }); });
  edit->addSeparator();
  add(edit, "shiftLeft", tr("Shift &Left"), tr("Alt+Left"), [this] { Shift(-1, 0); });
  add(edit, "shiftRight", tr("Shift &Right"), tr("Alt+Right"), [this] { Shift(1, 0); });
  add(edit, "shiftUp", tr("Shift &Up"), tr("Alt+Up"), [this] { Shift(0, -1); });
  add(edit, "shiftDown", tr("Shift &Down"), tr("Alt+Down"), [this] { Shift(0, 1); });
  add(edit, "wrap", tr("&Wrap Around When Shifting"), {}, [] {})->setCheckable(true);

  QMenu* frame = menuBar()->addMenu(tr("F&rame"));
  add(frame, "addFrame", tr("&Add"), tr("Ctrl+Shift+N"), [this] { AddFrame(false); });
  add(frame, "duplicateFrame", tr("&Duplicate"), tr("Ctrl+D"), [this] { AddFrame(true); });
  add(frame, "deleteFrame", tr("D&elete"), tr("Ctrl+Del"), [this] {
    if (document_.FrameCount() > 0) document_.RemoveFrames(SelectedFrames());
  });
  add(frame, "moveEarlier", tr("Move &Earlier"), tr("Ctrl+Up"), [this] { MoveCurrent(-1); });
  add(frame, "moveLater", tr("Move &Later"), tr("Ctrl+Down"), [this] { MoveCurrent(1); });

  QMenu* view = menuBar()->addMenu(tr("&View"));
  QAction* onion = add(view, "onion", tr("&Onion Skin"), {}, [this] { ShowCurrent(); });
  onion->setCheckable(true);
  onion->setChecked(QSettings().value("onion", true).toBool());

  QMenu* play = menuBar()->addMenu(tr("&Play"));
  add(play, "preview", tr("&Preview From Here"), tr("F5"), [this] { Preview(); });
  add(play, "loop", tr("&Loop"), {}, [] {})->setCheckable(true);
  add(play, "stop", tr("&Stop"), tr("Shift+F5"), [this] { preview_.stop(); });

  QToolBar* tools = addToolBar(tr("Movie"));
  tools->setObjectName("tools");
  for (const char* name : {"new", "open", "save", "undo", "redo", "addFrame", "duplicateFrame",
                           "deleteFrame", "preview", "stop"})
    tools->addAction(Action(QString::fromLatin1(name)));
  FillRecentMenu();
}

void EditorWindow::AddFrame(bool duplicate) {
  const bool any = document_.FrameCount() > 0;
  if (duplicate && !any) return;
  const int at = any ? current_ + 1 : 0;
  const int32_t duration = duplicate ? document_.Looks()[current_].duration : kNewFrameDuration;
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

void EditorWindow::Refresh() {
  const QSignalBlocker quiet(strip_);
  const int frames = document_.FrameCount();
  current_ = std::clamp(current_, 0, std::max(0, frames - 1));
  strip_->clear();
  for (int k = 0; k < frames; ++k) {
    auto* item = new QListWidgetItem(Thumbnail(document_.Looks()[k].cells),
                                     tr("%1\n%2 ms").arg(k + 1).arg(document_.Looks()[k].duration));
    strip_->addItem(item);
  }
  if (frames > 0) strip_->setCurrentRow(current_);
  problems_->clear();
  for (const MovieProblem& problem : document_.Check()) {
    auto* item = new QListWidgetItem(
        problem.line ? tr("line %1: %2").arg(problem.line).arg(QString::fromStdString(problem.text))
                     : QString::fromStdString(problem.text));
    item->setData(Qt::UserRole, document_.FrameAtLine(problem.line));
    problems_->addItem(item);
  }
  ShowCurrent();
  UpdateTitle();
}

void EditorWindow::ShowCurrent() {
  const bool any = current_ < document_.FrameCount();
  duration_->setEnabled(any);
  if (!any) {
    canvas_->Show(Cells{}, nullptr, {});
    pause_->clear();
    return;
  }
  const FrameLook& look = document_.Looks()[current_];
  const Cells before = current_ > 0 ? document_.LitCells(current_ - 1) : Cells{};
  const bool onion = Action("onion")->isChecked() && current_ > 0;
  canvas_->Show(document_.LitCells(current_), onion ? &before : nullptr, look.mismatches);
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
  const QSignalBlocker quiet(strip_);
  strip_->setCurrentRow(frame);
  ShowCurrent();
}

std::vector<int> EditorWindow::SelectedFrames() const {
  std::vector<int> frames;
  for (const QModelIndex& index : strip_->selectionModel()->selectedRows())
    frames.push_back(index.row());
  if (std::find(frames.begin(), frames.end(), current_) == frames.end()) frames.push_back(current_);
  return frames;
}

void EditorWindow::ChangeCells(const std::function<void(Cells&)>& change, const QString& what) {
  if (current_ >= document_.FrameCount()) return;
  Cells cells = document_.LitCells(current_);
  change(cells);
  document_.SetCells(current_, cells, what);
}

void EditorWindow::Shift(int dx, int dy) {
  const bool wrap = Action("wrap")->isChecked();
  ChangeCells(
      [=](Cells& cells) {
        const Cells from = cells;
        for (int x = 0; x < kCellColumns; ++x) {
          for (int y = 0; y < kCellRows; ++y) {
            int sx = x - dx, sy = y - dy;
            if (wrap) sx = (sx + kCellColumns) % kCellColumns, sy = (sy + kCellRows) % kCellRows;
            const bool inside = sx >= 0 && sx < kCellColumns && sy >= 0 && sy < kCellRows;
            cells[x][y] = inside && from[sx][sy];
          }
        }
      },
      tr("Shift"));
}

void EditorWindow::Warn(const QString& text) {
  QMessageBox::warning(this, tr("GlowReel Movie Editor"), text);
}

bool EditorWindow::MaybeSave() {
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
  preview_.stop();
  path_.clear();
  current_ = 0;
  document_.Clear();
  return true;
}

void EditorWindow::Open() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Open Movie"), QFileInfo(path_).path(),
                                                    tr("GlowReel movies (*.grm);;All files (*)"));
  if (!path.isEmpty()) OpenFile(path);
}

bool EditorWindow::OpenFile(const QString& path) {
  if (!MaybeSave()) return false;
  preview_.stop();
  const std::string failure = document_.Open(QFile::encodeName(path).toStdString());
  if (!failure.empty()) {
    Warn(tr("%1 cannot be opened: %2").arg(path, QString::fromStdString(failure)));
    return false;
  }
  path_ = path;
  current_ = 0;
  RememberRecent(path);
  Refresh();
  return true;
}

bool EditorWindow::Save() {
  return path_.isEmpty() ? SaveAs() : SaveTo(path_);
}

bool EditorWindow::SaveAs() {
  const QString path =
      QFileDialog::getSaveFileName(this, tr("Save Movie"), path_, tr("GlowReel movies (*.grm)"));
  return !path.isEmpty() && SaveTo(path);
}

bool EditorWindow::SaveTo(const QString& path) {
  const std::string failure = document_.Save(QFile::encodeName(path).toStdString());
  if (!failure.empty()) {
    Warn(tr("%1 cannot be written: %2").arg(path, QString::fromStdString(failure)));
    return false;
  }
  path_ = path;
  RememberRecent(path);
  UpdateTitle();
  return true;
}

void EditorWindow::Import() {
  QDialog dialog(this);
  dialog.setWindowTitle(tr("Import Pictures"));
  auto* fit = new QComboBox;
  fit->addItems({tr("Contain"), tr("Cover"), tr("Stretch")});
  auto* threshold = new QSpinBox;
  threshold->setRange(0, 100);
  threshold->setValue(50);
  threshold->setSuffix(tr(" %"));
  auto* invert = new QCheckBox(tr("Light the dark parts"));
  auto* dither = new QCheckBox(tr("Dither"));
  auto* ownDelays = new QCheckBox(tr("An animated GIF keeps its own delays"));
  ownDelays->setChecked(true);
  auto* duration = new QSpinBox;
  duration->setRange(INT32_MIN, INT32_MAX);
  duration->setValue(kNewFrameDuration);
  duration->setSuffix(tr(" ms"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* form = new QFormLayout(&dialog);
  form->addRow(tr("Fit:"), fit);
  form->addRow(tr("Threshold:"), threshold);
  form->addRow(invert);
  form->addRow(dither);
  form->addRow(tr("Duration:"), duration);
  form->addRow(ownDelays);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return;
  const QStringList paths = QFileDialog::getOpenFileNames(
      this, tr("Import Pictures"), QString(),
      tr("Pictures (*.png *.gif *.bmp *.jpg *.jpeg *.pbm *.pgm *.ppm);;All files (*)"));
  if (paths.isEmpty()) return;
  std::vector<std::string> files;
  for (const QString& path : paths) files.push_back(QFile::encodeName(path).toStdString());
  const CellOptions options{static_cast<Fit>(fit->currentIndex()), threshold->value(),
                            invert->isChecked(), dither->isChecked()};
  CellFrames frames;
  const FrameDurations durations{
      ownDelays->isChecked() ? std::nullopt : std::optional<int32_t>(duration->value()),
      duration->value()};
  if (const std::string failure = ReadPictures(files, options, durations, frames);
      !failure.empty()) {
    Warn(tr("Nothing was imported: %1").arg(QString::fromStdString(failure)));
    return;
  }
  const int at = document_.FrameCount() > 0 ? current_ + 1 : 0;
  document_.InsertFrames(at, frames, tr("Import Pictures"));
  SelectFrame(at);
}

void EditorWindow::ExportGif() {
  const QString gif =
      QFileDialog::getSaveFileName(this, tr("Export GIF"), QString(), tr("Animated GIF (*.gif)"));
  if (gif.isEmpty()) return;
  QTemporaryDir dir;
  const std::string movie = QFile::encodeName(dir.filePath("movie.grm")).toStdString();
  std::string failure = WriteMovieLines(movie, document_.Lines());
  if (failure.empty()) {
    failure = glowreel::ExportGif(movie, QFile::encodeName(gif).toStdString(),
                                  Action("loop")->isChecked(), [](const std::string&) {});
  }
  if (!failure.empty())
    Warn(tr("%1 cannot be written: %2").arg(gif, QString::fromStdString(failure)));
}

void EditorWindow::Preview() {
  if (document_.FrameCount() == 0) return;
  previewFrame_ = current_;
  pausesThisPass_ = 0;
  PreviewStep();
}

void EditorWindow::PreviewStep() {
  // Each frame for its slices of 10 ms, as the player holds it; at the end of the movie, again
  // from the first frame when looping, unless a whole pass made no pause.
  if (previewFrame_ >= document_.FrameCount()) {
    if (!Action("loop")->isChecked() || pausesThisPass_ == 0) return;
    previewFrame_ = pausesThisPass_ = 0;
  }
  SelectFrame(previewFrame_++);
  const int32_t slices = SliceCount(document_.Looks()[current_].duration).value_or(0);
  pausesThisPass_ += slices > 0;
  preview_.start(slices * 10);
}

void EditorWindow::RememberRecent(const QString& path) {
  QSettings settings;
  QStringList recent = settings.value("recent").toStringList();
  recent.removeAll(QFileInfo(path).absoluteFilePath());
  recent.prepend(QFileInfo(path).absoluteFilePath());
  settings.setValue("recent", recent.mid(0, kRecentFiles));
  FillRecentMenu();
}

void EditorWindow::FillRecentMenu() {
  recentMenu_->clear();
  for (const QString& path : QSettings().value("recent").toStringList())
    connect(recentMenu_->addAction(path), &QAction::triggered, this,
            [this, path] { OpenFile(path); });
  recentMenu_->setEnabled(!recentMenu_->isEmpty());
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (!MaybeSave()) {
    event->ignore();
    return;
  }
  preview_.stop();
  QSettings settings;
  settings.setValue("geometry", saveGeometry());
  settings.setValue("splitter", splitter_->saveState());
  settings.setValue("onion", Action("onion")->isChecked());
  event->accept();
}

}  // namespace glowreel
