// The editor's menus and tool bar, one action a line.
#include <QActionGroup>
#include <QFileInfo>
#include <QMenuBar>
#include <QSettings>
#include <QToolBar>

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
  add(file, "exportGif", tr("&Export GIF..."), tr("Ctrl+E"), [this] { ExportGif(); });
  add(file, "exportSequence", tr("Export PNG Se&quence..."), {},
      [this] { ExportPng(Pictures::kSequence); });
  add(file, "exportSheet", tr("Export Sprite S&heet..."), {},
      [this] { ExportPng(Pictures::kSheet); });
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
  add(cells, "clear", tr("C&lear"), QKeySequence::Delete, edit(tr("Clear"), Cleared));
  // Their keys are the cells' where the cells have the focus; elsewhere the box or the strip
  // keeps its own.
  for (const char* name : {"cut", "copy", "paste", "selectAll", "selectNone", "clear"}) {
    QAction* action = Action(QString::fromLatin1(name));
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    canvasArea_->addAction(action);
  }
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
  add(cells, "shiftLeft", tr("Shift &Left"), tr("Alt+Left"), shift(-1, 0));
  add(cells, "shiftRight", tr("Shift &Right"), tr("Alt+Right"), shift(1, 0));
  add(cells, "shiftUp", tr("Shift &Up"), tr("Alt+Up"), shift(0, -1));
  add(cells, "shiftDown", tr("Shift &Down"), tr("Alt+Down"), shift(0, 1));
  add(cells, "wrap", tr("&Wrap Around When Shifting"), {}, [] {})->setCheckable(true);
  cells->addSeparator();
  add(cells, "mirror", tr("&Mirror"), {}, edit(tr("Mirror"), Mirrored));
  add(cells, "flip", tr("Fli&p"), {}, edit(tr("Flip"), Flipped));
  add(cells, "rotate", tr("R&otate 180 Degrees"), {}, edit(tr("Rotate"), Rotated180));

  QMenu* toolMenu = menuBar()->addMenu(tr("&Tools"));
  auto* toolGroup = new QActionGroup(this);
  const std::pair<const char*, QString> kTools[] = {
      {"toolPen", tr("&Pen")},
      {"toolLine", tr("&Line")},
      {"toolRectangle", tr("&Rectangle")},
      {"toolFilledRectangle", tr("&Filled Rectangle")},
      {"toolSelect", tr("&Select")},
      {"toolText", tr("&Text")}};
  for (int k = 0; k < 6; ++k) {
    QAction* tool = add(toolMenu, kTools[k].first, kTools[k].second, {},
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
  frame->addSeparator();
  add(frame, "copyFrames", tr("&Copy Frames"), tr("Ctrl+Shift+C"), [this] { CopyFrames(); });
  add(frame, "pasteFrames", tr("&Paste Frames"), tr("Ctrl+Shift+V"), [this] { PasteFrames(); });
  add(frame, "comment", tr("Co&mment..."), tr("F2"), [this] {
    if (document_.FrameCount() > 0) strip_->edit(strip_->currentIndex());
  });
  add(frame, "insertText", tr("Insert Scrolling &Text..."), tr("Ctrl+T"), [this] { InsertText(); });

  QMenu* view = menuBar()->addMenu(tr("&View"));
  QAction* onion = add(view, "onion", tr("&Onion Skin"), {}, [this] { ShowCurrent(); });
  onion->setCheckable(true);
  onion->setChecked(QSettings().value("onion", true).toBool());
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

}  // namespace glowreel
