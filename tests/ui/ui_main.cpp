#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/port/qt/display_window.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  glowreel::RegisterDisplaySinks();  // as the program does, once, before any test
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
