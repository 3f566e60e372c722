// glowreel: the player's window.
#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

#include "platform/command_line.h"
#include "platform/exit_signals.h"
#include "platform/port/port.h"
#include "platform/port/qt/display_window.h"
#include "platform/process_setup.h"
#include "platform/qt/qt_command_line.h"
#include "platform/qt/qt_platform.h"
#include "ui/frm_main.h"
#include "ui/program_icon.h"
#include "version.h"

namespace {

constexpr const char* kProgram = "glowreel";
constexpr const char* kUsage =
    "Usage: glowreel [PICTURE OPTIONS] [MOVIE]\n"
    "Plays frame-based movies on a Noritake 128x64 VFD on the parallel port, or on a virtual\n"
    "display when there is none. MOVIE is loaded at start as if chosen with Load. A picture\n"
    "taken instead of a movie (here, or dropped on the window) plays on every dot, fitted by:\n"
    "\n"
    "      --fit MODE     contain (the default), cover or stretch it on the 128 x 64 dots\n"
    "      --threshold N  how bright (0-100) a dot's part of it must be; default 50\n"
    "      --invert       light its dark parts instead\n"
    "      --dither       spread each dot's rounding error over its neighbours\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n"
    "\n"
    "GLOWREEL_PORT chooses where the display's bytes go (see glowreel(1)).\n";

}  // namespace

int main(int argc, char** argv) {
  glowreel::PrepareProcess();
  QCommandLineParser parser;
  glowreel::AddPictureOptions(parser);
  if (const int status = glowreel::ReadCommandLine(parser, argc, argv, kProgram, kUsage, "movie");
      status >= 0)
    return status;
  glowreel::PictureOptions pictures;
  if (const std::string wrong = glowreel::ReadPictureOptions(parser, pictures); !wrong.empty())
    return glowreel::UsageError(kProgram, wrong);
  const QStringList movies = parser.positionalArguments();
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
      !std::getenv("QT_QPA_PLATFORM")) {
    std::fputs(
        "glowreel: cannot open the display (DISPLAY is not set); use glowreel-play for "
        "playing without windows\n",
        stderr);
    return 1;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("GlowReel"));
  QApplication::setApplicationVersion(QString::fromLatin1(glowreel::version::kFull));
  QApplication::setWindowIcon(glowreel::ProgramIcon());

  const int exitSignals = glowreel::InstallExitSignals();  // before anything reaches the port
  glowreel::Playback playback;
  glowreel::QtPlatform platform(&playback);
  glowreel::InstallPlatform(&platform);
  glowreel::PortContext port;
  port.ending = &playback.bExiting;
  glowreel::RegisterDisplaySinks(port);
  glowreel::InstallPort(&port);

  int status = 0;
  {
    // Lives until the event loop has ended, so no running handler ever sees it destroyed.
    glowreel::frmMain main(playback);
    main.EndOnExitSignals(exitSignals);
    main.pictureOptions = pictures;
    main.move(40, 40);
    main.show();
    if (!movies.isEmpty()) main.TakeMovie(QFileInfo(movies.front()).absoluteFilePath());
    status = QApplication::exec();
  }
  glowreel::PortClose();
  glowreel::InstallPort(nullptr);
  glowreel::InstallPlatform(nullptr);
  return status;
}
