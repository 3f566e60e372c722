#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/system_sleep.h"

namespace glowreel {

void QtPlatform::Sleep(int32_t milliseconds) {
  SystemSleep(milliseconds);
}

void QtPlatform::DoEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtPlatform::MsgBox(const std::string& text, const std::string& title) {
  // Once the program is ending, what still runs reports into no box: no window is left to
  // belong to, and the box would keep the program alive.
  if (playback_ && playback_->bExiting) return;
  // The text keeps its CR LF; a label shows a line break for the LF alone.
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(title), shown, QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void QtPlatform::Beep() {
  QApplication::beep();
}

}  // namespace glowreel
