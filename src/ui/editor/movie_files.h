#pragma once

#include <QStringList>
#include <QWidget>
#include <string>

// The editor's files: the dialogs that name them and the list of recent ones.
namespace glowreel {

QString AskOpenMovie(QWidget* parent, const QString& folder);
// A name to save to; one typed without an extension gets `extension` (".grm", ".gif").
QString AskSaveName(QWidget* parent, const QString& title, const QString& current,
                    const QString& filter, const QString& extension);
QStringList AskPictures(QWidget* parent);
// A path as the file system spells it.
std::string FileName(const QString& path);

// The files opened or saved last, newest first, kept in the user's settings.
class RecentFiles {
 public:
  QStringList List() const;
  void Remember(const QString& path);
};

}  // namespace glowreel
