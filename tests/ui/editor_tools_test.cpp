// The editor's tools driven as a designer drives them: shapes, text, a selection and the
// clipboard, frames copied with their comments, zoom, the slider and the onion skin.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>

#include "support/fake_platform.h"
#include "support/movies.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/import_dialog.h"

namespace glowreel::test {
namespace {

class EditorTools : public ::testing::Test {
 protected:
  void SetUp() override {
    EditorWindow::warn = [](QWidget*, const QString& text) { ADD_FAILURE() << text.toStdString(); };
    EditorWindow::askToSave = [](QWidget*) { return QMessageBox::Discard; };
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(window.OpenFile(QString::fromStdString(movie.Path())));
  }

  void Drag(QPoint from, QPoint to) {
    CellCanvas* canvas = window.Canvas();
    QTest::mousePress(canvas, Qt::LeftButton, {}, canvas->CellCentre(from.x(), from.y()));
    QTest::mouseMove(canvas, canvas->CellCentre(to.x(), to.y()));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas->CellCentre(to.x(), to.y()));
  }
  // The top left of a frame's cells, "#" lit.
  std::string Corner(int frame, int columns = 6, int rows = 4) {
    const Cells cells = window.Document().LitCells(frame);
    std::string seen;
    for (int y = 0; y < rows; ++y, seen += '|')
      for (int x = 0; x < columns; ++x) seen += cells[x][y] ? '#' : '.';
    return seen;
  }
  int Steps() { return window.Document().Undo().index(); }

  FakePlatform platform;
  TempFile movie{"opening words\r\n" + Frame("100", OneCell(0, 0)) + "between\r\n" +
                 Frame("200", OneCell(1, 1)) + Frame("300", OneCell(17, 7))};
  EditorWindow window;
};

TEST_F(EditorTools, ShapesAreDrawnFromPressToReleaseEachAsOneStep) {
  struct Case {
    const char* tool;
    QPoint from, to;
    const char* seen;
  };
  for (const Case& c :
       {Case{"toolLine", {0, 0}, {5, 2}, "##....|..##..|....##|......|"},
        Case{"toolRectangle", {4, 3}, {1, 0}, ".####.|.#..#.|.#..#.|.####.|"},
        Case{"toolFilledRectangle", {1, 1}, {3, 2}, "......|.###..|.###..|......|"}}) {
    SCOPED_TRACE(c.tool);
    window.SelectFrame(2);  // dark where the shapes go
    window.Action(c.tool)->trigger();
    const int before = Steps();
    Drag(c.from, c.to);
    EXPECT_EQ(Corner(2), c.seen);
    EXPECT_EQ(Steps(), before + 1);
    window.Action("undo")->trigger();
    EXPECT_EQ(Corner(2), "......|......|......|......|");
  }
}

TEST_F(EditorTools, TextIsTypedWhereClickedInTheCellFontAsOneStep) {
  window.SelectFrame(2);
  window.Action("toolText")->trigger();
  const int before = Steps();
  QTest::mouseClick(window.Canvas(), Qt::LeftButton, {}, window.Canvas()->CellCentre(0, 0));
  QTest::keyClicks(window.Canvas(), "Hi");
  EXPECT_EQ(Corner(2, 12, 7),
            "#...#...#...|#...#.......|#...#..##...|#####...#...|#...#...#...|#...#...#...|"
            "#...#..###..|");
  EXPECT_EQ(Steps(), before + 1) << "a word typed is one step";
  QTest::keyClick(window.Canvas(), Qt::Key_Backspace);
  EXPECT_EQ(Corner(2, 12, 1), "#...#.......|");

  ASSERT_TRUE(window.New());
  QTest::mouseClick(window.Canvas(), Qt::LeftButton, {}, window.Canvas()->CellCentre(0, 0));
  QTest::keyClicks(window.Canvas(), "Hi");
  EXPECT_EQ(Corner(0, 12, 1), "#...#...#...|");
  EXPECT_EQ(Steps(), 1) << "on a new movie, the first frame and the word are one step";
}

TEST_F(EditorTools, ASelectionMovesAndGoesThroughTheClipboardToAnotherWindow) {
  window.SelectFrame(1);  // one lit cell at (1, 1)
  window.Action("toolSelect")->trigger();
  Drag({0, 0}, {2, 1});
  const int before = Steps();
  Drag({1, 1}, {4, 2});  // from inside: moves what it holds by (3, 1)
  EXPECT_EQ(Corner(1), "......|......|....#.|......|");
  EXPECT_EQ(Steps(), before + 1);
  window.Action("copy")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "@200\n000\n010\n") << "movie text";

