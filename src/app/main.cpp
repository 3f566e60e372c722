#include <QApplication>

#include "platform/port/port.h"
#include "platform/qt/qt_platform.h"
#include "ui/frm_main.h"
#include "ui/program_icon.h"
#include "ui/virtual_display_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("GlowReel"));
  QApplication::setWindowIcon(glowreel::ProgramIcon());

  glowreel::QtPlatform platform;
  glowreel::InstallPlatform(&platform);
  glowreel::InstallDisplayWindowSinks();

  int status = 0;
  {
    // Lives until the event loop has ended, so no running handler ever sees it destroyed.
    glowreel::frmMain main;
    main.move(40, 40);
    main.show();
    status = QApplication::exec();
  }
  glowreel::PortClose();
  glowreel::InstallPlatform(nullptr);
  return status;
}
