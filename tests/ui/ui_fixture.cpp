#include "ui_fixture.h"

#include <QApplication>

#include "app/shared_state.h"
#include "ui/frm_about.h"

namespace glowreel::test {

void UiTest::SetUp() {
  ResetSharedState();
  platform.onPump = [] { QCoreApplication::processEvents(); };
  ChooseInDialog(QString());
}

void UiTest::TearDown() {
  if (frmAbout::Instance()) frmAbout::Instance()->close();
  main.reset();
  CommonDialog::SetScript(nullptr);
  ProcessEvents();
}

void UiTest::ProcessEvents() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

frmMain& UiTest::OpenMain() {
  main = std::make_unique<frmMain>();
  main->show();
  main->activateWindow();
  ProcessEvents();
  return *main;
}

void UiTest::ChooseInDialog(const QString& path) {
  CommonDialog::SetScript([this, path](CommonDialog& dialog) {
    ++dialogShows;
    lastDialog = dialog;
    dialog.FileName = path;
  });
}

void UiTest::LoadMovie(const std::string& movie, const std::string& name) {
  movieFile = std::make_unique<TempFile>(movie, name);
  ChooseInDialog(QString::fromStdString(movieFile->Path()));
  main->cmdLoad->click();
}

}  // namespace glowreel::test
