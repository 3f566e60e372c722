// The editor's window: drawing with the mouse, moving frames, and never losing unsaved changes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <csignal>

#include "platform/exit_signals.h"
#include "support/fake_platform.h"
#include "support/movies.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/movie_preview.h"

namespace glowreel::test {
namespace {

class Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    platform.onPump = [] { QCoreApplication::processEvents(); };
    EditorWindow::warn = [](QWidget*, const QString& text) { ADD_FAILURE() << text.toStdString(); };
    EditorWindow::askToSave = [this](QWidget*) {
      ++asked;
      return answer;
    };
    EditorWindow::askExport = [this](QWidget*, ExportKind, ExportChoice&) {
      ++exports;
      return false;
    };
    window.show();
    ASSERT_TRUE(window.OpenFile(QString::fromStdString(movie.Path())));
  }

  std::string Durations() {
    std::string durations;
    for (int k = 0; k < window.Document().FrameCount(); ++k)
      durations += std::to_string(window.Document().Duration(k)) + " ";
    return durations;
  }

  FakePlatform platform;
  TempFile movie{Frame("100", OneCell(1, 0)) + Frame("200", test::Rows("1")) +
                 Frame("300", OneCell(17, 7))};
  EditorWindow window;
  QMessageBox::StandardButton answer = QMessageBox::Discard;
  int asked = 0;
  int exports = 0;
};

TEST_F(Editor, DraggingPaintsWithTheFirstCellsValueTurnedInOneUndoStep) {
  CellCanvas* canvas = window.Canvas();
  QTest::mousePress(canvas, Qt::LeftButton, {}, canvas->CellCentre(0, 0));  // dark: lights
  QTest::mouseMove(canvas, canvas->CellCentre(1, 0));  // already lit, stays lit
  QTest::mouseMove(canvas, canvas->CellCentre(2, 0));
  QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas->CellCentre(2, 0));
  EXPECT_EQ(window.Document().Frames()[0].rows[0], "111000000000000000");
  EXPECT_EQ(window.windowTitle(), "GlowReel Movie Editor - movie.grm[*]");
  EXPECT_TRUE(window.isWindowModified());
  QTest::mouseClick(canvas, Qt::LeftButton, {}, canvas->CellCentre(1, 0));  // lit: darkens
  EXPECT_EQ(window.Document().Frames()[0].rows[0], "101000000000000000");
  window.Action("undo")->trigger();
  window.Action("undo")->trigger();
  EXPECT_EQ(window.Document().Frames()[0].rows[0], "010000000000000000");
  EXPECT_FALSE(window.isWindowModified());
}

TEST_F(Editor, UndoReachesTheDocumentFromTheDurationBoxAndNewFramesTakeTheirNeighboursPace) {
  QApplication::setActiveWindow(&window);
  QSpinBox* box = window.Duration();
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "250");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(Durations(), "250 200 300 ");
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Durations(), "100 200 300 ") << "Ctrl+Z in the box undoes the document's change";
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Durations(), "250 200 300 ");
  window.SelectFrame(1);
  window.Action("addFrame")->trigger();
  EXPECT_EQ(Durations(), "250 200 200 300 ");
  EXPECT_EQ(window.Action("saveAs")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
  ASSERT_TRUE(window.New());
  EXPECT_EQ(box->value(), 100) << "nothing of the last movie's frame stays in the box";
}

TEST_F(Editor, FramesMoveDuplicateAndGoFromTheMenusAndCellsShift) {
  window.SelectFrame(0);
  window.Action("moveLater")->trigger();
  EXPECT_EQ(window.CurrentFrame(), 1);
  EXPECT_EQ(window.Document().Duration(1), 100);
  EXPECT_EQ(window.Strip()->model()->index(1, 0).data().toString(), "2   at 0:00.21\n100 ms");
  window.Action("duplicateFrame")->trigger();
  EXPECT_EQ(window.Document().FrameCount(), 4);
  window.Action("wrap")->setChecked(true);
  window.Action("shiftLeft")->trigger();
  window.Action("shiftLeft")->trigger();
  EXPECT_EQ(window.Document().Frames()[2].rows[0], "000000000000000001") << "wrapped around";
  window.Action("deleteFrame")->trigger();
  EXPECT_EQ(window.Document().FrameCount(), 3);
  window.Duration()->setValue(40);
  EXPECT_EQ(window.Document().Frames()[window.CurrentFrame()].header, "@40");
}

