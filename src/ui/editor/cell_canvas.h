#pragma once

#include <QWidget>
#include <optional>
#include <utility>
#include <vector>

#include "authoring/cell_edits.h"
#include "authoring/picture_cells.h"

namespace glowreel {

// What a press on the canvas does.
enum class CanvasTool { kPen, kLine, kRectangle, kFilledRectangle, kSelect, kText };

// The 18 x 8 cells of one frame, as large as the window lets them be or zoomed. With the pen a
// click toggles a cell and dragging paints the value the first cell touched took; lines and
// rectangles are drawn from the press to the release; a selection is dragged out, and dragged
// from inside to move what it holds; text is typed where clicked. Arrows move a cursor and Space
// toggles the cell under it. The frames before and after show faintly (onion skin); cells the
// player would report are marked.
class CellCanvas : public QWidget {
  Q_OBJECT

 public:
  CellCanvas();

  void Show(const Cells& cells, const Cells* before, const Cells* after,
            const std::vector<std::pair<int, int>>& marked);
  const Cells& Shown() const { return cells_; }
  // Where the cell's middle is, for tests and tools.
  QPoint CellCentre(int x, int y) const;

  void SetTool(CanvasTool tool);
  const std::optional<CellRect>& Selection() const { return selection_; }
  void Select(const std::optional<CellRect>& area);
  // A factor of the cells' natural size, or the size that fits the canvas's place.
  void ZoomBy(double factor);
  void ZoomToFit();
  double DotSize() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // The cells after a change, one undo step each; changes of one drag share a stroke number.
  void Painted(const Cells& cells, int stroke, const QString& what);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QPoint Origin() const;
  QSize CellSize() const;
  std::optional<QPoint> CellAt(QPointF position, bool nearest = false) const;
  void Set(QPoint cell, bool lit);
  void DragTo(QPoint cell);
  void Type(const QString& text);

  Cells cells_{};
  Cells before_{}, after_{};
  bool showBefore_ = false, showAfter_ = false;
  std::vector<std::pair<int, int>> marked_;
  CanvasTool tool_ = CanvasTool::kPen;
  QPoint cursor_{0, 0};
  bool paintValue_ = true;
  int stroke_ = 0;
  // A drag of a shape or selection: where it started and the cells before it.
  std::optional<QPoint> anchor_;
  Cells base_{};
  bool moving_ = false;
  std::optional<CellRect> selection_;
  std::optional<QPoint> textAt_;
  double zoom_ = 0;  // dots' size in pixels; 0 fits the place
};

}  // namespace glowreel
