// Writes the program icon for the desktop: write_icons DIR SIZE... -> DIR/SIZE.png
#include <QImage>
#include <QString>

#include "ui/program_icon.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  for (int i = 2; i < argc; ++i) {
    const int size = QString::fromLocal8Bit(argv[i]).toInt();
    const QString path = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/%1.png").arg(size);
    if (size < 16 || !glowreel::ProgramIconImage(size).save(path, "PNG")) return 1;
  }
  return 0;
}
