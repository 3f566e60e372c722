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
#include "authoring/movie_document.h"
#include "ui/editor/cell_canvas.h"
#include "ui/editor/frame_strip.h"
#include "ui/editor/movie_files.h"

namespace glowreel {

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
  QListWidget* Reports() { return problems_; }
  QAction* Action(const QString& name) const;

  // Asks what to do with unsaved changes, and tells what went wrong; tests stand in for both.
  static std::function<QMessageBox::StandardButton(QWidget*)> askToSave;
  static std::function<void(QWidget*, const QString&)> warn;
  // Asks for a marquee's text and pause per step; false when cancelled.
  static std::function<bool(QWidget*, QString&, int&)> askScrollingText;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildActions();
  void Refresh(int at, int removed, int inserted);
  void ShowReports();
  void ShowCurrent();
  void UpdateTitle();
  void FinishTyping();
  bool MaybeSave();
  bool Save();
  bool SaveAs();
  void Import();
  void ExportGif();
  enum class Pictures { kSequence, kSheet };
  void ExportPng(Pictures kind);
  // Writes the movie as it stands to a temporary file and hands it to `write`; tells a failure.
  void ExportTo(const QString& path, const std::function<std::string(const std::string&)>& write);
  // A change of the current frame's cells: over the selection where there is one.
  void ChangeCells(const std::function<Cells(const Cells&, const CellRect&)>& change,
                   const QString& what);
  void CopyCells(bool cut);
  void PasteCells();
  void CopyFrames();
  void PasteFrames();
  void InsertText();
  void AddFrame(bool duplicate);
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
  QSpinBox* duration_;
  QLabel* pause_;
  QListWidget* problems_;
  QSplitter* splitter_;
  QMenu* recentMenu_;
  RecentFiles recent_;
  int durationStroke_ = 0;
};

}  // namespace glowreel
