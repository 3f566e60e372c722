// The editor's menus and tool bar, one action a line.
#include <QActionGroup>
#include <QDialog>
#include <QDockWidget>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenuBar>
#include <QSettings>
#include <QTableWidget>
#include <QToolBar>
#include <QUndoView>
#include <QVBoxLayout>

#include "ui/editor/editor_window.h"
#include "ui/editor/movie_preview.h"

namespace glowreel {

void EditorWindow::BuildActions() {
  const auto add = [this](QMenu* menu, const char* name, const QString& text, QKeySequence keys,
                          auto slot) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  // Over the selection, or the whole frame.
  const auto edit = [this](const QString& what, Cells (*change)(const Cells&, const CellRect&)) {
    return [=, this] { ChangeCells(change, what); };
  };
  QMenu* file = menuBar()->addMenu(tr("&File"));
  add(file, "new", tr("&New"), QKeySequence::New, [this] { New(); });
  add(file, "open", tr("&Open..."), QKeySequence::Open, [this] {
    if (const QString path = AskOpenMovie(this, QFileInfo(path_).path()); !path.isEmpty())
      OpenFile(path);
  });
  recentMenu_ = file->addMenu(tr("Open &Recent"));
  add(file, "save", tr("&Save"), QKeySequence::Save, [this] { Save(); });
  // Named, since some desktops give Save As no key of their own.
  add(file, "saveAs", tr("Save &As..."), tr("Ctrl+Shift+S"), [this] { SaveAs(); });
  file->addSeparator();
  add(file, "import", tr("&Import Pictures..."), tr("Ctrl+I"), [this] { Import(); });
  add(file, "exportGif", tr("&Export GIF..."), tr("Ctrl+E"), [this] { Export(ExportKind::kGif); });
  add(file, "exportSequence", tr("Export PNG Se&quence..."), {},
      [this] { Export(ExportKind::kSequence); });
  add(file, "exportSheet", tr("Export Sprite S&heet..."), {},
      [this] { Export(ExportKind::kSheet); });
  file->addSeparator();
  add(file, "quit", tr("&Quit"), QKeySequence::Quit, [this] { close(); });

  QMenu* cells = menuBar()->addMenu(tr("&Edit"));
  QAction* undo = document_.Undo().createUndoAction(this, tr("&Undo"));
  QAction* redo = document_.Undo().createRedoAction(this, tr("&Redo"));
  undo->setObjectName("undo");
  redo->setObjectName("redo");
  undo->setIconText(tr("Undo"));  // the tool bar keeps its place as the step's name changes
  redo->setIconText(tr("Redo"));
  undo->setShortcuts(QKeySequence::Undo);  // every key the desktop knows for them
  redo->setShortcuts(QKeySequence::Redo);
  cells->addActions({undo, redo});
  cells->addSeparator();
  add(cells, "cut", tr("Cu&t"), QKeySequence::Cut, [this] { CopyCells(true); });
  add(cells, "copy", tr("&Copy"), QKeySequence::Copy, [this] { CopyCells(false); });
  add(cells, "paste", tr("&Paste"), QKeySequence::Paste, [this] { PasteCells(); });
  add(cells, "selectAll", tr("Select &All"), QKeySequence::SelectAll, [this] {
    Action("toolSelect")->trigger();
    canvas_->Select(CellRect{});
  });
  add(cells, "selectNone", tr("Select &None"), tr("Ctrl+Shift+A"),
      [this] { canvas_->Select(std::nullopt); });
  cells->addSeparator();
  // The clipboard's and the selection's keys act on the cells wherever the focus is, but in a
  // text box, which keeps its own; Delete clears cells only where they have the focus (in the
  // strip it would seem to delete frames).
  add(cells, "clear", tr("C&lear"), QKeySequence::Delete, edit(tr("Clear"), Cleared))
      ->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  canvasArea_->addAction(Action("clear"));
  add(cells, "fill", tr("&Fill"), {}, edit(tr("Fill"), Filled));
  add(cells, "invert", tr("&Invert"), tr("Ctrl+Shift+I"), edit(tr("Invert"), Inverted));
  cells->addSeparator();
  const auto shift = [this](int dx, int dy) {
    return [=, this] {
      const bool wrap = Action("wrap")->isChecked();
      ChangeCells([=](const Cells& c, const CellRect& a) { return Shifted(c, dx, dy, wrap, a); },
                  tr("Shift"));
    };
  };
  add(cells, "shiftLeft", tr("Shift &Left"), tr("Alt+Shift+Left"), shift(-1, 0));
  add(cells, "shiftRight", tr("Shift &Right"), tr("Alt+Shift+Right"), shift(1, 0));
  add(cells, "shiftUp", tr("Shift &Up"), tr("Alt+Shift+Up"), shift(0, -1));
  add(cells, "shiftDown", tr("Shift &Down"), tr("Alt+Shift+Down"), shift(0, 1));
  add(cells, "wrap", tr("&Wrap Around When Shifting"), {}, [] {})->setCheckable(true);
  cells->addSeparator();
  add(cells, "mirror", tr("&Mirror"), {}, edit(tr("Mirror"), Mirrored));
  add(cells, "flip", tr("Fli&p"), {}, edit(tr("Flip"), Flipped));
  add(cells, "rotate", tr("R&otate 180 Degrees"), {}, edit(tr("Rotate"), Rotated180));

  QMenu* toolMenu = menuBar()->addMenu(tr("&Tools"));
  auto* toolGroup = new QActionGroup(this);
  const std::tuple<const char*, QString, const char*> kTools[] = {
      {"toolPen", tr("&Pen"), "P"},
      {"toolLine", tr("&Line"), "L"},
      {"toolRectangle", tr("&Rectangle"), "R"},
      {"toolFilledRectangle", tr("&Filled Rectangle"), "F"},
      {"toolSelect", tr("&Select"), "S"},
      {"toolText", tr("&Text"), "T"}};
  for (int k = 0; k < 6; ++k) {
    const auto& [name, text, key] = kTools[k];
    QAction* tool = add(toolMenu, name, text, QKeySequence(QString::fromLatin1(key)),
                        [this, k] { canvas_->SetTool(static_cast<CanvasTool>(k)); });
    tool->setCheckable(true);
    tool->setChecked(k == 0);
    toolGroup->addAction(tool);
  }

  QMenu* frame = menuBar()->addMenu(tr("F&rame"));
  add(frame, "addFrame", tr("&Add"), tr("Ctrl+Shift+N"), [this] { AddFrame(false); });
  add(frame, "duplicateFrame", tr("&Duplicate"), tr("Ctrl+D"), [this] { AddFrame(true); });
  add(frame, "deleteFrame", tr("D&elete"), tr("Ctrl+Del"), [this] {
    if (document_.FrameCount() > 0) document_.RemoveFrames(strip_->Chosen(current_));
  });
  add(frame, "moveEarlier", tr("Move &Earlier"), tr("Ctrl+Up"), [this] { MoveCurrent(-1); });
  add(frame, "moveLater", tr("Move &Later"), tr("Ctrl+Down"), [this] { MoveCurrent(1); });
  add(frame, "previousFrame", tr("P&revious"), tr(","), [this] {
    SelectFrame(current_ - 1);
  })->setShortcuts({tr(","), tr("Alt+Left")});
  add(frame, "nextFrame", tr("&Next"), tr("."), [this] {
    SelectFrame(current_ + 1);
  })->setShortcuts({tr("."), tr("Alt+Right")});
  frame->addSeparator();
  add(frame, "copyFrames", tr("&Copy Frames"), tr("Ctrl+Shift+C"), [this] { CopyFrames(); });
  add(frame, "pasteFrames", tr("&Paste Frames"), tr("Ctrl+Shift+V"), [this] { PasteFrames(); });
  add(frame, "comment", tr("Co&mment..."), tr("F2"), [this] {
    if (document_.FrameCount() > 0) strip_->edit(strip_->currentIndex());
  });
  add(frame, "insertText", tr("Insert Scrolling &Text..."), tr("Ctrl+T"), [this] { InsertText(); });
  add(frame, "repeatWithMove", tr("Repeat &With Move..."), tr("Ctrl+R"),
      [this] { RepeatWithMove(); });

  QMenu* view = menuBar()->addMenu(tr("&View"));
  QAction* onion = add(view, "onion", tr("&Onion Skin"), {}, [this] { ShowCurrent(); });
  onion->setCheckable(true);
  onion->setChecked(QSettings().value("onion", true).toBool());
  QMenu* depth = view->addMenu(tr("Onion Skin &Depth"));
  auto* depthGroup = new QActionGroup(this);
  const int depthSet = QSettings().value("onionDepth", 1).toInt();
  for (int frames = 1; frames <= 3; ++frames) {
    QAction* choice =
        add(depth, qPrintable(QStringLiteral("onion%1").arg(frames)),
            frames == 1 ? tr("&1 Frame Each Way") : tr("&%1 Frames Each Way").arg(frames), {},
            [this] { ShowCurrent(); });
    choice->setCheckable(true);
    choice->setChecked(frames == depthSet || (frames == 1 && (depthSet < 1 || depthSet > 3)));
    depthGroup->addAction(choice);
  }
  // Every step, to go back to any of them with a click.
  auto* history = new QDockWidget(tr("History"), this);
  history->setObjectName("historyDock");
  auto* steps = new QUndoView(&document_.Undo());
  steps->setEmptyLabel(tr("<as opened>"));
  history->setWidget(steps);
  addDockWidget(Qt::RightDockWidgetArea, history);
  history->hide();
  QAction* showHistory = history->toggleViewAction();
  showHistory->setObjectName("history");
  showHistory->setText(tr("&History"));
  showHistory->setShortcut(tr("Ctrl+H"));
  view->addAction(showHistory);
  view->addSeparator();
  // Ctrl+= besides the platform's Ctrl++ (Ctrl+Shift+= on most keyboards), as browsers take it.
  add(view, "zoomIn", tr("Zoom &In"), QKeySequence::ZoomIn, [this] {
    canvas_->ZoomBy(1.25);
  })->setShortcuts({QKeySequence::ZoomIn, QKeySequence(tr("Ctrl+="))});
  add(view, "zoomOut", tr("Zoom &Out"), QKeySequence::ZoomOut, [this] { canvas_->ZoomBy(0.8); });
  add(view, "zoomFit", tr("&Fit to Window"), tr("Ctrl+0"), [this] { canvas_->ZoomToFit(); });

  QMenu* play = menuBar()->addMenu(tr("&Play"));
  add(play, "preview", tr("&Preview From Here"), tr("F5"), [this] { Preview(); });
  add(play, "loop", tr("&Loop"), {}, [] {})->setCheckable(true);
  add(play, "stop", tr("&Stop"), tr("Shift+F5"), [] { StopPreview(); });

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  add(help, "shortcuts", tr("&Keyboard Shortcuts"), QKeySequence::HelpContents,
      [this] { ShowShortcuts(); });

  QToolBar* tools = addToolBar(tr("Movie"));
  tools->setObjectName("tools");
  for (const char* name : {"new", "open", "save", "undo", "redo", "addFrame", "duplicateFrame",
                           "deleteFrame", "preview", "stop"})
    tools->addAction(Action(QString::fromLatin1(name)));
  QToolBar* drawing = addToolBar(tr("Tools"));
  drawing->setObjectName("drawing");
  drawing->addActions(toolGroup->actions());
  FillRecentMenu();
}

// The canvas's own keys, which no menu holds.
const char* const kCanvasKeys[][2] = {
    {QT_TRANSLATE_NOOP("EditorWindow", "Arrows"),
     QT_TRANSLATE_NOOP("EditorWindow", "Move the cursor over the cells")},
    {QT_TRANSLATE_NOOP("EditorWindow", "Space"),
     QT_TRANSLATE_NOOP("EditorWindow", "Light or darken the cell under the cursor")},
    {QT_TRANSLATE_NOOP("EditorWindow", "Escape"),
     QT_TRANSLATE_NOOP("EditorWindow", "End the selection, or the typing of text")},
    {QT_TRANSLATE_NOOP("EditorWindow", "Shift+Enter"),
     QT_TRANSLATE_NOOP("EditorWindow", "A new line in a comment (Enter, Tab, Escape finish it)")},
    {QT_TRANSLATE_NOOP("EditorWindow", "Ctrl+Wheel"),
     QT_TRANSLATE_NOOP("EditorWindow", "Zoom about the pointer")}};

QStringList EditorWindow::Shortcuts() const {
  QStringList lines;
  for (const QMenu* menu : menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
    for (const QAction* action : menu->actions()) {
      if (action->shortcuts().isEmpty()) continue;
      QStringList keys;
      for (const QKeySequence& key : action->shortcuts())
        keys << key.toString(QKeySequence::NativeText);
      lines << keys.join(tr(" or ")) + '\t' + QString(action->text()).remove('&');
    }
  for (const auto& [key, what] : kCanvasKeys) lines << tr(key) + '\t' + tr(what);
  return lines;
}

void EditorWindow::ShowShortcuts() {
  QDialog dialog(this);
  dialog.setWindowTitle(tr("Keyboard Shortcuts"));
  const QStringList lines = Shortcuts();
  auto* table = new QTableWidget(static_cast<int>(lines.size()), 2);
  table->setHorizontalHeaderLabels({tr("Keys"), tr("Does")});
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int row = 0; row < lines.size(); ++row)
    for (int column = 0; column < 2; ++column)
      table->setItem(row, column, new QTableWidgetItem(lines[row].section('\t', column, column)));
  table->resizeColumnsToContents();
  table->horizontalHeader()->setStretchLastSection(true);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(table);
  dialog.resize(520, 600);
  dialog.exec();
}

}  // namespace glowreel
