#include <QApplication>

#include "app/shared_state.h"
#include "support/movie_text.h"
#include "ui/frm_about.h"
#include "ui_fixture.h"

namespace glowreel::test {
namespace {

class Playback : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    OpenMain();
  }
  // Clicks Play; `during` runs inside the n-th pump of the playback.
  void PlayWith(int pump, std::function<void()> during) {
    platform.AtPump(pump, [this, during] {
      captionWhilePlaying = main->cmdGo->text();
      during();
    });
    main->cmdGo->click();
  }
  QString captionWhilePlaying;
};

const std::string kLongMovie = Frame("5000", OneCell(0, 0)) + Frame("5000", OneCell(1, 1));

TEST_F(Playback, StopClearsTheDisplayAndPlaybackSendsNothingMore) {
  LoadMovie(kLongMovie);
  std::size_t writesAtStop = 0;
  PlayWith(3, [&] {
    writesAtStop = port.Writes().size();
    main->cmdGo->click();
    EXPECT_EQ(main->cmdGo->text(), "&Play");
  });
  EXPECT_EQ(captionWhilePlaying, "&Stop");
  EXPECT_EQ(main->cmdGo->text(), "&Play");
  EXPECT_EQ(port.Transfers(writesAtStop), std::vector<Transfer>{Cmd(0x5F)});
  EXPECT_FALSE(port.Model().Lit(0, 0));
  EXPECT_EQ(platform.sleeps.size(), 1u + 501) << "the frame's pause ran to its end";
}

TEST_F(Playback, MovieEndingWithoutRepeatKeepsItsLastFrame) {
  LoadMovie(Frame("10", OneCell(0, 0)) + Frame("10", OneCell(17, 7)));
  main->cmdGo->click();
  EXPECT_EQ(main->cmdGo->text(), "&Play");
  EXPECT_FALSE(bPlaying);
  EXPECT_TRUE(port.Model().Lit(119, 56));
  EXPECT_FALSE(port.Model().Lit(0, 0));
}

TEST_F(Playback, RepeatTickedDuringPlaybackLoopsUntilStop) {
  LoadMovie(Frame("10", Rows("1")));
  platform.AtPump(1, [this] { main->chkRepeat->click(); });
  PlayWith(3 * 4, [this] { main->cmdGo->click(); });
  EXPECT_EQ(std::count(platform.sleeps.begin(), platform.sleeps.end(), 10), 2 * 4);
  EXPECT_EQ(main->cmdGo->text(), "&Play");
}

TEST_F(Playback, ExitDuringPlaybackFadesOutAndNothingFollows) {
  LoadMovie(kLongMovie);
  std::size_t writesAtExit = 0;
  PlayWith(2, [&] {
    writesAtExit = port.Writes().size();
    main->cmdExit->click();
  });
  EXPECT_FALSE(main->isVisible());
  EXPECT_EQ(Commands(port.Transfers(writesAtExit)), FadeOutCommands());
  EXPECT_EQ(port.Transfers(writesAtExit).size(), FadeOutCommands().size());
  EXPECT_FALSE(port.Model().IsOn());
  EXPECT_EQ(captionWhilePlaying, "&Stop");
  EXPECT_EQ(main->cmdGo->text(), "&Stop") << "playback leaves the closed window alone";
}

TEST_F(Playback, LoadDuringPlaybackEndsItAndTheNewFileIsReadAtTheNextPlay) {
  LoadMovie(kLongMovie, "first.grm");
  TempFile second(Frame("10", OneCell(17, 7)), "second.grm");
  PlayWith(2, [&] {
    ChooseInDialog(QString::fromStdString(second.Path()));
    main->chkRepeat->setChecked(true);
    main->cmdLoad->click();
  });
  EXPECT_EQ(main->lblFileName->text(), "second.grm");
  EXPECT_FALSE(main->chkRepeat->isChecked());
  EXPECT_EQ(main->cmdGo->text(), "&Play");
  EXPECT_FALSE(port.Model().Lit(0, 0)) << "the load cleared the display";
  main->cmdGo->click();
  EXPECT_TRUE(port.Model().Lit(119, 56));
}

TEST_F(Playback, CancelledLoadDuringPlaybackLetsTheMovieGoOn) {
  LoadMovie(Frame("20", OneCell(0, 0)) + Frame("20", OneCell(17, 7)));
  PlayWith(1, [&] {
    ChooseInDialog(QString());
    main->cmdLoad->click();
  });
  EXPECT_TRUE(port.Model().Lit(119, 56)) << "the second frame was shown";
  EXPECT_EQ(main->lblFileName->text(), "wave.grm");
}

TEST_F(Playback, PlayAfterStopStartsANestedPlaybackAndTheOldOneEndsQuietly) {
  LoadMovie(kLongMovie);
  int nestedCaptionChecks = 0;
  PlayWith(2, [&] {
    main->cmdGo->click();  // Stop
    movieFile->Write(Frame("10", OneCell(17, 7)));
    platform.AtPump(1, [&] {
      EXPECT_EQ(main->cmdGo->text(), "&Stop");
      ++nestedCaptionChecks;
    });
    main->cmdGo->click();  // Play again, nested
  });
  EXPECT_EQ(nestedCaptionChecks, 1);
  EXPECT_EQ(main->cmdGo->text(), "&Play");
  EXPECT_FALSE(bPlaying);
  EXPECT_TRUE(port.Model().Lit(119, 56)) << "the nested playback read the changed file";
  EXPECT_FALSE(port.Model().Lit(0, 0));
}

TEST_F(Playback, AboutDuringPlaybackLetsTheMovieGoOn) {
  LoadMovie(Frame("20", OneCell(0, 0)) + Frame("20", OneCell(17, 7)));
  PlayWith(1, [&] { main->cmdAbout->click(); });
  ASSERT_NE(frmAbout::Instance(), nullptr);
  EXPECT_TRUE(frmAbout::Instance()->isVisible());
  EXPECT_TRUE(port.Model().Lit(119, 56));
}

}  // namespace
}  // namespace glowreel::test
