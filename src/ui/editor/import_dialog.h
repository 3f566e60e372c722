#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QSpinBox>

#include "authoring/picture_cells.h"

namespace glowreel {

// The converter's options for pictures being imported, with the cells the first picture gives
// under them, shown as they change.
class ImportDialog : public QDialog {
  Q_OBJECT

 public:
  ImportDialog(const QStringList& pictures, QWidget* parent);

  CellOptions Options() const;
  FrameDurations Durations() const;
  // The cells the preview shows.
  const Cells& Preview() const { return preview_; }

  QComboBox* fit;
  QSpinBox* threshold;
  QCheckBox* invert;
  QCheckBox* dither;
  QCheckBox* ownDelays;
  QSpinBox* duration;

 private:
  void UpdatePreview();

  QImage first_;
  QLabel* look_;
  Cells preview_{};
};

}  // namespace glowreel
