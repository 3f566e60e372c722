// The editor's tools driven as a designer drives them: shapes, text, a selection and the
// clipboard, frames copied with their comments, zoom, the slider and the onion skin.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUndoView>
#include <cmath>
#include <filesystem>

#include "platform/port/qt/display_render.h"
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
    EditorWindow::askExport = [](QWidget*, ExportKind, ExportChoice&) {
      ADD_FAILURE() << "asked about an export";
      return false;
    };
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
  // The cells dragged out from `from` to `to` selected, then Repeat With Move as `move` says.
  void RepeatSelected(QPoint from, QPoint to, RepeatMove move) {
    window.Action("toolSelect")->trigger();
    Drag(from, to);
    EditorWindow::askRepeatWithMove = [move](QWidget*, RepeatMove& asked) {
      asked = move;
      return true;
    };
    window.Action("repeatWithMove")->trigger();
  }

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
  QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);
  QTest::keyClicks(editor, "@20 is no frame");
  ASSERT_TRUE(window.SaveTo(QString::fromStdString(movie.Path()))) << "the comment goes along";
  EXPECT_EQ(window.Strip()->model()->index(1, 0).data().toString(),
            "2   at 0:00.11\n200 ms\nchorus");
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
  CellCanvas* canvas = window.Canvas();
  const QPoint pointer = canvas->CellCentre(17, 7) + canvas->pos();  // in the view
  for (int turn = 0; turn < 4; ++turn) {
    const QPointF at = pointer - canvas->pos();
    QWheelEvent wheel(at, canvas->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(canvas, &wheel);
  }
  EXPECT_NEAR(canvas->DotSize(), large * std::pow(1.25, 4), 0.01);
  EXPECT_LT((canvas->CellCentre(17, 7) + canvas->pos() - pointer).manhattanLength(),
            canvas->DotSize() * 7)
      << "the cell under the pointer stays under it";
  window.Action("zoomIn")->trigger();
  EXPECT_NEAR(canvas->DotSize(), large * std::pow(1.25, 5), 0.01);
  window.Action("zoomFit")->trigger();
  QCoreApplication::processEvents();
  EXPECT_NEAR(canvas->DotSize(), large, 0.01);

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
  window.Action("onion2")->trigger();
  window.SelectFrame(2);
  const QImage deeper = window.Canvas()->grab().toImage();
  const auto deep = [&](int x, int y) { return deeper.pixel(window.Canvas()->CellCentre(x, y)); };
  EXPECT_NE(deep(0, 0), deep(5, 5)) << "two frames back shows";
  EXPECT_LT(qGreen(deep(0, 0)), qGreen(deep(1, 1))) << "fainter than the frame before";
  window.Action("onion1")->trigger();
}

TEST_F(EditorTools, ScrollingTextTellsItsFramesAndTimeBeforeInsertingThemInOneStep) {
  QString told;
  QTimer::singleShot(0, [&] {  // the real dialog: its count, then "GO" moving up
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>()->setText("GO");
    dialog->findChild<QComboBox*>()->setCurrentIndex(2);
    for (QLabel* label : dialog->findChildren<QLabel*>())
      if (label->text().contains("frame")) told = label->text();
    dialog->accept();
  });
  window.SelectFrame(0);
  window.Action("insertText")->trigger();
  const CellFrames marquee = ScrollingText("GO", {ScrollWay::kUp, 0, 200, 0});
  EXPECT_EQ(told, "15 frames, 0:03.00") << "8 rows and 7 to pass, 20 slices each";
  ASSERT_EQ(window.Document().FrameCount(), 3 + static_cast<int>(marquee.size()));
  EXPECT_EQ(window.Document().Duration(1), 190) << "the duration whose pause is 200 ms";
  EXPECT_EQ(window.Document().LitCells(8), marquee[7].second);
  window.Action("undo")->trigger();
  EXPECT_EQ(window.Document().FrameCount(), 3);
}

