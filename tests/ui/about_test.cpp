// The about window: one at most, Ok by keyboard, and it takes the activation back.
#include <QApplication>
#include <QKeyEvent>

#include "ui_test.h"

namespace glowreel::test {
namespace {

class About : public UiTest {
 protected:
  frmAbout& OpenAbout() {
    if (!main) OpenMain();
    main->cmdAbout->click();
    ProcessEvents();
    return *frmAbout::Instance();
  }
  static void Press(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
    ProcessEvents();
  }
  static int AboutWindows() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      count += qobject_cast<frmAbout*>(w) != nullptr;
    return count;
  }
};

TEST_F(About, ShowsTheVersionWithTheFocusOnOkAndASecondClickShowsTheSameWindow) {
  frmAbout& about = OpenAbout();
  EXPECT_EQ(about.lblVersion->text(), "Version 0.1.6");
  EXPECT_EQ(about.focusWidget(), about.cmdOk);
  about.lblVersion->setText("changed");
  EXPECT_EQ(&OpenAbout(), &about);
  EXPECT_EQ(AboutWindows(), 1);
  EXPECT_EQ(about.lblVersion->text(), "changed") << "no second Load";
}

TEST_F(About, OkClosesWithoutABeepAndTheNextClickLoadsItAfresh) {
  OpenAbout().cmdOk->click();
  ProcessEvents();
  EXPECT_EQ(AboutWindows(), 0);
  EXPECT_EQ(platform.beeps, 0);
  EXPECT_EQ(OpenAbout().lblVersion->text(), "Version 0.1.6");
}

TEST_F(About, EnterAndSpacePressOkAndEscapeDoesNothing) {
  Press(OpenAbout().cmdOk, Qt::Key_Escape);
  ASSERT_NE(frmAbout::Instance(), nullptr);
  Press(frmAbout::Instance()->cmdOk, Qt::Key_Return);
  EXPECT_EQ(frmAbout::Instance(), nullptr);
  Press(OpenAbout().cmdOk, Qt::Key_Space);
  EXPECT_EQ(frmAbout::Instance(), nullptr);
}

TEST_F(About, ActivatingTheMainWindowBeepsOnceAndGivesTheActivationBack) {
  frmAbout& about = OpenAbout();
  for (int time = 1; time <= 2; ++time) {
    main->activateWindow();
    ProcessEvents();
    EXPECT_EQ(platform.beeps, time);
    EXPECT_EQ(QApplication::activeWindow(), &about);
    EXPECT_EQ(about.focusWidget(), about.cmdOk);
  }
}

TEST_F(About, ExitLeavesTheAboutWindowOpen) {
  frmAbout& about = OpenAbout();
  main->cmdExit->click();
  ProcessEvents();
  EXPECT_FALSE(main->isVisible());
  EXPECT_TRUE(about.isVisible());
  EXPECT_FALSE(port.Model().IsOn());
  EXPECT_EQ(platform.beeps, 0);
}

}  // namespace
}  // namespace glowreel::test
