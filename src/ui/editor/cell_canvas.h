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
// from inside to move what it holds: lifted, it keeps the cells that went past the edge until it
// is put down (another tool, selection or frame); text is typed where clicked. Arrows move a
// cursor and Space toggles the cell under it. Frames before and after show faintly, fading with
// distance (onion skin); cells the player would report are marked.
class CellCanvas : public QWidget {
  Q_OBJECT

 public:
  CellCanvas();

  // `before` and `after` are the frames around, nearest first.
  void Show(const Cells& cells, std::vector<Cells> before, std::vector<Cells> after,
            const std::vector<std::pair<int, int>>& marked);
  const Cells& Shown() const { return cells_; }
  // Where the cell's middle is, for tests and tools.
  QPoint CellCentre(int x, int y) const;

  // Another tool than Select puts the selection down and ends it.
  void SetTool(CanvasTool tool);
  // Whether keys type text: a caret stands on the cells.
  bool Typing() const { return textAt_.has_value(); }
  // The selected cells on the frame.
  std::optional<CellRect> Selection() const;
  void Select(const std::optional<CellRect>& area);
  // A factor of the cells' natural size, or the size that fits the canvas's place.
  void ZoomBy(double factor);
  void ZoomToFit();
  double DotSize() const;
  // Where the cells' top left is drawn.
  QPoint Origin() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // The cells after a change, one undo step each; changes of one drag share a stroke number.
  void Painted(const Cells& cells, int stroke, const QString& what);
  // A zoom with the wheel: the dot (in dots from the cells' top left) that was under the pointer
  // at `at`, in the canvas's coordinates before the zoom.
  void ZoomedAbout(QPointF dot, QPoint at);
  // What did not happen, in a word for the status bar.
  void Told(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QSize CellSize() const;
  std::optional<QPoint> CellAt(QPointF position, bool nearest = false) const;
  void Set(QPoint cell, bool lit);
  void DragTo(QPoint cell);
  void Type(const QString& text);

  Cells cells_{};
  std::vector<Cells> before_, after_;
  std::vector<std::pair<int, int>> marked_;
  CanvasTool tool_ = CanvasTool::kPen;
  QPoint cursor_{0, 0};
  bool paintValue_ = true;
  int stroke_ = 0;
  // A drag of a shape or selection: where it started and the cells before it.
  std::optional<QPoint> anchor_;
  Cells base_{};
  bool moving_ = false;
  // The selection, partly off the frame while lifted.
  std::optional<CellRect> selection_;
  // A lifted selection: the frame without it, the cells it holds, and where they were taken.
  struct Lifted {
    Cells under;
    Cells block;
    CellRect from;
  };
  std::optional<Lifted> lifted_;
  QPoint movedFrom_;  // the selection's top left when the move began
  std::optional<QPoint> textAt_;
  double zoom_ = 0;  // dots' size in pixels; 0 fits the place
};

}  // namespace glowreel