TEST_F(EditorTools, ALiftedSelectionKeepsTheCellsPastTheEdgeUntilPutDownAndSelectAllEndsAMove) {
  window.SelectFrame(2);
  window.Action("toolSelect")->trigger();
  Drag({15, 6}, {17, 7});
  Drag({15, 6}, {17, 6});  // two cells right: the lit cell is past the edge
  EXPECT_FALSE(window.Document().LitCells(2)[17][7]);
  Drag({17, 6}, {15, 6});
  EXPECT_TRUE(window.Document().LitCells(2)[17][7]) << "kept while lifted, back where it was";

  CellCanvas* canvas = window.Canvas();
  QTest::mousePress(canvas, Qt::LeftButton, {}, canvas->CellCentre(16, 7));
  QTest::mouseMove(canvas, canvas->CellCentre(12, 7));
  window.Action("selectAll")->trigger();
  QTest::mouseMove(canvas, canvas->CellCentre(10, 3));
  canvas->grab();  // drawn with the move ended
  QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas->CellCentre(10, 3));
  EXPECT_EQ(canvas->Selection(), CellRect{});
  EXPECT_EQ(canvas->Shown(), window.Document().LitCells(2)) << "the move was dropped";
  EXPECT_TRUE(window.Document().LitCells(2)[17][7]);
}

TEST_F(EditorTools, ASelectionEndsWithAnotherToolAndTextStopsAtTheEdgeInAWord) {
  window.Action("toolSelect")->trigger();
  Drag({0, 0}, {1, 1});
  window.Action("toolPen")->trigger();
  window.Action("duplicateFrame")->trigger();
  window.Action("invert")->trigger();
  EXPECT_EQ(Corner(1), ".#####|######|######|######|") << "the whole frame, not the old selection";

  window.Action("toolText")->trigger();
  CellCanvas* canvas = window.Canvas();
  const Cells before = canvas->Shown();
  QTest::mouseClick(canvas, Qt::LeftButton, {}, canvas->CellCentre(0, 0));
  QTest::keyClicks(canvas, "ABCD");
  EXPECT_EQ(canvas->Shown(),
            Lettered(Lettered(Lettered(before, 0, 0, 'A'), 6, 0, 'B'), 12, 0, 'C'));
  EXPECT_EQ(window.statusBar()->currentMessage(),
            "No room for another letter on this row: 18 cells across hold three.");
  window.Strip()->setFocus();
  EXPECT_FALSE(canvas->Typing()) << "no caret where typing does not go";
}

TEST_F(EditorTools, FramesChosenTogetherTakeADurationAStrokeAndAShiftEachAsOneStep) {
  FrameStrip* strip = window.Strip();
  window.SelectFrame(0);
  QTest::mouseClick(strip->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                    strip->visualRect(strip->model()->index(2, 0)).center());
  window.Duration()->setValue(50);
  ASSERT_EQ(strip->Chosen(window.CurrentFrame()).size(), 3u) << "still chosen after the duration";
  EXPECT_EQ(window.TimeText(), "Frame 3 of 3 (3 chosen), at 0:00.12 of 0:00.18");
  const int steps = Steps();
  QTest::mouseClick(window.Canvas(), Qt::LeftButton, {}, window.Canvas()->CellCentre(5, 5));
  window.Action("shiftRight")->trigger();
  for (int frame = 0; frame < 3; ++frame)
    EXPECT_TRUE(window.Document().LitCells(frame)[6][5]) << "frame " << frame;
  EXPECT_EQ(Steps(), steps + 2);
}

TEST_F(EditorTools, RepeatWithMoveCarriesTheSelectionAcrossNewFramesInOneStep) {
  window.SelectFrame(0);
  RepeatSelected({0, 0}, {1, 1}, {7, 2, 0});
  ASSERT_EQ(window.Document().FrameCount(), 3 + 7);
  for (int k = 1; k <= 7; ++k) {
    Cells moved{};
    moved[2 * k][0] = true;
    EXPECT_EQ(window.Document().LitCells(k), moved) << "frame " << k;
  }
  EXPECT_EQ(window.CurrentFrame(), 7);
  EXPECT_EQ(window.Canvas()->Selection(), (CellRect{14, 0, 2, 2})) << "to go on from there";
  window.Action("undo")->trigger();
  EXPECT_EQ(window.Document().FrameCount(), 3);
}

TEST_F(EditorTools, ACommentFinishesWithEnterTabOrEscapeKeepingWhatWasTyped) {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Escape}) {
    SCOPED_TRACE(QKeySequence(key).toString().toStdString());
    window.SelectFrame(2);
    window.Action("comment")->trigger();
    auto* editor = window.Strip()->findChild<QPlainTextEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "one");
    QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(editor, "two");
    QTest::keyClick(editor, key);
    EXPECT_FALSE(editor->isVisible()) << "finished";
    EXPECT_EQ(window.Document().Frames()[2].before, (std::vector<std::string>{"one", "two"}));
    window.Action("undo")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

