#pragma once

#include <QWidget>
#include <utility>
#include <vector>

#include "authoring/picture_cells.h"

namespace glowreel {

// The 18 x 8 cells of one frame, large. A click toggles a cell; dragging paints the value the
// first cell touched took; arrows move a cursor and Space toggles the cell under it. The frame
// before shows faintly under this one (onion skin); cells the player would report are marked.
class CellCanvas : public QWidget {
  Q_OBJECT

 public:
  CellCanvas();

  void Show(const Cells& cells, const Cells* before,
            const std::vector<std::pair<int, int>>& marked);
  const Cells& Shown() const { return cells_; }
  // Where the cell's middle is, for tests and tools.
  static QPoint CellCentre(int x, int y);

  QSize sizeHint() const override;

 signals:
  // The cells after a change; changes of one drag share a stroke number.
  void Painted(const Cells& cells, int stroke);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::optional<QPoint> CellAt(QPointF position) const;
  void Set(QPoint cell, bool lit);

  Cells cells_{};
  Cells before_{};
  bool showBefore_ = false;
  std::vector<std::pair<int, int>> marked_;
  QPoint cursor_{0, 0};
  bool paintValue_ = true;
  int stroke_ = 0;
};

}  // namespace glowreel
