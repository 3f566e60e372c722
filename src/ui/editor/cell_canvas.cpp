#include "ui/editor/cell_canvas.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "dots/pixel_font.h"

namespace glowreel {

namespace {

constexpr int kDotsAcross = 7, kDotsDown = 8;  // a cell's pitch in the display's dots
constexpr double kNaturalDot = 5, kSmallestDot = 1, kLargestDot = 40;
const QColor kLitColour(0x40, 0xFF, 0x90);
const QColor kUnlitColour(0x10, 0x1C, 0x14);
const QColor kOnionBefore(0x40, 0xFF, 0x90);
const QColor kOnionAfter(0x50, 0x90, 0xFF);
const int kOnionAlpha[] = {0x48, 0x28, 0x14};  // fading with distance
const QColor kMark(0xFF, 0x50, 0x40);
const QColor kSelection(0xFF, 0xD0, 0x40);

const char* const kWhat[] = {"Draw",           "Line", "Rectangle", "Filled Rectangle",
                             "Move Selection", "Text"};

}  // namespace

CellCanvas::CellCanvas() {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
}

QSize CellCanvas::sizeHint() const {
  return {static_cast<int>(kCellColumns * kDotsAcross * kNaturalDot),
          static_cast<int>(kCellRows * kDotsDown * kNaturalDot)};
}

QSize CellCanvas::minimumSizeHint() const {
  const double dot = zoom_ > 0 ? zoom_ : kSmallestDot * 2;
  return {static_cast<int>(kCellColumns * kDotsAcross * dot),
          static_cast<int>(kCellRows * kDotsDown * dot)};
}

double CellCanvas::DotSize() const {
  if (zoom_ > 0) return zoom_;
  return std::max(kSmallestDot, std::min(width() / double(kCellColumns * kDotsAcross),
                                         height() / double(kCellRows * kDotsDown)));
}

void CellCanvas::ZoomBy(double factor) {
  zoom_ = std::clamp(DotSize() * factor, kSmallestDot, kLargestDot);
  updateGeometry();
  update();
}

void CellCanvas::ZoomToFit() {
  zoom_ = 0;
  updateGeometry();
  update();
}

QSize CellCanvas::CellSize() const {
  const double dot = DotSize();
  return {std::max(2, static_cast<int>(dot * kDotsAcross)),
          std::max(2, static_cast<int>(dot * kDotsDown))};
}

QPoint CellCanvas::Origin() const {
  const QSize cell = CellSize();
  return {std::max(0, (width() - cell.width() * kCellColumns) / 2),
          std::max(0, (height() - cell.height() * kCellRows) / 2)};
}

QPoint CellCanvas::CellCentre(int x, int y) const {
  const QSize cell = CellSize();
  return Origin() +
         QPoint(x * cell.width() + cell.width() / 2, y * cell.height() + cell.height() / 2);
}

void CellCanvas::Show(const Cells& cells, std::vector<Cells> before, std::vector<Cells> after,
                      const std::vector<std::pair<int, int>>& marked) {
  // Other cells than the canvas's own last change: an undo, another frame. A lifted selection is
  // put down, and a drag under way ends with what is shown now.
  if (cells != cells_ && lifted_) {
    lifted_.reset();
    selection_ = OnFrame(*selection_);
  }
  cells_ = cells;
  before_ = std::move(before);
  after_ = std::move(after);
  marked_ = marked;
  anchor_.reset();
  moving_ = false;
  update();
}

void CellCanvas::SetTool(CanvasTool tool) {
  tool_ = tool;
  if (anchor_) cells_ = base_;  // a drag under way is dropped
  anchor_.reset();
  moving_ = false;
  textAt_.reset();
  if (tool != CanvasTool::kSelect) Select(std::nullopt);
  setCursor(tool == CanvasTool::kText ? Qt::IBeamCursor : Qt::CrossCursor);
  update();
}

std::optional<CellRect> CellCanvas::Selection() const {
  return selection_ ? OnFrame(*selection_) : std::nullopt;
}

void CellCanvas::Select(const std::optional<CellRect>& area) {
  selection_ = area ? OnFrame(*area) : std::nullopt;
  lifted_.reset();
  if (anchor_) cells_ = base_;  // a drag under way is dropped
  anchor_.reset();
  moving_ = false;
  update();
}

std::optional<QPoint> CellCanvas::CellAt(QPointF position, bool nearest) const {
  const QSize cell = CellSize();
  const QPointF p = position - Origin();
  int x = static_cast<int>(std::floor(p.x() / cell.width()));
  int y = static_cast<int>(std::floor(p.y() / cell.height()));
  if (nearest) return QPoint(std::clamp(x, 0, kCellColumns - 1), std::clamp(y, 0, kCellRows - 1));
  if (x < 0 || y < 0 || x >= kCellColumns || y >= kCellRows) return {};
  return QPoint(x, y);
}

void CellCanvas::Set(QPoint cell, bool lit) {
  if (cells_[cell.x()][cell.y()] == lit) return;
  cells_[cell.x()][cell.y()] = lit;
  update();
  emit Painted(cells_, stroke_, tr("Draw"));
}

void CellCanvas::mousePressEvent(QMouseEvent* event) {
  const auto cell = CellAt(event->position());
  if (!cell || event->button() != Qt::LeftButton) return;
  ++stroke_;
  cursor_ = *cell;
  paintValue_ = !cells_[cell->x()][cell->y()];
  switch (tool_) {
    case CanvasTool::kPen:
      return Set(*cell, paintValue_);
    case CanvasTool::kText:
      textAt_ = *cell;
      return update();
    case CanvasTool::kSelect:
      moving_ = selection_ && selection_->Contains(cell->x(), cell->y());
      if (!moving_) Select(CellRect{cell->x(), cell->y(), 1, 1});
      if (moving_ && !lifted_) {
        const CellRect on = *OnFrame(*selection_);
        lifted_ = Lifted{Cleared(cells_, on), cells_, on};
      }
      if (moving_) movedFrom_ = QPoint(selection_->x, selection_->y);
      [[fallthrough]];
    default:
      anchor_ = *cell;
      base_ = cells_;
      DragTo(*cell);
  }
}

void CellCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  if (tool_ != CanvasTool::kPen) {
    if (anchor_) DragTo(*CellAt(event->position(), /*nearest=*/true));
    return;
  }
  const auto cell = CellAt(event->position());
  if (!cell) return;
  // A quick drag skips cells between two events: paint the line between them.
  const Cells painted =
      WithLine(cells_, cursor_.x(), cursor_.y(), cell->x(), cell->y(), paintValue_);
  cursor_ = *cell;
  if (painted == cells_) return;
  cells_ = painted;
  update();
  emit Painted(cells_, stroke_, tr("Draw"));
}