TEST_F(Editor, AFrameDraggedInTheStripLandsWhereDroppedAndThePreviewPacesEachAsThePlayer) {
  window.Strip()->model()->moveRow(QModelIndex(), 0, QModelIndex(), 2);  // dropped before the last
  QCoreApplication::processEvents();
  EXPECT_EQ(Durations(), "200 100 300 ");
  EXPECT_EQ(window.CurrentFrame(), 1);
  std::vector<int> shown;
  platform.onSleep = [&](int32_t) { shown.push_back(window.CurrentFrame()); };
  window.SelectFrame(1);
  window.Action("preview")->trigger();
  EXPECT_EQ(shown.size(), 1u + 31 + 11) << "the start-up's wait, then the slices from frame 2";
  EXPECT_EQ(std::count(shown.begin(), shown.end(), 1), 1 + 11);
  EXPECT_EQ(window.CurrentFrame(), 2);
  window.Action("loop")->setChecked(true);
  platform.AtPump(50, [] { StopPreview(); });
  window.Action("preview")->trigger();
  EXPECT_GT(shown.size(), 2 * 43u) << "looped until stopped";
}

TEST_F(Editor, ADurationTypedWithoutEnterIsSavedAndAskedAbout) {
  QApplication::setActiveWindow(&window);
  QSpinBox* box = window.Duration();
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "777");
  QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
  MovieDocument saved;
  saved.Open(movie.Path());
  EXPECT_EQ(saved.Duration(0), 777) << "Ctrl+S saves what the box shows";
  EXPECT_FALSE(window.isWindowModified());
  box->selectAll();
  QTest::keyClicks(box, "555");
  EXPECT_TRUE(window.close());
  EXPECT_EQ(asked, 1) << "quitting asks about the duration being typed";
}

