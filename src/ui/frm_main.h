#pragma once

#include <memory>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "dots/dot_frame.h"
#include "dots/picture_dots.h"
#include "player/play_movie.h"
#include "ui/common_dialog.h"

namespace glowreel {

// The main window: Load, Play/Stop, Repeat, About and Exit. Opening it initialises the
// display; closing it fades the display out.
class frmMain : public QWidget, public PlayerWindow {
  Q_OBJECT

 public:
  // Runs the Load handler: the display is initialised before the window is shown. Plays on
  // `pb`, which outlives the window.
  explicit frmMain(Playback& pb);
  ~frmMain() override;

  // What playback reads and sets at the end of a pass, and its reports as boxes.
  int RepeatValue() const override;
  void SetGoCaption(const std::string& caption) override;
  void Report(const MovieReport& report) override;

  // Takes a movie as a file chosen in the Open dialog does (also one named on the command line
  // or dropped on the window).
  void TakeMovie(const QString& path);
  // An exit signal coming on this descriptor ends the program as Exit does, closing the about
  // window and any box open first.
  void EndOnExitSignals(int signalPipe);

  QPushButton* cmdAbout;
  QPushButton* cmdExit;
  QCheckBox* chkRepeat;
  QPushButton* cmdLoad;
  QPushButton* cmdGo;
  QLabel* lblJunk;
  QLabel* lblFileName;
  CommonDialog cdDialog;

  // The part of a path after its last "/".
  static QString BareFileName(const QString& path);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Form_Load();
  void Form_Unload();
  void cmdLoad_Click();
  void cmdGo_Click();
  void cmdAbout_Click();
  void cmdExit_Click();

  Playback& pb_;
  bool unloaded_ = false;
  // The picture taken instead of a movie, played on every dot.
  std::shared_ptr<DotSource> picture_;

 public:
  // How pictures are fitted to the dots: the command line's, or the defaults.
  PictureOptions pictureOptions;
};

}  // namespace glowreel