// The shape or the moved selection as it stands with the pointer at `cell`; not yet a step.
void CellCanvas::DragTo(QPoint cell) {
  const QPoint from = *anchor_;
  switch (tool_) {
    case CanvasTool::kLine:
      cells_ = WithLine(base_, from.x(), from.y(), cell.x(), cell.y(), paintValue_);
      break;
    case CanvasTool::kRectangle:
    case CanvasTool::kFilledRectangle:
      cells_ = WithRectangle(base_, Spanning(from.x(), from.y(), cell.x(), cell.y()),
                             tool_ == CanvasTool::kFilledRectangle, paintValue_);
      break;
    case CanvasTool::kSelect:
      if (!moving_) {
        selection_ = Spanning(from.x(), from.y(), cell.x(), cell.y());
      } else {
        // Past the edges as far as one cell of it stays on the frame.
        const int x = std::clamp(movedFrom_.x() + cell.x() - from.x(), 1 - selection_->width,
                                 kCellColumns - 1);
        const int y =
            std::clamp(movedFrom_.y() + cell.y() - from.y(), 1 - selection_->height, kCellRows - 1);
        selection_ = CellRect{x, y, selection_->width, selection_->height};
        cells_ = Stamped(lifted_->under, lifted_->block, lifted_->from, x, y);
      }
      break;
    default:
      break;
  }
  cursor_ = cell;
  update();
}

void CellCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !anchor_) return;
  anchor_.reset();
  if (tool_ == CanvasTool::kSelect) {
    if (!moving_) return;
    moving_ = false;
  }
  if (cells_ != base_) emit Painted(cells_, stroke_, tr(kWhat[static_cast<int>(tool_)]));
  update();
}

