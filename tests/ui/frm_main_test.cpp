#include <QApplication>

#include "app/shared_state.h"
#include "support/movie_text.h"
#include "ui/layout.h"
#include "ui_fixture.h"

namespace glowreel::test {
namespace {

using FrmMain = UiTest;

TEST_F(FrmMain, OpensWithTheDisplayInitialisedAndOnlyLoadReady) {
  frmMain& w = OpenMain();
  EXPECT_EQ(w.windowTitle(), "Noritake GlowReel");
  EXPECT_EQ(w.size(), QSize(208, 160));
  EXPECT_EQ(w.cmdLoad->geometry(), QRect(16, 64, 81, 33));
  EXPECT_EQ(w.chkRepeat->geometry(), QRect(72, 144, 57, 13));
  EXPECT_FALSE(w.cmdGo->isEnabled());
  EXPECT_FALSE(w.chkRepeat->isEnabled());
  EXPECT_FALSE(w.chkRepeat->isChecked());
  EXPECT_EQ(w.cmdGo->text(), "&Play");
  EXPECT_EQ(w.lblFileName->text(), "");
  EXPECT_EQ(w.focusWidget(), w.cmdLoad);
  EXPECT_TRUE(w.lblFileName->font().bold());
  EXPECT_EQ(w.lblFileName->font().pointSizeF(), 13.5);

  EXPECT_EQ(lPortBase, 888);
  EXPECT_TRUE(bDisplayReady);
  EXPECT_EQ(port.Transfers().size(), 52u + 1);
  EXPECT_EQ(Commands(port.Transfers()), StartUpCommands());
  EXPECT_TRUE(port.Model().IsOn());
  EXPECT_EQ(port.Model().Brightness(), 15);
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(FrmMain, TabOrderRunsLoadPlayRepeatExitAbout) {
  frmMain& w = OpenMain();
  LoadMovie(Frame("100", Rows("1")));
  std::vector<QWidget*> order;
  for (QWidget* widget = w.cmdLoad; order.size() < 5; widget = widget->nextInFocusChain()) {
    if (widget->focusPolicy() & Qt::TabFocus) order.push_back(widget);
  }
  EXPECT_EQ(order, (std::vector<QWidget*>{w.cmdLoad, w.cmdGo, w.chkRepeat, w.cmdExit, w.cmdAbout}));
}

TEST_F(FrmMain, CancelledDialogChangesNothing) {
  frmMain& w = OpenMain();
  LoadMovie(Frame("100", Rows("1")), "first.grm");
  w.chkRepeat->setChecked(true);
  const std::string movie = sMovieFile;
  const std::size_t writes = port.Writes().size();

  ChooseInDialog(QString());
  w.cmdLoad->click();
  EXPECT_EQ(dialogShows, 2);
  EXPECT_EQ(sMovieFile, movie);
  EXPECT_EQ(w.lblFileName->text(), "first.grm");
  EXPECT_TRUE(w.chkRepeat->isChecked());
  EXPECT_TRUE(w.cmdGo->isEnabled());
  EXPECT_EQ(port.Writes().size(), writes);
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(FrmMain, LoadingAMovieReadiesPlayAndClearsTheDisplay) {
  frmMain& w = OpenMain();
  for (int load = 0; load < 2; ++load) {
    SCOPED_TRACE("load " + std::to_string(load + 1));
    const std::size_t writes = port.Writes().size();
    if (load == 1) w.chkRepeat->setChecked(true);
    LoadMovie(Frame("100", Rows("1")));
    EXPECT_EQ(w.lblFileName->text(), "wave.grm");
    EXPECT_EQ(sMovieFile, movieFile->Path());
    EXPECT_TRUE(w.cmdGo->isEnabled());
    EXPECT_TRUE(w.chkRepeat->isEnabled());
    EXPECT_FALSE(w.chkRepeat->isChecked()) << "every load unticks Repeat";
    EXPECT_EQ(w.focusWidget(), w.cmdGo);
    EXPECT_EQ(port.Transfers(writes), std::vector<Transfer>{Cmd(0x5F)});
  }
}

TEST_F(FrmMain, OpenDialogStartsFromTheSameSettingsEveryTime) {
  frmMain& w = OpenMain();
  for (int use = 0; use < 2; ++use) {
    ChooseInDialog(use == 0 ? "/tmp/x.grm" : "");
    w.cmdLoad->click();
    EXPECT_TRUE(lastDialog.CancelError);
    EXPECT_EQ(lastDialog.DialogTitle, "Open Movie");
    EXPECT_EQ(lastDialog.InitDir, QCoreApplication::applicationDirPath());
    EXPECT_EQ(lastDialog.Filter, "Glowreel Files (*.grm)|*.grm|All Files(*.*)|*.*");
    EXPECT_EQ(lastDialog.FileName, "");
    EXPECT_EQ(lastDialog.Flags, 4);
  }
  EXPECT_EQ(CommonDialog::NameFilters(lastDialog.Filter),
            (QStringList{"Glowreel Files (*.grm) (*.grm)", "All Files(*.*) (*)"}));
}

TEST_F(FrmMain, LabelShowsTheNameAfterTheLastSlash) {
  struct Case {
    QString path, label;
  };
  for (const Case& c : {Case{"/home/ann/movies/wave.grm", "wave.grm"}, Case{"wave.grm", "wave.grm"},
                        Case{"/movies/back\\slash.grm", "back\\slash.grm"},
                        Case{"C:\\movies\\wave.grm", "C:\\movies\\wave.grm"}}) {
    SCOPED_TRACE(c.path.toStdString());
    EXPECT_EQ(frmMain::BareFileName(c.path), c.label);
  }
}

TEST_F(FrmMain, ExitFadesTheDisplayOutAndSwitchesItOff) {
  frmMain& w = OpenMain();
  const std::size_t writes = port.Writes().size();
  w.cmdExit->click();
  ProcessEvents();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(Commands(port.Transfers(writes)), FadeOutCommands());
  EXPECT_FALSE(port.Model().IsOn());
  EXPECT_FALSE(bPlaying);
}

TEST_F(FrmMain, ClosingTwiceShutsTheDisplayDownOnce) {
  frmMain& w = OpenMain();
  w.close();
  w.close();
  EXPECT_EQ(std::count(platform.sleeps.begin(), platform.sleeps.end(), 50), 16);
}

}  // namespace
}  // namespace glowreel::test
