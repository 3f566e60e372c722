#include "ui/editor/movie_files.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace glowreel {

namespace {
constexpr int kRecentFiles = 8;
}  // namespace

std::string FileName(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString AskOpenMovie(QWidget* parent, const QString& folder) {
  return QFileDialog::getOpenFileName(parent, QObject::tr("Open Movie"), folder,
                                      QObject::tr("GlowReel movies (*.grm);;All files (*)"));
}

QString AskSaveName(QWidget* parent, const QString& title, const QString& current,
                    const QString& filter, const QString& extension) {
  QString path = QFileDialog::getSaveFileName(parent, title, current, filter);
  if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += extension;
  return path;
}

QStringList AskPictures(QWidget* parent) {
  return QFileDialog::getOpenFileNames(
      parent, QObject::tr("Import Pictures"), QString(),
      QObject::tr("Pictures (*.png *.gif *.bmp *.jpg *.jpeg *.pbm *.pgm *.ppm);;All files (*)"));
}

QStringList RecentFiles::List() const {
  return QSettings().value("recent").toStringList();
}

void RecentFiles::Remember(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QStringList recent = List();
  recent.removeAll(absolute);
  recent.prepend(absolute);
  QSettings().setValue("recent", recent.mid(0, kRecentFiles));
}

}  // namespace glowreel
