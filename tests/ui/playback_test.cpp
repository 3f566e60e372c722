// What the main window's handlers do while a movie plays: they run nested inside the pauses.
#include "ui_test.h"

namespace glowreel::test {
namespace {

class Playback : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    OpenMain();
  }
  // What the display shows: which movie's frame, nothing, or off.
  std::string Showing() const {
    const DisplayModel model = port.Model();
    return !model.IsOn()        ? "off"
           : model.Lit(0, 0)    ? "first frame"
           : model.Lit(119, 56) ? "last frame"
           : model.Lit(63, 24)  ? "new movie"
                                : "nothing";
  }
};

TEST_F(Playback, EachHandlerDuringAPauseActsAsTheWindowPromises) {
  const std::string longMovie = Frame("5000", OneCell(0, 0)) + Frame("5000", OneCell(17, 7));
  const std::string newMovie = Frame("10", OneCell(9, 3));
  // After the action: the first thing the display receives, the frames sent, the caption and
  // what the display shows in the end.
  // clang-format off
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { main->cmdGo->click(); }, "Stop: clear, 0 frames, &Play, nothing"},
      {[&] { main->cmdExit->click(); }, "Exit: brightness 15, 0 frames, &Stop, off"},
      {[&] { LoadMovie(newMovie); }, "Load: clear, 0 frames, &Play, nothing"},
      {[&] { LoadMovie(""); }, "Load cancelled: x 0, 1 frames, &Play, last frame"},
      {[&] { main->cmdAbout->click(); }, "About: x 0, 1 frames, &Play, last frame"},
      {[&] { main->cmdGo->click(); movieFile->Write(newMovie); main->cmdGo->click(); },
       "Play again after Stop: clear, 1 frames, &Play, new movie"}};
  // clang-format on
  for (const auto& [during, expected] : cases) {
    if (!main->isVisible()) {  // after Exit: the program starts again
      port.Reopen();
      OpenMain();
    }
    LoadMovie(longMovie, "first.grm");
    Mark at;
    QString caption;
    platform.sleeps.clear();
    platform.AtPump(2, [&] {
      caption = main->cmdGo->text();
      at = port.Position();
      during();
    });
    main->cmdGo->click();
    EXPECT_EQ(caption, "&Stop");
    const std::vector<std::string> after = Without(port.TranscriptFrom(at), "wait");
    ASSERT_FALSE(after.empty());
    const std::string name = expected.substr(0, expected.find(':'));
    EXPECT_EQ(name + ": " + after.front() + ", " +
                  std::to_string(std::count(after.begin(), after.end(), "page 0")) + " frames, " +
                  main->cmdGo->text().toStdString() + ", " + Showing(),
              expected);
    EXPECT_FALSE(pb.bPlaying);
    if (name != "Exit") continue;
    EXPECT_EQ(after, Without(Golden("fadeout"), "wait")) << "nothing after the fade-out";
    EXPECT_LE(std::count(platform.sleeps.begin(), platform.sleeps.end(), 10), 3)
        << "the frame's pause ended with the window";
  }
  ASSERT_NE(frmAbout::Instance(), nullptr);
  EXPECT_TRUE(frmAbout::Instance()->isVisible()) << "About did not stop the movie either";
}

// The picture playing is no longer the window's once another file is loaded; it lives on until
// its playback has returned (AddressSanitizer sees any use after it is gone).
TEST_F(Playback, LoadingWhileAPicturePlaysEndsItAndTheNewMovieWaits) {
  std::string white = "P1\n128 64\n";
  for (int dot = 0; dot < 128 * 64; ++dot) white += "0 ";
  LoadMovie(white, "first.pbm");
  bool loaded = false;
  platform.AtPump(2, [&] {
    loaded = Showing() == "first frame";  // the picture's top left dot
    LoadMovie(Frame("10", OneCell(9, 3)));
  });
  main->cmdGo->click();
  EXPECT_TRUE(loaded);
  EXPECT_EQ(main->cmdGo->text(), "&Play");
  EXPECT_FALSE(pb.bPlaying);
  EXPECT_EQ(Showing(), "nothing");
}

}  // namespace
}  // namespace glowreel::test
