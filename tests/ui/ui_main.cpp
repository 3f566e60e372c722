#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/port/qt/display_window.h"

namespace {
// The offscreen platform has no window stacking and says so at every raise().
void QuietAboutRaise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("does not support raise()"))) return;
  qt_message_output(type, context, message);
}
}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  qInstallMessageHandler(QuietAboutRaise);
  QApplication app(argc, argv);
  glowreel::RegisterDisplaySinks();  // as the program does, once, before any test
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
