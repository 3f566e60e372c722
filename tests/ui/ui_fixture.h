#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <memory>

#include "support/fake_platform.h"
#include "support/recording_port.h"
#include "support/temp_file.h"
#include "ui/frm_main.h"

namespace glowreel::test {

// The real main window on the fake platform, with a recording port and a scripted Open dialog.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates and shows the main window (its Load handler runs first).
  frmMain& OpenMain();
  // The next Open dialog chooses this path; an empty path cancels it.
  void ChooseInDialog(const QString& path);
  // Loads a movie with these contents through the Load button.
  void LoadMovie(const std::string& movie, const std::string& name = "wave.grm");
  // Lets pending window events run.
  static void ProcessEvents();

  FakePlatform platform;
  RecordingPort port;
  std::unique_ptr<frmMain> main;
  std::unique_ptr<TempFile> movieFile;
  int dialogShows = 0;
  CommonDialog lastDialog;
};

}  // namespace glowreel::test