TEST_F(Editor, AnExitSignalClosesTheWindowAsItsCloseButtonDoesAskingFirst) {
  window.EndOnExitSignals(InstallExitSignals());
  window.Action("fill")->trigger();
  answer = QMessageBox::Cancel;
  raise(SIGTERM);
  for (int turn = 0; turn < 100 && asked == 0; ++turn) QTest::qWait(10);
  EXPECT_EQ(asked, 1) << "asked about the unsaved change";
  EXPECT_TRUE(window.isVisible()) << "and kept, as the user said";
  answer = QMessageBox::Discard;
  raise(SIGTERM);
  for (int turn = 0; turn < 100 && window.isVisible(); ++turn) QTest::qWait(10);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(Editor, CtrlEqualsZoomsInADoubleClickOnAFrameEditsNoCommentAndANewMovieReportsNothing) {
  QApplication::setActiveWindow(&window);
  CellCanvas* canvas = window.Canvas();
  canvas->setFocus();
  const double before = canvas->DotSize();
  QTest::keyClick(canvas, Qt::Key_Equal, Qt::ControlModifier);
  EXPECT_GT(canvas->DotSize(), before) << "Ctrl+= zooms in";
  FrameStrip* strip = window.Strip();
  const QRect second = strip->visualRect(strip->model()->index(1, 0));
  QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, second.center());
  QTest::mouseDClick(strip->viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_EQ(strip->findChild<QPlainTextEdit*>(), nullptr) << "no comment editor opened";
  EXPECT_EQ(window.CurrentFrame(), 1);
  ASSERT_TRUE(window.New());
  EXPECT_EQ(window.Reports()->count(), 0) << "a new movie has nothing wrong yet";
}

TEST_F(Editor, UnsavedChangesAreSavedDroppedOrKeptAsTheUserSays) {
  window.Action("fill")->trigger();
  answer = QMessageBox::Cancel;
  EXPECT_FALSE(window.close());
  EXPECT_FALSE(window.New());
  EXPECT_FALSE(window.OpenFile(QString::fromStdString(movie.Path())));
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(window.Document().Frames()[0].rows[0], std::string(18, '1')) << "nothing lost";
  answer = QMessageBox::Save;
  EXPECT_TRUE(window.New());
  EXPECT_EQ(window.Document().FrameCount(), 0);
  MovieDocument saved;
  saved.Open(movie.Path());
  EXPECT_EQ(saved.Frames()[0].rows[0], std::string(18, '1'));
  EXPECT_TRUE(window.close()) << "nothing to ask about";
  EXPECT_EQ(asked, 4);
}

TEST_F(Editor, TheSliderAndTheFrameBoxFollowTheStripAndTellWhenEachFrameComesOn) {
  QApplication::setActiveWindow(&window);
  FrameStrip* strip = window.Strip();
  QTest::mouseClick(strip->viewport(), Qt::LeftButton, {},
                    strip->visualRect(strip->model()->index(1, 0)).center());
  EXPECT_EQ(window.Scrub()->value(), 1);
  EXPECT_EQ(window.FrameBox()->value(), 2);
  QTest::keyClick(strip, Qt::Key_End);
  EXPECT_EQ(window.Scrub()->value(), 2);
  window.Scrub()->setFocus();
  QTest::keyClick(window.Scrub(), Qt::Key_Left);
  EXPECT_EQ(window.CurrentFrame(), 1) << "a step from the frame shown";
  QSpinBox* box = window.FrameBox();
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "3");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(window.CurrentFrame(), 2) << "a frame picked by its number";
  // 100, 200 and 300 ms are held 11, 21 and 31 slices of 10 ms.
  EXPECT_EQ(window.TimeText(), "Frame 3 of 3, at 0:00.32 of 0:00.63");
  EXPECT_EQ(strip->model()->index(2, 0).data().toString(), "3   at 0:00.32\n300 ms");
}

TEST_F(Editor, TheWindowsKeysWorkWhereverTheFocusIsButATextBoxKeepsItsOwn) {
  QApplication::setActiveWindow(&window);
  QSpinBox* box = window.Duration();
  box->setFocus();
  QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(exports, 1) << "Ctrl+E from the Duration box";
  window.Canvas()->Select(CellRect{0, 0, 2, 2});
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_FALSE(window.Canvas()->Selection()) << "Ctrl+Shift+A from the box";
  box->selectAll();
  QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "100") << "the box copies its own text";
  QTest::keyClick(box, Qt::Key_T);
  EXPECT_TRUE(window.Action("toolPen")->isChecked()) << "a letter in a box picks no tool";

  FrameStrip* strip = window.Strip();
  strip->setFocus();
  QApplication::clipboard()->setText("@100\n11\n11\n");
  QTest::keyClick(strip, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(window.Document().Frames()[0].rows[1], "110000000000000000") << "pasted from the strip";
  QTest::keyClick(strip, Qt::Key_T);
  EXPECT_TRUE(window.Action("toolText")->isChecked());
  QTest::keyClick(strip, Qt::Key_Period);
  EXPECT_EQ(window.CurrentFrame(), 1);
  QTest::keyClick(strip, Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(window.CurrentFrame(), 0);
  QTest::keyClick(strip, Qt::Key_3);
  EXPECT_EQ(window.CurrentFrame(), 0) << "a digit picks no frame";
  const QStringList keys = window.Shortcuts();
  EXPECT_TRUE(keys.contains("P\tPen"));
  EXPECT_TRUE(keys.contains(", or Alt+Left\tPrevious")) << keys.join('\n').toStdString();
}

}  // namespace
}  // namespace glowreel::test
