// Writes the program icon as PNG files for the desktop: write_icons DIR -> DIR/16.png, DIR/32.png
#include <QImage>
#include <QString>

#include "ui/program_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  for (const int size : {16, 32}) {
    const QString path = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/%1.png").arg(size);
    if (!glowreel::ProgramIconImage(size).save(path, "PNG")) return 1;
  }
  return 0;
}
