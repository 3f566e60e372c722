// A client's screen as the display shows it: where each widget's dots fall, bars to the dot,
// scrolling a dot at a time.
#include <gtest/gtest.h>

#include "dots/dot_drawing.h"
#include "lcdproc/draw_screen.h"
#include "lcdproc/icons.h"
#include "lcdproc/session.h"

namespace glowreel::lcdproc {
namespace {

// The screen "s" after these commands, drawn `ms` after it came on.
DotFrame Drawn(const std::vector<std::string>& commands, int64_t ms = 0) {
  Session session;
  session.Handle("hello");
  session.Handle("screen_add s");
  for (const std::string& command : commands)
    EXPECT_EQ(session.Handle(command), std::vector<std::string>{"success"}) << command;
  return DrawScreen(session.Screens().at(0), ms);
}

int LitIn(const DotFrame& frame, int left, int top, int width, int height) {
  int lit = 0;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) lit += frame.At(x, y);
  return lit;
}

int Lit(const DotFrame& frame) {
  return LitIn(frame, 0, 0, kPixelColumns, kPixelRows);
}

TEST(DrawScreen, TextAndIconsSitOnTheCharacterGrid) {
  DotFrame expected;
  DrawTextLine(expected, U"Hi", 6, 16);
  EXPECT_EQ(Drawn({"widget_add s w string", "widget_set s w 2 3 Hi"}).dots, expected.dots)
      << "column 2, row 3: six and sixteen dots in";
  DotFrame heart;
  DrawGlyph(heart, *IconGlyph("HEART_FILLED"), 120, 56);
  EXPECT_EQ(Drawn({"widget_add s i icon", "widget_set s i 21 8 HEART_FILLED"}).dots, heart.dots);
  EXPECT_EQ(Lit(Drawn({"widget_add s w string"})), 0) << "nothing before the first widget_set";
  EXPECT_EQ(
      Lit(Drawn({"screen_set s -wid 2", "widget_add s w string", "widget_set s w 1 1 Hello"})),
      Lit(Drawn({"widget_add s w string", "widget_set s w 1 1 He"})))
      << "a screen two characters wide shows two";
}

TEST(DrawScreen, BarsAreAsLongAsTheirDotsSay) {
  const DotFrame h = Drawn({"widget_add s b hbar", "widget_set s b 3 4 37"});
  EXPECT_EQ(LitIn(h, 12, 25, 37, 6), 37 * 6) << "from column 3's first dot, the middle six rows";
  EXPECT_EQ(Lit(h), 37 * 6) << "an hbar of 37 dots is 37 dots";
  const DotFrame v = Drawn({"widget_add s b vbar", "widget_set s b 2 8 30"});
  EXPECT_EQ(LitIn(v, 6, 34, 5, 30), 5 * 30) << "up from the bottom of row 8";
  EXPECT_EQ(Lit(v), 5 * 30);
  const int empty = Lit(Drawn({"widget_add s p pbar", "widget_set s p 1 2 21 0"}));
  const int half = Lit(Drawn({"widget_add s p pbar", "widget_set s p 1 2 21 500"}));
  const int full = Lit(Drawn({"widget_add s p pbar", "widget_set s p 1 2 21 1000"}));
  EXPECT_NEAR(full - empty, 2 * (half - empty), 5) << "the fill follows the promille";
  EXPECT_EQ(full - empty, (21 * 6 - 1 - 2) * 5) << "inside the outline, across the width";
}

TEST(DrawScreen, BigDigitsTitleAndPixmap) {
  const DotFrame eight = Drawn({"widget_add s n num", "widget_set s n 4 8"});
  EXPECT_GT(LitIn(eight, 18, 17, 18, 30), 100) << "a big 8 in columns 4 to 6, four rows tall";
  EXPECT_EQ(Lit(eight), LitIn(eight, 18, 17, 18, 30));
  const DotFrame colon = Drawn({"widget_add s n num", "widget_set s n 8 10"});
  EXPECT_GT(Lit(colon), 0);
  EXPECT_LT(Lit(colon), Lit(eight) / 4);
  const DotFrame title = Drawn({"widget_add s t title", "widget_set s t Load"});
  EXPECT_EQ(
      LitIn(title, 0, 0, 126, 7) + Lit(Drawn({"widget_add s w string", "widget_set s w 1 1 Load"})),
      126 * 7)
      << "a lit bar with the text in dark dots";
  const DotFrame pixmap = Drawn({"widget_add s p pixmap", "widget_set s p 3 2 2 9 8101ff00"});
  EXPECT_TRUE(pixmap.At(12, 8) && pixmap.At(12, 15) && pixmap.At(12, 16) && pixmap.At(13, 8));
  EXPECT_EQ(Lit(pixmap), 4) << "each byte a column of a page, bit 0 on top, rows past 9 left out";
}

TEST(DrawScreen, ScrollersAndFramesMoveADotAtATime) {
  const std::vector<std::string> marquee = {"widget_add s m scroller",
                                            "widget_set s m 1 1 21 1 m 1 {Hello world, and more}"};
  const DotFrame first = Drawn(marquee, 0), next = Drawn(marquee, 21);
  for (int x = 0; x + 1 < 126; ++x)
    for (int y = 0; y < 8; ++y) ASSERT_EQ(next.At(x, y), first.At(x + 1, y)) << x << "," << y;
  EXPECT_EQ(LitIn(first, 0, 8, 128, 56), 0) << "within its row";
  const std::vector<std::string> still = {"widget_add s h scroller",
                                          "widget_set s h 1 1 21 1 h 1 Short"};
  EXPECT_EQ(Drawn(still, 0).dots, Drawn(still, 5000).dots) << "what fits stands still";
  const std::vector<std::string> frame = {
      "widget_add s f frame",   "widget_set s f 1 1 21 2 21 4 v 1", "widget_add s a string -in f",
      "widget_set s a 1 1 AAA", "widget_add s d string -in f",      "widget_set s d 1 4 DDD"};
  EXPECT_GT(LitIn(Drawn(frame, 0), 0, 0, 128, 8), 0) << "row 1 of four in a frame two rows high";
  EXPECT_EQ(LitIn(Drawn(frame, 0), 0, 16, 128, 48), 0) << "nothing shows outside its area";
  EXPECT_GT(LitIn(Drawn(frame, 2400), 0, 8, 128, 8), 0) << "scrolled up: row 4 at the bottom";
  Session session;
  session.Handle("hello");
  session.Handle("screen_add s");
  EXPECT_FALSE(Moves(session.Screens()[0]));
  for (const std::string& command : marquee) session.Handle(command);
  EXPECT_TRUE(Moves(session.Screens()[0]));
}

}  // namespace
}  // namespace glowreel::lcdproc
