#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>

namespace glowreel {

// The about window: icon, name, version, supported display; Ok closes it. While open it takes
// the activation back whenever the main window gets it.
class frmAbout : public QWidget {
  Q_OBJECT

 public:
  // Shows the one about window, creating it (and running its Load handler) when none is open.
  static void ShowAbout();
  // The open about window, or null.
  static frmAbout* Instance();
  // The main window has become the active window.
  static void ProgramWindowActivated();

  QLabel* Picture1;
  std::array<QLabel*, 4> lblJunk;
  QLabel* lblVersion;
  QPushButton* cmdOk;

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  frmAbout();
  ~frmAbout() override;
  void Form_Load();
  void Form_Activate();
  void Form_Deactivate();
  void cmdOk_Click();
};

}  // namespace glowreel
