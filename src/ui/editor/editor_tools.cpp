// The editor's work on cells and frames beyond drawing: edits over the selection, the
// clipboard, text, and pictures for other programs.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressDialog>
#include <QSettings>
#include <QTemporaryDir>

#include "authoring/gif_export.h"
#include "authoring/movie_writer.h"
#include "authoring/png_export.h"
#include "dots/pixel_font.h"
#include "player/play_movie.h"
#include "ui/editor/editor_window.h"

namespace glowreel {

namespace {

// The dialog's rows and its OK and Cancel; true when accepted. The fields stay the dialog's, to
// be read after.
bool Ask(QDialog& dialog, const QString& title,
         const std::vector<std::pair<QString, QWidget*>>& rows, QWidget* below = nullptr) {
  dialog.setWindowTitle(title);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* form = new QFormLayout(&dialog);
  for (const auto& [label, field] : rows) form->addRow(label, field);
  if (below) form->addRow(below);
  form->addRow(buttons);
  return dialog.exec() == QDialog::Accepted;
}

QSpinBox* NumberBox(int low, int high, int value, const QString& suffix = {}, int step = 1) {
  auto* box = new QSpinBox;
  box->setRange(low, high);
  box->setSingleStep(step);
  box->setSuffix(suffix);
  box->setValue(value);
  return box;
}

// What a marquee comes to, as the dialog tells it before anything is inserted.
QString MarqueeSize(const CellFrames& frames) {
  int64_t ms = 0;
  for (const auto& [duration, cells] : frames)
    ms += int64_t{SliceCount(duration).value_or(0)} * kSliceMs;
  return frames.size() == 1
             ? EditorWindow::tr("1 frame, %1").arg(ClockText(ms))
             : EditorWindow::tr("%1 frames, %2").arg(frames.size()).arg(ClockText(ms));
}

bool AskScrollingText(QWidget* parent, QString& text, ScrollOptions& options) {
  QDialog dialog(parent);
  auto* line = new QLineEdit(text);
  auto* way = new QComboBox;
  way->addItems({EditorWindow::tr("Left"), EditorWindow::tr("Right"), EditorWindow::tr("Up")});
  way->setCurrentIndex(static_cast<int>(options.way));
  auto* row = NumberBox(0, kCellRows - kGlyphHeight, options.row);
  auto* speed =
      NumberBox(kSliceMs, 10000, options.stepMs, EditorWindow::tr(" ms a step"), kSliceMs);
  auto* hold = NumberBox(0, 60000, options.holdMs, EditorWindow::tr(" ms"), 100);
  hold->setSpecialValueText(EditorWindow::tr("no hold"));
  auto* size = new QLabel;
  const auto read = [&] {
    options = {static_cast<ScrollWay>(way->currentIndex()), row->value(), speed->value(),
               hold->value()};
    row->setEnabled(options.way != ScrollWay::kUp);
    size->setText(MarqueeSize(ScrollingText(line->text().toStdString(), options)));
  };
  read();
  QObject::connect(line, &QLineEdit::textChanged, size, read);
  QObject::connect(way, &QComboBox::currentIndexChanged, size, read);
  for (QSpinBox* box : {row, speed, hold})
    QObject::connect(box, &QSpinBox::valueChanged, size, read);
  if (!Ask(dialog, EditorWindow::tr("Insert Scrolling Text"),
           {{EditorWindow::tr("Text:"), line},
            {EditorWindow::tr("Moving:"), way},
            {EditorWindow::tr("Top row:"), row},
            {EditorWindow::tr("Speed:"), speed},
            {EditorWindow::tr("Hold in the middle:"), hold}},
           size) ||
      line->text().isEmpty())
    return false;
  text = line->text();
  return true;
}

bool AskRepeatWithMove(QWidget* parent, RepeatMove& move) {
  QDialog dialog(parent);
  auto* times = NumberBox(1, 999, move.times);
  auto* dx = NumberBox(1 - kCellColumns, kCellColumns - 1, move.dx, EditorWindow::tr(" cells"));
  auto* dy = NumberBox(1 - kCellRows, kCellRows - 1, move.dy, EditorWindow::tr(" cells"));
  if (!Ask(dialog, EditorWindow::tr("Repeat With Move"),
           {{EditorWindow::tr("New frames:"), times},
            {EditorWindow::tr("Each across:"), dx},
            {EditorWindow::tr("Each down:"), dy}}))
    return false;
  move = {times->value(), dx->value(), dy->value()};
  return true;
}

bool AskExport(QWidget* parent, ExportKind kind, ExportChoice& choice) {
  QDialog dialog(parent);
  QSettings settings;
  auto* loop = new QCheckBox(EditorWindow::tr("Loop for ever"));
  loop->setChecked(settings.value("exportLoop", true).toBool());
  auto* scale = NumberBox(1, 8, settings.value("exportScale", 1).toInt(), EditorWindow::tr(" x"));
  std::vector<std::pair<QString, QWidget*>> rows{{EditorWindow::tr("Scale:"), scale}};
  if (kind == ExportKind::kGif) rows.emplace_back(QString(), loop);
  const QString title = kind == ExportKind::kGif        ? EditorWindow::tr("Export GIF")
                        : kind == ExportKind::kSequence ? EditorWindow::tr("Export PNG Sequence")
                                                        : EditorWindow::tr("Export Sprite Sheet");
  if (!Ask(dialog, title, rows)) return false;
  settings.setValue("exportLoop", loop->isChecked());
  settings.setValue("exportScale", scale->value());
  choice.loop = loop->isChecked();
  choice.scale = scale->value();
  choice.path = kind == ExportKind::kGif
                    ? AskSaveName(parent, title, QString(),
                                  EditorWindow::tr("Animated GIF (*.gif)"), QStringLiteral(".gif"))
                    : AskSaveName(parent, title, QString(),
                                  EditorWindow::tr("PNG pictures (*.png)"), QStringLiteral(".png"));
  return !choice.path.isEmpty();
}

}  // namespace

std::function<bool(QWidget*, QString&, ScrollOptions&)> EditorWindow::askScrollingText =
    AskScrollingText;
std::function<bool(QWidget*, ExportKind, ExportChoice&)> EditorWindow::askExport = AskExport;
std::function<bool(QWidget*, RepeatMove&)> EditorWindow::askRepeatWithMove = AskRepeatWithMove;

void EditorWindow::ChangeCells(const std::function<Cells(const Cells&, const CellRect&)>& change,
                               const QString& what) {
  if (current_ >= document_.FrameCount()) return;
  const CellRect area = canvas_->Selection().value_or(CellRect{});
  document_.SetCellsOf(
      strip_->Chosen(current_), [&](int, const Cells& cells) { return change(cells, area); }, what);
}

void EditorWindow::CopyCells(bool cut) {
  if (current_ >= document_.FrameCount()) return;
  const CellRect area = canvas_->Selection().value_or(CellRect{});
  QApplication::clipboard()->setText(QString::fromStdString(
      BlockText(document_.LitCells(current_), area, document_.Duration(current_))));
  // What is cut is what was copied: the current frame's cells alone.
  if (cut) document_.SetCells(current_, Cleared(document_.LitCells(current_), area), tr("Cut"));
}

void EditorWindow::PasteCells() {
  const auto block = BlockOfText(QApplication::clipboard()->text().toStdString());
  if (!block) return Tell(tr("The clipboard holds no cells: rows of 0 and 1 are pasted."));
  const auto& [cells, area] = *block;
  // Where the selection is, or the top left; then selected, to be moved.
  const CellRect at = canvas_->Selection().value_or(CellRect{0, 0, 0, 0});
  const Cells pasted =
      Stamped(current_ < document_.FrameCount() ? document_.LitCells(current_) : Cells{}, cells,
              area, at.x, at.y);
  if (document_.FrameCount() == 0) {
    document_.InsertFrames(0, {{kNewFrameDuration, pasted}}, tr("Paste"));
  } else {
    document_.SetCells(current_, pasted, tr("Paste"));
  }
  Action("toolSelect")->trigger();
  canvas_->Select(CellRect{at.x, at.y, area.width, area.height});
}

void EditorWindow::CopyFrames() {
  if (document_.FrameCount() == 0) return;
  QString text;
  for (const std::string& line : document_.LinesOf(strip_->Chosen(current_)))
    text += QString::fromStdString(line) + "\n";
  QApplication::clipboard()->setText(text);
}

void EditorWindow::PasteFrames() {
  const int at = document_.FrameCount() > 0 ? current_ + 1 : 0;
  const int had = document_.FrameCount();
  document_.InsertLines(at, SplitMovieText(QApplication::clipboard()->text().toStdString()),
                        tr("Paste Frames"));
  if (document_.FrameCount() == had)
    return Tell(tr("The clipboard holds no frames: lines starting with @ begin them."));
  SelectFrame(at);
}

void EditorWindow::InsertText() {
  QString text;
  ScrollOptions options;
  if (!askScrollingText(this, text, options)) return;
  const int at = document_.FrameCount() > 0 ? current_ + 1 : 0;
  document_.InsertFrames(at, ScrollingText(text.toStdString(), options),
                         tr("Insert Scrolling Text"));
  SelectFrame(at);
}

void EditorWindow::RepeatWithMove() {
  if (document_.FrameCount() == 0) return;
  RepeatMove move;
  if (!askRepeatWithMove(this, move)) return;
  const CellRect area = canvas_->Selection().value_or(CellRect{});
  const Cells cells = document_.LitCells(current_);
  std::vector<std::pair<int32_t, Cells>> frames;
  for (int k = 1; k <= move.times; ++k)
    frames.emplace_back(document_.Duration(current_),
                        MovedArea(cells, area, k * move.dx, k * move.dy));
  const int from = current_;
  document_.InsertFrames(from + 1, frames, tr("Repeat With Move"));
  SelectFrame(from + move.times);
  // The selection goes along, to move on from the last frame.
  if (canvas_->Selection())
    canvas_->Select(CellRect{area.x + move.times * move.dx, area.y + move.times * move.dy,
                             area.width, area.height});
}

void EditorWindow::Export(ExportKind kind) {
  if (kind == ExportKind::kSheet && !SheetFits())
    return Warn(tr("This movie shows more than %1 pictures, more than one sprite sheet holds: "
                   "export a PNG sequence instead.")
                    .arg(SpriteSheet::kMostFrames));
  ExportChoice choice;
  if (!askExport(this, kind, choice)) return;
  const std::string path = FileName(choice.path);
  const auto warn = [](const std::string&) {};
  ExportTo(choice.path, choice.scale, [&](const std::string& movie, const ExportControl& control) {
    if (kind == ExportKind::kGif) return ExportGif(movie, path, choice.loop, warn, {}, control);
    PngSequence sequence(path);
    SpriteSheet sheet(path);
    PictureSink& sink = kind == ExportKind::kSheet ? static_cast<PictureSink&>(sheet) : sequence;
    return ExportPictures(movie, sink, warn, {}, control);
  });
}

bool EditorWindow::SheetFits() {
  int paused = 0;
  for (int k = 0; k < document_.FrameCount(); ++k)
    paused += SliceCount(document_.Duration(k)).value_or(0) > 0;
  if (paused <= SpriteSheet::kMostFrames) return true;  // a picture takes a frame that pauses
  // Frames alike make one picture: played until the sheet would be full, never written.
  const QTemporaryDir folder;
  SpriteSheet probe(FileName(folder.filePath("probe.png")));
  const std::string movie = FileName(folder.filePath("movie.grm"));
  if (!WriteMovieLines(movie, document_.Lines()).empty()) return true;  // the export will tell
  ExportPictures(movie, probe, [](const std::string&) {});
  return !probe.Full();
}

void EditorWindow::ExportTo(
    const QString& path, int scale,
    const std::function<std::string(const std::string&, const ExportControl&)>& write) {
  // What the display shows is played from the movie as it would be saved now.
  const QTemporaryDir folder;
  const std::string movie = FileName(folder.filePath("movie.grm"));
  const std::vector<std::string> lines = document_.Lines();
  std::string failure = WriteMovieLines(movie, lines);
  QProgressDialog progress(tr("Exporting %1...").arg(QFileInfo(path).fileName()), tr("Cancel"), 0,
                           100, this);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  const ExportControl control{
      scale, [&](std::size_t line) {
        progress.setValue(static_cast<int>(line * 100 / std::max<std::size_t>(1, lines.size())));
        // Until the dialog shows, the window takes no input.
        QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                             : QEventLoop::ExcludeUserInputEvents);
        return !progress.wasCanceled();
      }};
  if (failure.empty()) failure = write(movie, control);
  progress.reset();
  if (failure == kExportStopped) return Tell(tr("Export cancelled: nothing was written."));
  if (!failure.empty())
    Warn(tr("%1 cannot be written: %2").arg(path, QString::fromStdString(failure)));
}

}  // namespace glowreel
