#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "core/playback.h"
#include "support/fake_platform.h"
#include "support/movies.h"
#include "support/port_record.h"
#include "ui/frm_about.h"
#include "ui/frm_main.h"

namespace glowreel::test {

// The real main window on the fake platform, with a recording port and a scripted Open dialog.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform.onPump = [] { QCoreApplication::processEvents(); };
    platform.onSleep = [this](int32_t ms) { port.Note("wait " + std::to_string(ms)); };
    LoadMovie("");  // no test opens the real dialog by chance
  }
  void TearDown() override {
    if (frmAbout::Instance()) frmAbout::Instance()->close();
    main.reset();
    CommonDialog::SetScript(nullptr);
    ProcessEvents();
  }
  // Creates and shows the main window (its Load handler runs first), as the program starts.
  frmMain& OpenMain() {
    main.reset();
    pb = Playback{};
    main = std::make_unique<frmMain>(pb);
    main->show();
    main->activateWindow();
    ProcessEvents();
    return *main;
  }
  // Loads a movie with these contents (or, given "", cancels) through the Load button.
  void LoadMovie(const std::string& movie, const std::string& name = "wave.grm") {
    movieFile = std::make_unique<TempFile>(movie, name);
    const QString path = movie.empty() ? QString() : QString::fromStdString(movieFile->Path());
    CommonDialog::SetScript([this, path](CommonDialog& dialog) {
      lastDialog = dialog;
      dialog.FileName = path;
    });
    if (main) main->cmdLoad->click();
  }
  static void ProcessEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // The main window as its user sees it.
  std::string Seen() const {
    const auto state = [](QWidget* w, const char* off) { return w->isEnabled() ? "" : off; };
    return main->lblFileName->text().toStdString() + " | " + main->cmdGo->text().toStdString() +
           state(main->cmdGo, " disabled") + " | Repeat " +
           (main->chkRepeat->isChecked() ? "ticked" : "unticked") +
           state(main->chkRepeat, " disabled") + " | focus " +
           qobject_cast<QAbstractButton*>(main->focusWidget())->text().toStdString();
  }

  FakePlatform platform;
  RecordingPort port;
  Playback pb;  // what the window plays on
  std::unique_ptr<frmMain> main;
  std::unique_ptr<TempFile> movieFile;
  CommonDialog lastDialog;
};

}  // namespace glowreel::test
