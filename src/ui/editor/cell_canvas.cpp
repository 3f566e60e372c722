#include "ui/editor/cell_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace glowreel {

namespace {

constexpr int kCellWidth = 35, kCellHeight = 40;  // the 7 x 8 dots of a cell, five times over
constexpr int kGap = 4;
const QColor kLitColour(0x40, 0xFF, 0x90);
const QColor kUnlitColour(0x10, 0x1C, 0x14);
const QColor kOnion(0x40, 0xFF, 0x90, 0x48);
const QColor kMark(0xFF, 0x50, 0x40);

}  // namespace

CellCanvas::CellCanvas() {
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(sizeHint());
}

QSize CellCanvas::sizeHint() const {
  return {kCellColumns * kCellWidth, kCellRows * kCellHeight};
}

QPoint CellCanvas::CellCentre(int x, int y) {
  return {x * kCellWidth + kCellWidth / 2, y * kCellHeight + kCellHeight / 2};
}

void CellCanvas::Show(const Cells& cells, const Cells* before,
                      const std::vector<std::pair<int, int>>& marked) {
  cells_ = cells;
  showBefore_ = before != nullptr;
  if (before) before_ = *before;
  marked_ = marked;
  update();
}

std::optional<QPoint> CellCanvas::CellAt(QPointF position) const {
  const int x = static_cast<int>(position.x()) / kCellWidth;
  const int y = static_cast<int>(position.y()) / kCellHeight;
  if (position.x() < 0 || position.y() < 0 || x >= kCellColumns || y >= kCellRows) return {};
  return QPoint(x, y);
}

void CellCanvas::Set(QPoint cell, bool lit) {
  if (cells_[cell.x()][cell.y()] == lit) return;
  cells_[cell.x()][cell.y()] = lit;
  update();
  emit Painted(cells_, stroke_);
}

void CellCanvas::mousePressEvent(QMouseEvent* event) {
  const auto cell = CellAt(event->position());
  if (!cell || event->button() != Qt::LeftButton) return;
  ++stroke_;
  cursor_ = *cell;
  paintValue_ = !cells_[cell->x()][cell->y()];
  Set(*cell, paintValue_);
}

void CellCanvas::mouseMoveEvent(QMouseEvent* event) {
  const auto cell = CellAt(event->position());
  if (!cell || !(event->buttons() & Qt::LeftButton)) return;
  // A quick drag skips cells between two events: paint the line between them.
  const QPoint from = cursor_, to = *cell;
  const int steps = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
  for (int k = 1; k <= steps; ++k) {
    Set(QPoint(from.x() + (to.x() - from.x()) * k / steps,
               from.y() + (to.y() - from.y()) * k / steps),
        paintValue_);
  }
  cursor_ = to;
}

void CellCanvas::keyPressEvent(QKeyEvent* event) {
  const QPoint step = event->key() == Qt::Key_Left    ? QPoint(-1, 0)
                      : event->key() == Qt::Key_Right ? QPoint(1, 0)
                      : event->key() == Qt::Key_Up    ? QPoint(0, -1)
                      : event->key() == Qt::Key_Down  ? QPoint(0, 1)
                                                      : QPoint();
  if (!step.isNull()) {
    cursor_ = QPoint(std::clamp(cursor_.x() + step.x(), 0, kCellColumns - 1),
                     std::clamp(cursor_.y() + step.y(), 0, kCellRows - 1));
    update();
  } else if (event->key() == Qt::Key_Space) {
    ++stroke_;
    Set(cursor_, !cells_[cursor_.x()][cursor_.y()]);
  } else {
    QWidget::keyPressEvent(event);
  }
}

void CellCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  for (int x = 0; x < kCellColumns; ++x) {
    for (int y = 0; y < kCellRows; ++y) {
      const QRect block(x * kCellWidth + kGap / 2, y * kCellHeight + kGap / 2, kCellWidth - kGap,
                        kCellHeight - kGap);
      painter.fillRect(block, cells_[x][y] ? kLitColour : kUnlitColour);
      if (!cells_[x][y] && showBefore_ && before_[x][y]) painter.fillRect(block, kOnion);
    }
  }
  painter.setPen(QPen(kMark, 3));
  for (const auto& [x, y] : marked_)
    painter.drawRect(x * kCellWidth + 2, y * kCellHeight + 2, kCellWidth - 4, kCellHeight - 4);
  if (hasFocus()) {
    painter.setPen(QPen(Qt::white, 2, Qt::DashLine));
    painter.drawRect(cursor_.x() * kCellWidth + 1, cursor_.y() * kCellHeight + 1, kCellWidth - 2,
                     kCellHeight - 2);
  }
}

}  // namespace glowreel
