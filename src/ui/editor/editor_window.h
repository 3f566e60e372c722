#pragma once

#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <functional>

#include "authoring/cell_edits.h"
#include "authoring/gif_export.h"
#include "authoring/movie_document.h"
#include "ui/editor/cell_canvas.h"
#include "ui/editor/frame_strip.h"
#include "ui/editor/movie_files.h"

namespace glowreel {

// What an export asks before it writes: the file, whether a GIF loops, and the pictures' scale.
struct ExportChoice {
  QString path;
  bool loop = true;
  int scale = 1;
};
enum class ExportKind { kGif, kSequence, kSheet };

// Repeat With Move: the current frame again `times` times, the selection `dx`, `dy` cells further
// each time.
struct RepeatMove {
  int times = 7;
  int dx = 1;
  int dy = 0;
};

// The movie editor: a strip of the frames, the current frame's cells to draw on with a pen,
// shapes, text and a selection, a slider over the frames, the frame's duration, and what the
// player would report; files, undo, the clipboard, a preview at the player's pace.
class EditorWindow : public QMainWindow {
  Q_OBJECT

 public:
  EditorWindow();
  ~EditorWindow() override;
  // What a frame drawn on a new movie lasts.
  static constexpr int32_t kNewFrameDuration = 100;

  // Each returns false when the user cancelled or the file could not be used (told in a box).
  bool OpenFile(const QString& path);
  // SIGINT, SIGTERM and SIGHUP close the window as its close button does: unsaved changes are
  // asked about first. `signalPipe` is what InstallExitSignals gave.
  void EndOnExitSignals(int signalPipe);
  bool SaveTo(const QString& path);
  bool New();

  int CurrentFrame() const { return current_; }
  void SelectFrame(int frame);
  MovieDocument& Document() { return document_; }
  CellCanvas* Canvas() { return canvas_; }
  FrameStrip* Strip() { return strip_; }
  QSpinBox* Duration() { return duration_; }
  QSlider* Scrub() { return scrub_; }
  QSpinBox* FrameBox() { return frameBox_; }
  // The movie's running time and where the current frame stands in it, as the window says them.
  QString TimeText() const;
  QListWidget* Reports() { return problems_; }
  QAction* Action(const QString& name) const;

  // Asks what to do with unsaved changes, and tells what went wrong; tests stand in for both.
  static std::function<QMessageBox::StandardButton(QWidget*)> askToSave;
  static std::function<void(QWidget*, const QString&)> warn;
  // Ask for a marquee's text and how it moves, for an export's file and options, for a repeat's
  // count and step; false when cancelled.
  static std::function<bool(QWidget*, QString&, ScrollOptions&)> askScrollingText;
  static std::function<bool(QWidget*, ExportKind, ExportChoice&)> askExport;
  static std::function<bool(QWidget*, RepeatMove&)> askRepeatWithMove;
  // Every key of the window and what it does, as Help, Keyboard Shortcuts lists them.
  QStringList Shortcuts() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildActions();
  void Refresh(int at, int removed, int inserted);
  void ShowReports();
  void ShowCurrent();
  // How many frames before and after the onion skin shows.
  int OnionDepth() const;
  void UpdateTitle();
  void FinishTyping();
  bool MaybeSave();
  bool Save();
  bool SaveAs();
  void Import();
  void Export(ExportKind kind);
  // Whether the movie's pictures fit one sprite sheet, found before anything is asked.
  bool SheetFits();
  // Writes the movie as it stands to a temporary file and hands it to `write` with a progress
  // that can be cancelled; tells a failure.
  void ExportTo(const QString& path, int scale,
                const std::function<std::string(const std::string&, const ExportControl&)>& write);
  // A change of the current frame's cells, and of every frame chosen in the strip with it: over
  // the selection where there is one. One step.
  void ChangeCells(const std::function<Cells(const Cells&, const CellRect&)>& change,
                   const QString& what);
  void CopyCells(bool cut);
  void PasteCells();
  void CopyFrames();
  void PasteFrames();
  void InsertText();
  void RepeatWithMove();
  void AddFrame(bool duplicate);
  // Lets the window's keys through from a box that has no use for them.
  bool IsWindowKey(const QKeyEvent& key) const;
  void ShowShortcuts();
  void MoveCurrent(int by);
  void Preview();
  void FillRecentMenu();
  void Warn(const QString& text);
  // A word in the status bar about what did not happen, for a few seconds.
  void Tell(const QString& text);

  MovieDocument document_;
  QString path_;
  int current_ = 0;
  CellCanvas* canvas_;
  FrameStrip* strip_;
  QScrollArea* canvasArea_;
  QSlider* scrub_;
  QSpinBox* frameBox_;
  QLabel* time_;     // in the status bar
  QLabel* running_;  // under the strip
  QSpinBox* duration_;
  QLabel* pause_;
  QListWidget* problems_;
  QSplitter* splitter_;
  QMenu* recentMenu_;
  RecentFiles recent_;
  int durationStroke_ = 0;
};

}  // namespace glowreel
