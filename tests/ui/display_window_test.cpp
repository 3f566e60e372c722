#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>

#include "app/shared_state.h"
#include "platform/platform.h"
#include "platform/port/port.h"
#include "platform/port/port_config.h"
#include "support/fake_platform.h"
#include "support/temp_file.h"
#include "ui/virtual_display_window.h"
#include "vfd/vfd.h"

namespace glowreel::test {
namespace {

class DisplayWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSharedState();
    lPortBase = 888;
    InstallDisplayWindowSinks();
  }
  void TearDown() override { UsePortSinks({}); }
  void Use(const SinkChoice& choice) {
    OpenedSinks opened = OpenPortSinks({choice});
    ASSERT_TRUE(opened.errors.empty());
    UsePortSinks(std::move(opened.sinks));
  }
  static VirtualDisplayWindow* Window() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* display = qobject_cast<VirtualDisplayWindow*>(w)) return display;
    }
    return nullptr;
  }
  FakePlatform platform;
};

TEST_F(DisplayWindow, AppearsWithTheSinkAndNeverTakesTheActivation) {
  Use({"virtual", ""});
  VirtualDisplayWindow* window = Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "GlowReel virtual display");
  EXPECT_TRUE(window->windowFlags() & Qt::WindowDoesNotAcceptFocus);
  EXPECT_FALSE(window->testAttribute(Qt::WA_QuitOnClose)) << "it never keeps the program alive";
  EXPECT_FALSE(window->Shown().on) << "dark until the display is switched on";

  InitDisplay();
  SetBrightness(3);
  EXPECT_TRUE(window->Shown().on) << "on/off and brightness show at once, without events";
  EXPECT_EQ(window->Shown().brightness, 3);
  pixelBuffer[0][0] = kLit;
  RefreshDisplay();
  Sleep(10);
  EXPECT_TRUE(window->Shown().lit[0]);
}

TEST_F(DisplayWindow, PngSinkWritesAPictureWheneverTheDisplayChangedBeforeAWait) {
  TempFile place;
  const std::string dir = place.Directory() + "/frames";
  Use({"png", dir});
  InitDisplay();  // waits once inside: the first picture
  SetBrightness(15);
  Sleep(10);  // changed: the second
  Sleep(10);  // unchanged: none
  pixelBuffer[127][63] = kLit;
  RefreshDisplay();
  Sleep(10);  // the third
  const QStringList files = QDir(QString::fromStdString(dir)).entryList({"*.png"}, QDir::Files);
  EXPECT_EQ(files, (QStringList{"frame-000001.png", "frame-000002.png", "frame-000003.png"}));
  const QImage last(QString::fromStdString(dir) + "/frame-000003.png");
  ASSERT_FALSE(last.isNull());
  DisplaySnapshot expected;
  expected.on = true;
  expected.lit[63 * 128 + 127] = true;
  EXPECT_EQ(last.convertToFormat(QImage::Format_RGB32), RenderDisplay(expected));
}

TEST_F(DisplayWindow, PngSinkWithoutAFolderCannotOpen) {
  OpenedSinks opened = OpenPortSinks({{"png", ""}});
  EXPECT_TRUE(opened.sinks.empty());
  ASSERT_EQ(opened.errors.size(), 1u);
  EXPECT_EQ(opened.errors[0].Number(), 57);
}

}  // namespace
}  // namespace glowreel::test
