// The about window: one at most, Ok by keyboard, and it takes the activation back.
#include <QApplication>
#include <QTest>

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
  static void Press(QWidget* target, Qt::Key key) {
    QTest::keyClick(target, key);
    ProcessEvents();
  }
  static auto AboutWindows() {
    const QWidgetList all = QApplication::topLevelWidgets();
    return std::count_if(all.begin(), all.end(),
                         [](QWidget* w) { return qobject_cast<frmAbout*>(w); });
  }
};

TEST_F(About, OneWindowOkByEnterOrSpaceNotEscapeAndANewLoadAfterClosing) {
  frmAbout& about = OpenAbout();
  EXPECT_EQ(about.lblVersion->text(), "Version 0.1.7");
  EXPECT_EQ(about.focusWidget(), about.cmdOk);
  about.lblVersion->setText("changed");
  EXPECT_EQ(&OpenAbout(), &about);
  EXPECT_EQ(AboutWindows(), 1);
  EXPECT_EQ(about.lblVersion->text(), "changed") << "no second Load";
  Press(about.cmdOk, Qt::Key_Escape);
  ASSERT_NE(frmAbout::Instance(), nullptr);
  Press(about.cmdOk, Qt::Key_Return);
  EXPECT_EQ(AboutWindows(), 0);
  frmAbout& again = OpenAbout();
  EXPECT_EQ(again.lblVersion->text(), "Version 0.1.7");
  Press(again.cmdOk, Qt::Key_Space);
  EXPECT_EQ(frmAbout::Instance(), nullptr);
  EXPECT_EQ(platform.beeps, 0);
}

TEST_F(About, ActivatingTheMainWindowBeepsAndGivesTheActivationBackUntilExit) {
  frmAbout& about = OpenAbout();
  for (int time = 1; time <= 2; ++time) {
    main->activateWindow();
    ProcessEvents();
    EXPECT_EQ(platform.beeps, time);
    EXPECT_EQ(QApplication::activeWindow(), &about);
    EXPECT_EQ(about.focusWidget(), about.cmdOk);
  }
  main->cmdExit->click();
  ProcessEvents();
  EXPECT_FALSE(main->isVisible());
  EXPECT_TRUE(about.isVisible()) << "Exit leaves the about window open";
  EXPECT_FALSE(port.Model().IsOn());
  EXPECT_EQ(platform.beeps, 2);
}

}  // namespace
}  // namespace glowreel::test
