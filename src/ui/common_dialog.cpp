#include "ui/common_dialog.h"

#include <QFileDialog>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>

#include "platform/run_time_error.h"

namespace glowreel {

namespace {
CommonDialog::Script& ScriptSlot() {
  static CommonDialog::Script script;
  return script;
}
}  // namespace

void CommonDialog::SetScript(Script script) {
  ScriptSlot() = std::move(script);
}

QStringList CommonDialog::NameFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    // On Linux "*.*" would miss names without a dot. The pattern goes in a trailing group that
    // the dialog hides, so the description shows as written.
    const QString pattern =
        parts[i + 1] == QLatin1String("*.*") ? QStringLiteral("*") : parts[i + 1];
    filters << parts[i] + QStringLiteral(" (") + pattern + QStringLiteral(")");
  }
  return filters;
}

void CommonDialog::ShowOpen() {
  if (ScriptSlot()) {
    ScriptSlot()(*this);
  } else {
    // Qt's dialog keeps its history and last folder in the user's settings; this program keeps
    // nothing between uses or runs, so those settings go where they cannot be written.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    const auto restore = qScopeGuard([] {
      QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                         QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    });
    // Qt's own dialog, not the desktop's: it behaves the same everywhere and takes a typed path,
    // also of a file that does not exist (playing it then reports it missing).
    QFileDialog dialog(nullptr, DialogTitle, InitDir);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(NameFilters(Filter));
    dialog.setWindowModality(Qt::ApplicationModal);
    if (!FileName.isEmpty()) dialog.selectFile(FileName);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    FileName = chosen ? dialog.selectedFiles().constFirst() : QString();
  }
  if (FileName.isEmpty() && CancelError) throw RunTimeError(kErrDialogCancelled);
}

}  // namespace glowreel
