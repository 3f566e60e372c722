// glowreel-edit: draw movies frame by frame.
#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "ui/editor/editor_window.h"
#include "ui/program_icon.h"
#include "version.h"

namespace {

constexpr const char* kUsage =
    "Usage: glowreel-edit [MOVIE]\n"
    "Draws GlowReel movies frame by frame: cells, frames, durations, a preview at the player's\n"
    "pace, pictures imported and GIFs exported.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
  const char* movie = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("glowreel-edit %s\n", glowreel::version::kFull);
      return 0;
    } else if (argv[i][0] == '-' || movie) {
      std::fprintf(stderr, "glowreel-edit: %s: %s\n%s",
                   movie ? "one movie at a time" : "unknown option", argv[i], kUsage);
      return 2;
    }
    movie = argv[i];
  }
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("GlowReel"));
  QApplication::setApplicationName(QStringLiteral("glowreel-edit"));
  QApplication::setApplicationVersion(QString::fromLatin1(glowreel::version::kFull));
  QApplication::setWindowIcon(glowreel::ProgramIcon());
  glowreel::EditorWindow editor;
  editor.show();
  if (movie) editor.OpenFile(QFileInfo(QString::fromLocal8Bit(movie)).absoluteFilePath());
  return QApplication::exec();
}
