#pragma once

#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <functional>

#include "authoring/movie_document.h"
#include "ui/editor/cell_canvas.h"

namespace glowreel {

// The movie editor: a strip of the frames, the current frame's cells to draw on, its duration,
// and what the player would report; files, undo, a preview at the player's pace.
class EditorWindow : public QMainWindow {
  Q_OBJECT

 public:
  EditorWindow();

  // Each returns false when the user cancelled or the file could not be used (told in a box).
  bool OpenFile(const QString& path);
  bool SaveTo(const QString& path);
  bool New();

  int CurrentFrame() const { return current_; }
  void SelectFrame(int frame);
  MovieDocument& Document() { return document_; }
  CellCanvas* Canvas() { return canvas_; }
  QListWidget* Strip() { return strip_; }
  QSpinBox* Duration() { return duration_; }
  QListWidget* Problems() { return problems_; }
  QAction* Action(const QString& name) const;
  bool Previewing() const { return preview_.isActive(); }

  // Asks what to do with unsaved changes; tests answer for the user.
  static std::function<QMessageBox::StandardButton(QWidget*)> askToSave;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildActions();
  void Refresh();
  void ShowCurrent();
  void UpdateTitle();
  bool MaybeSave();
  bool Save();
  bool SaveAs();
  void Open();
  void Import();
  void ExportGif();
  void ChangeCells(const std::function<void(Cells&)>& change, const QString& what);
  void Shift(int dx, int dy);
  void AddFrame(bool duplicate);
  void MoveCurrent(int by);
  void Preview();
  void PreviewStep();
  void RememberRecent(const QString& path);
  void FillRecentMenu();
  std::vector<int> SelectedFrames() const;
  void Warn(const QString& text);

  MovieDocument document_;
  QString path_;
  int current_ = 0;
  CellCanvas* canvas_;
  QListWidget* strip_;
  QSpinBox* duration_;
  QLabel* pause_;
  QListWidget* problems_;
  QSplitter* splitter_;
  QMenu* recentMenu_;
  QTimer preview_;
  int previewFrame_ = 0;
  int pausesThisPass_ = 0;
  int durationStroke_ = 0;
};

}  // namespace glowreel