TEST_F(EditorTools, HistoryListsEveryStepAndGoesBackToAnyOfThem) {
  window.Action("fill")->trigger();
  window.Action("invert")->trigger();
  window.Action("history")->trigger();
  auto* steps = window.findChild<QUndoView*>();
  ASSERT_TRUE(steps && steps->isVisible());
  ASSERT_EQ(steps->model()->rowCount(), 3);
  QTest::mouseClick(steps->viewport(), Qt::LeftButton, {},
                    steps->visualRect(steps->model()->index(1, 0)).center());
  EXPECT_EQ(Corner(0), "######|######|######|######|") << "back to after Fill";
}

TEST_F(EditorTools, ExportsAskTheirOptionsACancelLeavesNothingAndATooLargeSheetIsRefusedFirst) {
  const TempFile gif("", "shop.gif");
  std::filesystem::remove(gif.Path());
  ExportChoice choice{QString::fromStdString(gif.Path()), true, 2};
  EditorWindow::askExport = [&](QWidget*, ExportKind, ExportChoice& asked) {
    asked = choice;
    return true;
  };
  window.Action("exportGif")->trigger();
  QImageReader looping(choice.path);
  EXPECT_EQ(looping.size(), RenderDisplay(DisplaySnapshot{}).size() * 2);
  EXPECT_EQ(looping.loopCount(), -1) << "for ever";
  choice.loop = false;
  window.Action("exportGif")->trigger();
  EXPECT_EQ(QImageReader(choice.path).loopCount(), 0) << "once";

  // Frames that differ each from the one before: a picture each.
  CellFrames many;
  for (int k = 0; k < 600; ++k) many.emplace_back(20, Lettered({}, 0, 0, U'0' + k % 10));
  window.Document().InsertFrames(0, many, "many");
  std::filesystem::remove(gif.Path());
  QTimer::singleShot(0, [&] { window.findChild<QProgressDialog*>()->cancel(); });
  window.Action("exportGif")->trigger();
  EXPECT_FALSE(std::filesystem::exists(gif.Path()));
  EXPECT_EQ(window.statusBar()->currentMessage(), "Export cancelled: nothing was written.");

  QString warned;
  EditorWindow::warn = [&](QWidget*, const QString& text) { warned = text; };
  EditorWindow::askExport = [](QWidget*, ExportKind, ExportChoice&) {
    ADD_FAILURE() << "asked before refusing";
    return false;
  };
  window.Action("exportSheet")->trigger();
  EXPECT_TRUE(warned.contains("more than 256 pictures")) << warned.toStdString();
}

// A 15-20 second shop-window movie made as a designer makes it: each action one step.
TEST_F(EditorTools, TheShopWindowMovieTakesAFewStepsAndReadsBackAsDrawn) {
  ASSERT_TRUE(window.New());
  EditorWindow::askScrollingText = [](QWidget*, QString& text, ScrollOptions& options) {
    text = "SALE -50%";
    options = {ScrollWay::kLeft, 0, 100, 3000};
    return true;
  };
  window.Action("insertText")->trigger();
  QTest::keyClick(window.Strip(), Qt::Key_End);
  window.Action("addFrame")->trigger();
  window.Duration()->setValue(500);
  window.Action("toolLine")->trigger();
  Drag({0, 3}, {3, 3});  // an arrow: its shaft and head
  Drag({2, 2}, {3, 3});
  Drag({2, 4}, {3, 3});
  RepeatSelected({0, 2}, {3, 4}, {7, 2, 0});
  window.Action("comment")->trigger();
  QTest::keyClicks(window.Strip()->findChild<QPlainTextEdit*>(), "the arrow ends here");
  QTest::keyClick(window.Strip()->findChild<QPlainTextEdit*>(), Qt::Key_Return);
  window.Action("duplicateFrame")->trigger();  // a blink: dark, lit, dark
  window.Action("clear")->trigger();
  window.Action("copyFrames")->trigger();
  window.Action("pasteFrames")->trigger();
  EXPECT_EQ(Steps(), 11);
  EXPECT_GE(window.Document().TotalMs(), 15000) << window.TimeText().toStdString();
  EXPECT_LE(window.Document().TotalMs(), 20000);

  ASSERT_TRUE(window.SaveTo(QString::fromStdString(movie.Path())));
  MovieDocument saved;
  ASSERT_EQ(saved.Open(movie.Path()), "");
  ASSERT_EQ(saved.FrameCount(), window.Document().FrameCount());
  for (int frame = 0; frame < saved.FrameCount(); ++frame)
    ASSERT_EQ(saved.LitCells(frame), window.Document().LitCells(frame)) << "frame " << frame;
  EXPECT_TRUE(saved.Check().empty());
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