void CellCanvas::Type(const QString& text) {
  for (const char32_t character : text.toUcs4()) {
    if (textAt_->x() + kGlyphWidth > kCellColumns) {
      emit Told(tr("No room for another letter on this row: %1 cells across hold three.")
                    .arg(kCellColumns));
      break;
    }
    cells_ = Lettered(cells_, textAt_->x(), textAt_->y(), character);
    textAt_->rx() += kGlyphPitchX;  // the font's pitch, a cell a dot
  }
  update();
  emit Painted(cells_, stroke_, tr("Text"));  // a word typed is one step
}

bool CellCanvas::event(QEvent* event) {
  // While typing, letters are text, not the menus' shortcuts.
  if (event->type() == QEvent::ShortcutOverride && tool_ == CanvasTool::kText && textAt_) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (!key->text().isEmpty() && key->text().at(0).isPrint() &&
        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      event->accept();
      return true;
    }
  }
  return QWidget::event(event);
}

void CellCanvas::keyPressEvent(QKeyEvent* event) {
  if (tool_ == CanvasTool::kText && textAt_) {
    if (event->key() == Qt::Key_Backspace) {
      if (textAt_->x() < kGlyphPitchX) return;
      textAt_->rx() -= kGlyphPitchX;
      cells_ = WithRectangle(cells_, {textAt_->x(), textAt_->y(), kGlyphWidth, kGlyphHeight}, true,
                             false);
      update();
      return emit Painted(cells_, stroke_, tr("Text"));
    }
    if (event->key() == Qt::Key_Escape) {
      textAt_.reset();
      return update();
    }
    if (!event->text().isEmpty() && event->text().at(0).isPrint()) return Type(event->text());
  }
  if (event->key() == Qt::Key_Escape && selection_) return Select(std::nullopt);
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

void CellCanvas::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) return QWidget::wheelEvent(event);
  const QPoint at = event->position().toPoint();
  const QPointF dot = QPointF(at - Origin()) / DotSize();
  ZoomBy(event->angleDelta().y() > 0 ? 1.25 : 0.8);
  emit ZoomedAbout(dot, at);
  event->accept();
}

// The caret shows only where typing goes.
void CellCanvas::focusOutEvent(QFocusEvent* event) {
  if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
    textAt_.reset();
  QWidget::focusOutEvent(event);
}

void CellCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  const QSize size = CellSize();
  const QPoint origin = Origin();
  const int gap = std::max(1, size.width() / 9);
  const auto box = [&](int x, int y, int inset) {
    return QRect(origin.x() + x * size.width() + inset, origin.y() + y * size.height() + inset,
                 size.width() - 2 * inset, size.height() - 2 * inset);
  };
  for (int x = 0; x < kCellColumns; ++x) {
    for (int y = 0; y < kCellRows; ++y) {
      const QRect block = box(x, y, gap / 2);
      painter.fillRect(block, cells_[x][y] ? kLitColour : kUnlitColour);
      if (cells_[x][y]) continue;
      for (const auto& [frames, colour] :
           {std::pair(&before_, kOnionBefore), std::pair(&after_, kOnionAfter)})
        for (std::size_t k = 0; k < frames->size() && k < std::size(kOnionAlpha); ++k)
          if ((*frames)[k][x][y]) {
            QColor faint = colour;
            faint.setAlpha(kOnionAlpha[k]);
            painter.fillRect(block, faint);
            break;  // the nearest frame lit there gives the shade
          }
    }
  }
  painter.setPen(QPen(kMark, 3));
  for (const auto& [x, y] : marked_) painter.drawRect(box(x, y, 2));
  if (selection_) {
    painter.setPen(QPen(kSelection, 2, Qt::DashLine));
    painter.drawRect(
        QRect(box(selection_->x, selection_->y, 0).topLeft(),
              box(selection_->x + selection_->width - 1, selection_->y + selection_->height - 1, 0)
                  .bottomRight()));
  }
  if (textAt_) {
    painter.setPen(QPen(Qt::white, 2));
    const QRect at = box(textAt_->x(), textAt_->y(), 0);
    painter.drawLine(at.topLeft(), at.topLeft() + QPoint(0, size.height() * (kDotsDown - 1)));
  } else if (hasFocus()) {
    painter.setPen(QPen(Qt::white, 2, Qt::DashLine));
    painter.drawRect(box(cursor_.x(), cursor_.y(), 1));
  }
}

}  // namespace glowreel
