#pragma once

#include <QString>
#include <functional>

namespace glowreel {

// The open-file dialog with the settings the main window makes before each use.
class CommonDialog {
 public:
  bool CancelError = false;  // cancelling raises error 32755
  QString DialogTitle;
  QString InitDir;
  QString Filter;  // "description|pattern|description|pattern"
  QString FileName;

  // Shows the modal Open dialog; FileName receives the chosen path, or "" when cancelled.
  void ShowOpen();

  // Tests replace the dialog by a script that sets FileName (or leaves it empty).
  using Script = std::function<void(CommonDialog&)>;
  static void SetScript(Script script);

  // Qt's name filters for a Filter string; "*.*" means every file.
  static QStringList NameFilters(const QString& filter);
};

}  // namespace glowreel
