#include "ui/editor/frame_strip.h"

#include <QTimer>

namespace glowreel {

namespace {
const QSize kThumbnail(132, 68);
}  // namespace

FrameStrip::FrameStrip() {
  setIconSize(kThumbnail);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setDragDropMode(QAbstractItemView::InternalMove);
  setMinimumWidth(kThumbnail.width() + 80);
  connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) emit FrameChosen(row);
  });
  connect(model(), &QAbstractItemModel::rowsMoved, this,
          [this](const QModelIndex&, int from, int, const QModelIndex&, int to) {
            // `to` counts the rows before the moved one left its place. Told later: the strip
            // is still busy with its drop.
            const int at = to > from ? to - 1 : to;
            QTimer::singleShot(0, this, [this, from, at] { emit FrameMoved(from, at); });
          });
}

void FrameStrip::Fill(const MovieDocument& document, int current) {
  const QSignalBlocker quiet(this);
  clear();
  for (int k = 0; k < document.FrameCount(); ++k) {
    const QImage look = CellsLook(document.LitCells(k))
                            .scaled(kThumbnail, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    addItem(new QListWidgetItem(QIcon(QPixmap::fromImage(look)),
                                tr("%1\n%2 ms").arg(k + 1).arg(document.Looks()[k].duration)));
  }
  if (document.FrameCount() > 0) setCurrentRow(current);
}

void FrameStrip::Choose(int frame) {
  const QSignalBlocker quiet(this);
  setCurrentRow(frame);
}

std::vector<int> FrameStrip::Chosen(int current) const {
  std::vector<int> frames;
  for (const QModelIndex& index : selectionModel()->selectedRows()) frames.push_back(index.row());
  if (std::find(frames.begin(), frames.end(), current) == frames.end()) frames.push_back(current);
  return frames;
}

}  // namespace glowreel