  window.Action("mirror")->trigger();  // within the selection only
  EXPECT_EQ(Corner(1), "......|......|....#.|......|");
  window.Action("rotate")->trigger();
  EXPECT_EQ(Corner(1), "......|....#.|......|......|");
  window.Strip()->setFocus();
  QTest::keyClick(window.Strip(), Qt::Key_Delete);
  EXPECT_EQ(Corner(1), "......|....#.|......|......|") << "the cells' keys are the canvas's";
  window.Canvas()->setFocus();
  QTest::keyClick(window.Canvas(), Qt::Key_Delete);
  EXPECT_EQ(Corner(1), "......|......|......|......|");
  window.Action("undo")->trigger();

  EditorWindow other;
  other.show();
  other.Action("paste")->trigger();
  ASSERT_EQ(other.Document().FrameCount(), 1) << "pasting on a new movie makes its first frame";
  EXPECT_TRUE(other.Document().LitCells(0)[1][1]);
  EXPECT_EQ(other.Canvas()->Selection(), (CellRect{0, 0, 3, 2})) << "selected, to be moved";
}

TEST_F(EditorTools, FramesAreCopiedAndPastedWithTheirCommentsAsOneStep) {
  window.SelectFrame(0);
  window.Strip()->selectionModel()->select(window.Strip()->model()->index(1, 0),
                                           QItemSelectionModel::Select);
  window.Action("copyFrames")->trigger();
  window.SelectFrame(2);
  window.Action("pasteFrames")->trigger();
  ASSERT_EQ(window.Document().FrameCount(), 5);
  EXPECT_EQ(window.CurrentFrame(), 3);
  EXPECT_EQ(window.Document().Frames()[3].before, std::vector<std::string>{"opening words"});
  EXPECT_EQ(window.Document().Frames()[4].rows, window.Document().Frames()[1].rows);
  window.Action("undo")->trigger();
  EXPECT_EQ(window.Document().FrameCount(), 3);

  QApplication::clipboard()->setText("no movie here");
  window.Action("pasteFrames")->trigger();
  window.Action("paste")->trigger();
  EXPECT_EQ(window.Document().FrameCount(), 3);
  EXPECT_FALSE(window.Document().IsModified());
  EXPECT_EQ(window.statusBar()->currentMessage(),
            "The clipboard holds no cells: rows of 0 and 1 are pasted.");
}

TEST_F(EditorTools, ACommentIsEditedInTheStripAndKeptWhereItStandsInTheFile) {
  window.SelectFrame(1);
  window.Action("comment")->trigger();
  auto* editor = window.Strip()->findChild<QPlainTextEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->toPlainText(), "between");
  editor->selectAll();
  QTest::keyClicks(editor, "chorus");
  QTest::keyClick(editor, Qt::Key_Return);
  QTest::keyClicks(editor, "@20 is no frame");
  ASSERT_TRUE(window.SaveTo(QString::fromStdString(movie.Path()))) << "the comment goes along";
  EXPECT_EQ(window.Strip()->model()->index(1, 0).data().toString(), "2\n200 ms\nchorus");
  MovieDocument saved;
  saved.Open(movie.Path());
  EXPECT_EQ(saved.Frames()[1].before, (std::vector<std::string>{"chorus", " @20 is no frame"}));
  EXPECT_EQ(saved.FrameCount(), 3);
  window.Strip()->model()->setData(window.Strip()->model()->index(0, 0), "a\r@9\rb");
  ASSERT_TRUE(window.SaveTo(QString::fromStdString(movie.Path())));
  saved.Open(movie.Path());
  EXPECT_EQ(saved.Frames()[0].before, (std::vector<std::string>{"a", " @9", "b"}))
      << "a carriage return in a comment starts no frame";
}

