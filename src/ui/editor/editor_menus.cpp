// The editor's menus and tool bar, one action a line.
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
  const auto edit = [this](const QString& what, Cells (*change)(const Cells&, const CellRect&)) {
    return [=, this] { ChangeCells([change](const Cells& c) { return change(c, {}); }, what); };
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
  file->addSeparator();
  add(file, "quit", tr("&Quit"), QKeySequence::Quit, [this] { close(); });

  QMenu* cells = menuBar()->addMenu(tr("&Edit"));
  QAction* undo = document_.Undo().createUndoAction(this, tr("&Undo"));
  QAction* redo = document_.Undo().createRedoAction(this, tr("&Redo"));
  undo->setObjectName("undo");
  redo->setObjectName("redo");
  undo->setShortcuts(QKeySequence::Undo);  // every key the desktop knows for them
  redo->setShortcuts(QKeySequence::Redo);
  cells->addActions({undo, redo});
  cells->addSeparator();
  add(cells, "clear", tr("C&lear"), {}, edit(tr("Clear"), Cleared));
  add(cells, "fill", tr("&Fill"), {}, edit(tr("Fill"), Filled));
  add(cells, "invert", tr("&Invert"), tr("Ctrl+Shift+I"), edit(tr("Invert"), Inverted));
  cells->addSeparator();
  const auto shift = [this](int dx, int dy) {
    return [=, this] {
      const bool wrap = Action("wrap")->isChecked();
      ChangeCells([=](const Cells& c) { return Shifted(c, dx, dy, wrap); }, tr("Shift"));
    };
  };
  add(cells, "shiftLeft", tr("Shift &Left"), tr("Alt+Left"), shift(-1, 0));
  add(cells, "shiftRight", tr("Shift &Right"), tr("Alt+Right"), shift(1, 0));
  add(cells, "shiftUp", tr("Shift &Up"), tr("Alt+Up"), shift(0, -1));
  add(cells, "shiftDown", tr("Shift &Down"), tr("Alt+Down"), shift(0, 1));
  add(cells, "wrap", tr("&Wrap Around When Shifting"), {}, [] {})->setCheckable(true);

  QMenu* frame = menuBar()->addMenu(tr("F&rame"));
  add(frame, "addFrame", tr("&Add"), tr("Ctrl+Shift+N"), [this] { AddFrame(false); });
  add(frame, "duplicateFrame", tr("&Duplicate"), tr("Ctrl+D"), [this] { AddFrame(true); });
  add(frame, "deleteFrame", tr("D&elete"), tr("Ctrl+Del"), [this] {
    if (document_.FrameCount() > 0) document_.RemoveFrames(strip_->Chosen(current_));
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
  add(play, "stop", tr("&Stop"), tr("Shift+F5"), [] { StopPreview(); });

  QToolBar* tools = addToolBar(tr("Movie"));
  tools->setObjectName("tools");
  for (const char* name : {"new", "open", "save", "undo", "redo", "addFrame", "duplicateFrame",
                           "deleteFrame", "preview", "stop"})
    tools->addAction(Action(QString::fromLatin1(name)));
  FillRecentMenu();
}

}  // namespace glowreel
