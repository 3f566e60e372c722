#include <QApplication>
#include <QKeyEvent>

#include "app/shared_state.h"
#include "ui/frm_about.h"
#include "ui_fixture.h"

namespace glowreel::test {
namespace {

class FrmAbout : public UiTest {
 protected:
  frmAbout& OpenAbout() {
    OpenMain();
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

TEST_F(FrmAbout, ShowsNameVersionAndDisplayWithFocusOnOk) {
  frmAbout& about = OpenAbout();
  EXPECT_EQ(about.windowTitle(), "About Glowreel Player");
  EXPECT_EQ(about.size(), QSize(284, 147));
  EXPECT_EQ(about.lblVersion->text(), "Version 0.1.6");
  EXPECT_EQ(about.lblJunk[0]->text(), "GlowReel Player");
  EXPECT_EQ(about.lblJunk[1]->text(), "Noritake128x64 VFD 800 Support");
  EXPECT_EQ(about.cmdOk->geometry(), QRect(120, 112, 81, 25));
  EXPECT_FALSE(about.Picture1->pixmap().isNull());
  EXPECT_EQ(about.focusWidget(), about.cmdOk);
}

TEST_F(FrmAbout, SecondClickShowsTheSameWindow) {
  frmAbout& about = OpenAbout();
  about.lblVersion->setText("changed");
  main->cmdAbout->click();
  ProcessEvents();
  EXPECT_EQ(frmAbout::Instance(), &about);
  EXPECT_EQ(AboutWindows(), 1);
  EXPECT_EQ(about.lblVersion->text(), "changed") << "no second Load";
}

TEST_F(FrmAbout, OkClosesAndTheNextClickLoadsItAfresh) {
  frmAbout& about = OpenAbout();
  about.cmdOk->click();
  ProcessEvents();
  EXPECT_EQ(frmAbout::Instance(), nullptr);
  EXPECT_EQ(AboutWindows(), 0);
  EXPECT_EQ(platform.beeps, 0);
  main->cmdAbout->click();
  ASSERT_NE(frmAbout::Instance(), nullptr);
  EXPECT_EQ(frmAbout::Instance()->lblVersion->text(), "Version 0.1.6");
}

TEST_F(FrmAbout, EnterAndSpacePressOkEscapeDoesNothing) {
  Press(OpenAbout().cmdOk, Qt::Key_Escape);
  ASSERT_NE(frmAbout::Instance(), nullptr);
  Press(frmAbout::Instance()->cmdOk, Qt::Key_Return);
  EXPECT_EQ(frmAbout::Instance(), nullptr);
  Press(OpenAbout().cmdOk, Qt::Key_Space);
  EXPECT_EQ(frmAbout::Instance(), nullptr);
}

TEST_F(FrmAbout, MainWindowActivationBeepsOnceAndGivesTheActivationBack) {
  frmAbout& about = OpenAbout();
  for (int time = 1; time <= 2; ++time) {
    main->activateWindow();
    ProcessEvents();
    EXPECT_EQ(platform.beeps, time);
    EXPECT_EQ(QApplication::activeWindow(), &about);
    EXPECT_EQ(about.focusWidget(), about.cmdOk);
  }
}

TEST_F(FrmAbout, ExitLeavesTheAboutWindowOpen) {
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
