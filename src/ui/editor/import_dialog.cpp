#include "ui/editor/import_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QImageReader>

#include <QPixmap>
#include "platform/qt/qt_pictures.h"

namespace glowreel {

namespace {
constexpr int32_t kStillDuration = 100;
}  // namespace

ImportDialog::ImportDialog(const QStringList& pictures, QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Import Pictures"));
  fit = new QComboBox;
  fit->addItem(tr("Contain"), QVariant::fromValue(static_cast<int>(Fit::kContain)));
  fit->addItem(tr("Cover"), QVariant::fromValue(static_cast<int>(Fit::kCover)));
  fit->addItem(tr("Stretch"), QVariant::fromValue(static_cast<int>(Fit::kStretch)));
  threshold = new QSpinBox;
  threshold->setRange(0, 100);
  threshold->setValue(CellOptions{}.threshold);
  threshold->setSuffix(tr(" %"));
  invert = new QCheckBox(tr("Light the dark parts"));
  dither = new QCheckBox(tr("Dither"));
  ownDelays = new QCheckBox(tr("An animated GIF keeps its own delays"));
  ownDelays->setChecked(true);
  duration = new QSpinBox;
  duration->setRange(INT32_MIN, INT32_MAX);
  duration->setValue(kStillDuration);
  duration->setSuffix(tr(" ms"));
  look_ = new QLabel;
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* form = new QFormLayout(this);
  form->addRow(look_);
  form->addRow(tr("Fit:"), fit);
  form->addRow(tr("Threshold:"), threshold);
  form->addRow(invert);
  form->addRow(dither);
  form->addRow(tr("Duration:"), duration);
  form->addRow(ownDelays);
  form->addRow(buttons);

  if (!pictures.isEmpty())
    first_ = PictureFile(QFile::encodeName(pictures.front()).toStdString()).reader().read();
  connect(fit, &QComboBox::currentIndexChanged, this, &ImportDialog::UpdatePreview);
  connect(threshold, &QSpinBox::valueChanged, this, &ImportDialog::UpdatePreview);
  connect(invert, &QCheckBox::toggled, this, &ImportDialog::UpdatePreview);
  connect(dither, &QCheckBox::toggled, this, &ImportDialog::UpdatePreview);
  UpdatePreview();
}

CellOptions ImportDialog::Options() const {
  return {static_cast<Fit>(fit->currentData().toInt()), threshold->value(), invert->isChecked(),
          dither->isChecked()};
}

FrameDurations ImportDialog::Durations() const {
  return {ownDelays->isChecked() ? std::nullopt : std::optional<int32_t>(duration->value()),
          duration->value()};
}

void ImportDialog::UpdatePreview() {
  if (first_.isNull()) return;
  preview_ = CellsOfPicture(first_, Options());
  look_->setPixmap(QPixmap::fromImage(CellsLook(preview_)));
}

}  // namespace glowreel
