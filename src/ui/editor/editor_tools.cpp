// The editor's work on cells and frames beyond drawing: edits over the selection, the
// clipboard, text, and pictures for other programs.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>

#include "authoring/gif_export.h"
#include "authoring/movie_writer.h"
#include "authoring/png_export.h"
#include "ui/editor/editor_window.h"

namespace glowreel {

namespace {

bool AskScrollingText(QWidget* parent, QString& text, int& stepMs) {
  QDialog dialog(parent);
  dialog.setWindowTitle(EditorWindow::tr("Insert Scrolling Text"));
  auto* line = new QLineEdit(text);
  auto* step = new QSpinBox;
  step->setRange(kSliceMs, 10000);
  step->setSingleStep(kSliceMs);
  step->setSuffix(EditorWindow::tr(" ms"));
  step->setValue(stepMs);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* form = new QFormLayout(&dialog);
  form->addRow(EditorWindow::tr("Text:"), line);
  form->addRow(EditorWindow::tr("Pause per step:"), step);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted || line->text().isEmpty()) return false;
  text = line->text();
  stepMs = step->value();
  return true;
}

}  // namespace

std::function<bool(QWidget*, QString&, int&)> EditorWindow::askScrollingText = AskScrollingText;

void EditorWindow::ChangeCells(const std::function<Cells(const Cells&, const CellRect&)>& change,
                               const QString& what) {
  if (current_ >= document_.FrameCount()) return;
  const CellRect area = canvas_->Selection().value_or(CellRect{});
  document_.SetCells(current_, change(document_.LitCells(current_), area), what);
}

void EditorWindow::CopyCells(bool cut) {
  if (current_ >= document_.FrameCount()) return;
  const CellRect area = canvas_->Selection().value_or(CellRect{});
  QApplication::clipboard()->setText(QString::fromStdString(
      BlockText(document_.LitCells(current_), area, document_.Duration(current_))));
  if (cut) ChangeCells(Cleared, tr("Cut"));
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
  int stepMs = 200;
  if (!askScrollingText(this, text, stepMs)) return;
  const int at = document_.FrameCount() > 0 ? current_ + 1 : 0;
  document_.InsertFrames(at, TextInCells(text.toStdString(), kStillPictureMs, stepMs),
                         tr("Insert Scrolling Text"));
  SelectFrame(at);
}

void EditorWindow::ExportGif() {
  const QString gif = AskSaveName(this, tr("Export GIF"), QString(), tr("Animated GIF (*.gif)"),
                                  QStringLiteral(".gif"));
  ExportTo(gif, [&](const std::string& movie) {
    return glowreel::ExportGif(movie, FileName(gif), Action("loop")->isChecked(),
                               [](const std::string&) {});
  });
}

void EditorWindow::ExportPng(Pictures kind) {
  const QString png = AskSaveName(
      this, kind == Pictures::kSheet ? tr("Export Sprite Sheet") : tr("Export PNG Sequence"),
      QString(), tr("PNG pictures (*.png)"), QStringLiteral(".png"));
  ExportTo(png, [&](const std::string& movie) {
    PngSequence sequence(FileName(png));
    SpriteSheet sheet(FileName(png));
    PictureSink& sink = kind == Pictures::kSheet ? static_cast<PictureSink&>(sheet) : sequence;
    return ExportPictures(movie, sink, [](const std::string&) {});
  });
}

void EditorWindow::ExportTo(const QString& path,
                            const std::function<std::string(const std::string&)>& write) {
  if (path.isEmpty()) return;
  // What the display shows is played from the movie as it would be saved now.
  const QTemporaryDir folder;
  const std::string movie = FileName(folder.filePath("movie.grm"));
  std::string failure = WriteMovieLines(movie, document_.Lines());
  if (failure.empty()) failure = write(movie);
  if (!failure.empty())
    Warn(tr("%1 cannot be written: %2").arg(path, QString::fromStdString(failure)));
}

}  // namespace glowreel
