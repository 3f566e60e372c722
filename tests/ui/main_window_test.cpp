// The main window's own handlers: start-up, Load (dialog, command line, drop), Exit.
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>

#include "platform/exit_signals.h"
#include "ui_test.h"

namespace glowreel::test {
namespace {

using MainWindow = UiTest;

TEST_F(MainWindow, OpensWithTheDisplayInitialisedAndOnlyLoadReady) {
  frmMain& w = OpenMain();
  EXPECT_EQ(Seen(), " | &Play disabled | Repeat unticked disabled | focus &Load");
  EXPECT_EQ(port.TranscriptFrom(), Golden("startup"));
  EXPECT_TRUE(platform.boxes.empty());
  LoadMovie(Frame("100", Rows("1")));
  std::vector<QWidget*> order;
  for (QWidget* widget = w.cmdLoad; order.size() < 5; widget = widget->nextInFocusChain())
    if (widget->focusPolicy() & Qt::TabFocus) order.push_back(widget);
  EXPECT_EQ(order, (std::vector<QWidget*>{w.cmdLoad, w.cmdGo, w.chkRepeat, w.cmdExit, w.cmdAbout}));
}

TEST_F(MainWindow, EveryWayOfChoosingAMovieReadiesPlayAndClearsTheDisplay) {
  frmMain& w = OpenMain();
  TempFile movie(Frame("100", Rows("1")), "wave.grm");
  const QString path = QString::fromStdString(movie.Path());
  const auto drop = [&](const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    if (enter.isAccepted()) QCoreApplication::sendEvent(&w, &drop);
  };
  const std::function<void()> ways[] = {[&] { LoadMovie(Frame("100", Rows("1"))); },
                                        [&] { w.cmdLoad->click(); },  // the same file again
                                        [&] { w.TakeMovie(path); },   // from the command line
                                        [&] { drop({QUrl::fromLocalFile(path)}); }};
  for (const auto& choose : ways) {
    w.chkRepeat->setChecked(true);
    const auto before = port.Position();
    choose();
    EXPECT_EQ(Seen(), "wave.grm | &Play | Repeat unticked | focus &Play");
    EXPECT_EQ(port.TranscriptFrom(before), std::vector<std::string>{"clear"});
  }
  EXPECT_EQ(w.lblFileName->alignment(), Qt::AlignLeft | Qt::AlignTop);
  EXPECT_EQ(pb.sMovieFile, movie.Path());
  const std::size_t writes = port.Writes().size();
  drop({QUrl::fromLocalFile("/a.grm"), QUrl::fromLocalFile("/b.grm")});
  drop({QUrl("https://example.org/c.grm")});
  EXPECT_EQ(pb.sMovieFile, movie.Path()) << "two files, or one that is not local, are not taken";
  EXPECT_EQ(port.Writes().size(), writes);
  EXPECT_EQ(frmMain::BareFileName("wave.grm"), "wave.grm");
  EXPECT_EQ(frmMain::BareFileName("C:\\movies\\back.grm"), "C:\\movies\\back.grm");
}

TEST_F(MainWindow, APictureTakenInsteadOfAMoviePlaysOnEveryDotAndAMovieAfterItAsBefore) {
  frmMain& w = OpenMain();
  std::string pbm = "P1\n128 64\n";  // a bitmap's 1 is black: lit where x + y is even
  for (int y = 0; y < kPixelRows; ++y)
    for (int x = 0; x < kPixelColumns; ++x) pbm += (x + y) % 2 ? "1 " : "0 ";
  TempFile picture(pbm, "checks.pbm");
  w.TakeMovie(QString::fromStdString(picture.Path()));
  w.cmdGo->click();
  const DisplayModel shown = port.Model();
  EXPECT_TRUE(shown.Lit(0, 0) && shown.Lit(127, 63) && !shown.Lit(1, 0) && !shown.Lit(0, 63));
  EXPECT_EQ(Seen(), "checks.pbm | &Play | Repeat unticked | focus &Play");
  LoadMovie(Frame("100", Rows("1")));
  w.cmdGo->click();
  EXPECT_TRUE(port.Model().Lit(1, 0) && !port.Model().Lit(6, 0)) << "a cell's block and its gap";
}

TEST_F(MainWindow, TheDialogStartsFromTheSameSettingsEveryTimeAndCancellingChangesNothing) {
  OpenMain();
  LoadMovie(Frame("100", Rows("1")), "first.grm");
  main->chkRepeat->setChecked(true);
  const std::size_t writes = port.Writes().size();
  main->chkRepeat->setFocus();
  LoadMovie("");  // the name chosen before is not carried over
  EXPECT_TRUE(lastDialog.CancelError);
  EXPECT_EQ(lastDialog.DialogTitle, "Open Movie");
  EXPECT_EQ(lastDialog.InitDir, QCoreApplication::applicationDirPath());
  EXPECT_EQ(lastDialog.Filter, "Glowreel Files (*.grm)|*.grm|All Files(*.*)|*.*");
  EXPECT_EQ(lastDialog.FileName, "");
  EXPECT_EQ(CommonDialog::NameFilters(lastDialog.Filter),
            (QStringList{"Glowreel Files (*.grm) (*.grm)", "All Files(*.*) (*)"}));
  EXPECT_EQ(Seen(), "first.grm | &Play | Repeat ticked | focus Repeat");
  EXPECT_EQ(port.Writes().size(), writes);
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(MainWindow, TheRealDialogTakesATypedNameOfAMissingFileAndKeepsNoSettings) {
  TempFile home;
  const std::string config = std::getenv("XDG_CONFIG_HOME");
  setenv("XDG_CONFIG_HOME", home.Directory().c_str(), 1);
  CommonDialog::SetScript(nullptr);
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(QStringLiteral("/tmp/no-such-movie.grm"));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  QTimer::singleShot(500, [] {  // a refusal shows a box: close it and the dialog, and fail
    while (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  CommonDialog dialog;
  dialog.ShowOpen();
  EXPECT_EQ(dialog.FileName, "/tmp/no-such-movie.grm");
  EXPECT_FALSE(QFile::exists(QString::fromStdString(home.Directory()) + "/QtProject.conf"));
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
}

TEST_F(MainWindow, ExitBySignalClosesTheOpenBoxFadesOutOnceAndNothingReachesThePortAfter) {
  frmMain& w = OpenMain();
  w.EndOnExitSignals(InstallExitSignals());
  LoadMovie(Frame("5000", Rows("x")));  // every cell reports
  platform.onBox = [this] {
    platform.onBox = nullptr;
    raise(SIGTERM);  // while this box is open
    QMessageBox(QMessageBox::Critical, "Error", "13 - Type mismatch", QMessageBox::Ok).exec();
  };
  const auto before = port.Position();
  w.cmdGo->click();
  w.cmdExit->click();  // closing again fades nothing again
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(pb.bPlaying);
  EXPECT_EQ(port.TranscriptFrom(before), Golden("fadeout")) << "no refresh after the switch-off";
}

}  // namespace
}  // namespace glowreel::test
