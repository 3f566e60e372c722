// The sinks that need the window system: the virtual display window and the PNG writer.
#include <QApplication>
#include <QDir>

#include "platform/port/port.h"
#include "platform/port/qt/display_render.h"
#include "platform/port/qt/display_window.h"
#include "support/movies.h"
#include "ui_test.h"
#include "vfd/vfd.h"

namespace glowreel::test {
namespace {

class DisplaySinks : public UiTest {
 protected:
  void TearDown() override {
    UiTest::TearDown();
    PortClose();
    InstallPort(previous);
  }
  void Use(const std::string& setting) {
    RegisterDisplaySinks(sinks);
    EXPECT_TRUE(sinks.Open(setting, kFirstParallelPort).empty());
    previous = InstallPort(&sinks);
    ProcessEvents();
  }
  PortContext sinks;
  PortContext* previous = nullptr;
};

// Counts the times a window is painted.
struct Paints : QObject {
  explicit Paints(QWidget* window) { window->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    count += event->type() == QEvent::Paint;
    return false;
  }
  int count = 0;
};

TEST_F(DisplaySinks, TheVirtualDisplayNeverTakesTheActivationAndShowsEveryChangeInTime) {
  Use("virtual");
  VirtualDisplayWindow* window = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* display = qobject_cast<VirtualDisplayWindow*>(widget)) window = display;
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->testAttribute(Qt::WA_QuitOnClose)) << "it never keeps the program alive";
  frmMain& w = OpenMain();
  EXPECT_EQ(QApplication::activeWindow(), &w);
  LoadMovie(Frame("10", Rows("1")));
  w.cmdGo->click();
  ProcessEvents();
  Paints paints(window);
  LoadMovie(Frame("10", Rows("1")));  // clears, and nothing waits afterwards
  ProcessEvents();
  EXPECT_EQ(paints.count, 1) << "the clear shows as soon as control is back in the event loop";
  const int before = paints.count;
  SetBrightness(pb, 3);  // no events in between: the fade-out has none
  DisplayOff(pb);
  EXPECT_EQ(paints.count, before + 2) << "brightness and off show at once";
}

TEST_F(DisplaySinks, ThePngSinkWritesAPictureWheneverTheDisplayChangedBeforeAWait) {
  TempFile place;
  const std::string folder = place.Directory() + "/100%1 frames";  // no substitution into it
  Use("png:" + folder);
  pb.lPortBase = kFirstParallelPort;
  InitDisplay(pb);  // waits once inside: the first picture
  SetBrightness(pb, 15);
  Sleep(10);  // changed: the second
  Sleep(10);  // unchanged: none
  pb.pixelBuffer[127][63] = kLit;
  RefreshDisplay(pb);
  Sleep(10);  // the third
  const QStringList files = QDir(QString::fromStdString(folder)).entryList({"*.png"}, QDir::Files);
  EXPECT_EQ(files, (QStringList{"frame-000001.png", "frame-000002.png", "frame-000003.png"}));
  DisplaySnapshot expected;
  expected.on = true;
  expected.lit[63 * 128 + 127] = true;
  const QImage last(QString::fromStdString(folder) + "/frame-000003.png");
  EXPECT_EQ(last.convertToFormat(QImage::Format_RGB32), RenderDisplay(expected));
  EXPECT_TRUE(platform.boxes.empty());
}

}  // namespace
}  // namespace glowreel::test
