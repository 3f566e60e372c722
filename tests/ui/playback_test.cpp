// What the main window's handlers do while a movie plays: they run nested inside the pauses.
#include "support/movie_text.h"
#include "ui_test.h"

namespace glowreel::test {
namespace {

const std::string kLongMovie = Frame("5000", OneCell(0, 0)) + Frame("5000", OneCell(17, 7));

enum class Shows { kNothing, kFirstFrame, kSecondFrame, kNewFile, kOff };

class Playback : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    OpenMain();
    LoadMovie(kLongMovie, "first.grm");
  }
  Shows Showing() const {
    const DisplayModel model = port.Model();
    if (!model.IsOn()) return Shows::kOff;
    if (model.Lit(0, 0)) return Shows::kFirstFrame;
    if (model.Lit(119, 56)) return Shows::kSecondFrame;
    if (model.Lit(63, 24)) return Shows::kNewFile;
    return Shows::kNothing;
  }
};

TEST_F(Playback, EachHandlerDuringAPauseActsAsTheWindowPromises) {
  struct Case {
    const char* name;
    std::function<void()> during;
    std::string firstAfter;  // the first thing the display receives after the action
    int framesAfter;
    QString caption;
    Shows shows;
  };
  TempFile second(Frame("10", OneCell(9, 3)), "second.grm");
  const std::string secondPath = second.Path();
  const Case cases[] = {
      {"Stop", [this] { main->cmdGo->click(); }, "clear", 0, "&Play", Shows::kNothing},
      {"Exit", [this] { main->cmdExit->click(); }, "brightness 15", 0, "&Stop", Shows::kOff},
      {"Load",
       [&] {
         ChooseInDialog(QString::fromStdString(secondPath));
         main->cmdLoad->click();
       },
       "clear", 0, "&Play", Shows::kNothing},
      {"Load cancelled",
       [this] {
         ChooseInDialog(QString());
         main->cmdLoad->click();
       },
       "x 0", 1, "&Play", Shows::kSecondFrame},
      {"About", [this] { main->cmdAbout->click(); }, "x 0", 1, "&Play", Shows::kSecondFrame},
      {"Play again after Stop",
       [&] {
         main->cmdGo->click();
         movieFile->Write(Frame("10", OneCell(9, 3)));
         main->cmdGo->click();
       },
       "clear", 1, "&Play", Shows::kNewFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!main->isVisible()) {  // after Exit: the program starts again
      ResetSharedState();
      OpenMain();
    }
    LoadMovie(kLongMovie, "first.grm");
    main->chkRepeat->setChecked(false);
    Mark at;
    QString caption;
    platform.sleeps.clear();
    platform.AtPump(2, [&] {
      caption = main->cmdGo->text();
      at = port.Position();
      c.during();
    });
    main->cmdGo->click();
    EXPECT_EQ(caption, "&Stop");
    const std::vector<std::string> after = port.TranscriptFrom(at);
    ASSERT_FALSE(Without(after, "wait").empty());
    EXPECT_EQ(Without(after, "wait").front(), c.firstAfter);
    EXPECT_EQ(std::count(after.begin(), after.end(), "page 0"), c.framesAfter);
    EXPECT_EQ(main->cmdGo->text(), c.caption);
    EXPECT_EQ(Showing(), c.shows);
    EXPECT_FALSE(bPlaying);
    if (std::string(c.name) == "Exit") {
      EXPECT_EQ(Without(after, "wait"), Without(Golden("fadeout"), "wait")) << "nothing after";
      EXPECT_LE(std::count(platform.sleeps.begin(), platform.sleeps.end(), 10), 3)
          << "the pause of the frame ended with the window";
    }
  }
  ASSERT_NE(frmAbout::Instance(), nullptr);
  EXPECT_TRUE(frmAbout::Instance()->isVisible());
}

TEST_F(Playback, RepeatTickedDuringPlaybackLoopsUntilStop) {
  LoadMovie(Frame("10", Rows("1")));
  platform.AtPump(1, [this] { main->chkRepeat->click(); });
  platform.AtPump(3 * 4, [this] { main->cmdGo->click(); });  // two slices and a pass end each
  main->cmdGo->click();
  EXPECT_EQ(std::count(platform.sleeps.begin(), platform.sleeps.end(), 10), 2 * 4);
  EXPECT_EQ(main->cmdGo->text(), "&Play");
}

}  // namespace
}  // namespace glowreel::test
