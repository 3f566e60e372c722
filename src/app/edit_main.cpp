// glowreel-edit: draw movies frame by frame.
#include <QApplication>
#include <QFileInfo>

#include "platform/exit_signals.h"
#include "platform/process_setup.h"
#include "platform/qt/qt_command_line.h"
#include "platform/qt/qt_platform.h"
#include "ui/editor/editor_window.h"
#include "ui/program_icon.h"
#include "version.h"

namespace {

constexpr const char* kProgram = "glowreel-edit";
constexpr const char* kUsage =
    "Usage: glowreel-edit [MOVIE]\n"
    "Draws GlowReel movies frame by frame: cells, frames, durations, a preview at the player's\n"
    "pace, pictures imported and GIFs exported.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
  glowreel::PrepareProcess();
  QCommandLineParser parser;
  if (const int status = glowreel::ReadCommandLine(parser, argc, argv, kProgram, kUsage, "movie");
      status >= 0)
    return status;
  const QStringList movies = parser.positionalArguments();
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("GlowReel"));
  QApplication::setApplicationName(QStringLiteral("glowreel-edit"));
  QApplication::setApplicationVersion(QString::fromLatin1(glowreel::version::kFull));
  QApplication::setWindowIcon(glowreel::ProgramIcon());
  glowreel::QtPlatform platform;  // the preview pauses as the player does
  glowreel::InstallPlatform(&platform);
  glowreel::EditorWindow editor;
  editor.EndOnExitSignals(glowreel::InstallExitSignals());
  editor.show();
  if (!movies.isEmpty()) editor.OpenFile(QFileInfo(movies.front()).absoluteFilePath());
  const int status = QApplication::exec();
  glowreel::InstallPlatform(nullptr);
  return status;
}
