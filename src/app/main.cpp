// glowreel: the player's window.
#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cstdio>
#include <cstring>

#include "platform/exit_signals.h"
#include "platform/port/port.h"
#include "platform/port/qt/display_window.h"
#include "platform/qt/qt_platform.h"
#include "ui/frm_about.h"
#include "ui/frm_main.h"
#include "ui/program_icon.h"
#include "version.h"

namespace {

constexpr const char* kUsage =
    "Usage: glowreel [MOVIE]\n"
    "Plays frame-based movies on a Noritake 128x64 VFD on the parallel port, or on a virtual\n"
    "display when there is none. MOVIE is loaded at start as if chosen with Load.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "GLOWREEL_PORT chooses where the display's bytes go (see glowreel(1)).\n";

// Reads the command line before the window system is needed, so that --help works anywhere.
// Returns the exit status when the program is to end at once, or -1 with `movie` set.
int ParseArguments(int argc, char** argv, const char*& movie) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!optionsEnded && std::strcmp(arg, "--") == 0) {
      optionsEnded = true;
    } else if (!optionsEnded && std::strcmp(arg, "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (!optionsEnded && std::strcmp(arg, "--version") == 0) {
      std::printf("glowreel %s\n", glowreel::version::kFull);
      return 0;
    } else if ((!optionsEnded && arg[0] == '-' && arg[1] != '\0') || movie) {
      std::fprintf(stderr, "glowreel: %s: %s\n%s", movie ? "more than one movie" : "unknown option",
                   arg, kUsage);
      return 2;
    } else {
      movie = arg;
    }
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const char* movie = nullptr;
  if (const int status = ParseArguments(argc, argv, movie); status >= 0) return status;

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("GlowReel"));
  QApplication::setApplicationVersion(QString::fromLatin1(glowreel::version::kFull));
  QApplication::setWindowIcon(glowreel::ProgramIcon());

  glowreel::QtPlatform platform;
  glowreel::InstallPlatform(&platform);
  glowreel::RegisterDisplaySinks();

  int status = 0;
  {
    // Lives until the event loop has ended, so no running handler ever sees it destroyed.
    glowreel::frmMain main;
    // A signal ends the program as Exit does, and closes the about window too.
    QSocketNotifier exitSignals(glowreel::InstallExitSignals(), QSocketNotifier::Read);
    QObject::connect(&exitSignals, &QSocketNotifier::activated, &main, [&main] {
      if (!glowreel::TakeExitSignal()) return;
      if (glowreel::frmAbout* about = glowreel::frmAbout::Instance()) about->close();
      main.close();
    });
    main.move(40, 40);
    main.show();
    if (movie) main.TakeMovie(QFileInfo(QString::fromLocal8Bit(movie)).absoluteFilePath());
    status = QApplication::exec();
  }
  glowreel::PortClose();
  glowreel::InstallPlatform(nullptr);
  return status;
}