TEST_F(EditorTools, TheCanvasGrowsWithTheWindowAndZoomsWhileTheSliderAndOnionFollowTheFrames) {
  window.resize(900, 600);
  QCoreApplication::processEvents();
  const double fitted = window.Canvas()->DotSize();
  window.resize(1400, 1000);
  QCoreApplication::processEvents();
  const double large = window.Canvas()->DotSize();
  EXPECT_GT(large, fitted);
  QWheelEvent wheel(window.Canvas()->CellCentre(0, 0), QCursor::pos(), {}, {0, 120}, Qt::NoButton,
                    Qt::ControlModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(window.Canvas(), &wheel);
  window.Action("zoomIn")->trigger();
  EXPECT_NEAR(window.Canvas()->DotSize(), large * 1.25 * 1.25, 0.01);
  window.Action("zoomFit")->trigger();
  QCoreApplication::processEvents();
  EXPECT_NEAR(window.Canvas()->DotSize(), large, 0.01);

  window.Scrub()->setValue(1);
  EXPECT_EQ(window.CurrentFrame(), 1);
  EXPECT_EQ(window.Strip()->currentIndex().row(), 1);
  window.Action("onion")->setChecked(true);
  window.SelectFrame(1);
  const QImage seen = window.Canvas()->grab().toImage();
  const auto at = [&](int x, int y) { return seen.pixel(window.Canvas()->CellCentre(x, y)); };
  EXPECT_NE(at(0, 0), at(5, 5)) << "the frame before shows";
  EXPECT_NE(at(17, 7), at(5, 5)) << "the frame after shows";
  EXPECT_NE(at(0, 0), at(17, 7)) << "each in its own colour";
}

TEST_F(EditorTools, ScrollingTextBecomesTheFramesOfAMarqueeInOneStep) {
  EditorWindow::askScrollingText = [](QWidget*, QString& text, int& stepMs) {
    text = "GO";
    stepMs = 50;
    return true;
  };
  window.SelectFrame(0);
  window.Action("insertText")->trigger();
  const CellFrames marquee = TextInCells("GO", kStillPictureMs, 50);
  ASSERT_EQ(window.Document().FrameCount(), 3 + static_cast<int>(marquee.size()));
  EXPECT_EQ(window.Document().Duration(1), 40);  // the duration whose pause is the 50 ms step
  EXPECT_EQ(window.Document().LitCells(10), marquee[9].second);
  window.Action("undo")->trigger();
  EXPECT_EQ(window.Document().FrameCount(), 3);
}

TEST(ImportPreview, TheCellsFollowTheOptionsAsTheyChange) {
  // A picture of 18 x 8 pixels is a cell a pixel: brightness rising from left to right.
  QImage picture(kCellColumns, kCellRows, QImage::Format_RGB32);
  for (int x = 0; x < kCellColumns; ++x)
    for (int y = 0; y < kCellRows; ++y) picture.setPixel(x, y, qRgb(x * 15, x * 15, x * 15));
  const TempFile file("", "ramp.png");
  ASSERT_TRUE(picture.save(QString::fromStdString(file.Path())));
  ImportDialog dialog({QString::fromStdString(file.Path())}, nullptr);
  dialog.show();
  const auto lit = [&] {
    int count = 0;
    for (const auto& column : dialog.Preview()) count += column[0];
    return count;
  };
  EXPECT_EQ(lit(), 9) << "the right half passes 50";
  dialog.threshold->setValue(90);
  EXPECT_EQ(lit(), 2);
  QTest::mouseClick(dialog.invert, Qt::LeftButton, {}, QPoint(4, dialog.invert->height() / 2));
  ASSERT_TRUE(dialog.invert->isChecked());
  EXPECT_TRUE(dialog.Preview()[0][0] && !dialog.Preview()[17][0]) << "the dark parts light instead";
}

}  // namespace
}  // namespace glowreel::test
