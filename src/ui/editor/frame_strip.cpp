#include "ui/editor/frame_strip.h"

#include <QAbstractListModel>
#include <QCache>
#include <QDropEvent>
#include <QKeyEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <QTimer>

namespace glowreel {

namespace {

const QSize kThumbnail(132, 68);

QString CommentText(const DocFrame& frame) {
  QStringList lines;
  for (const std::string& line : frame.before) lines << QString::fromStdString(line);
  return lines.join('\n');
}

// The document's frames as rows; thumbnails are drawn when a row comes into view and kept
// until its frame changes.
class FrameList : public QAbstractListModel {
 public:
  FrameList(MovieDocument& document, FrameStrip& strip)
      : QAbstractListModel(&strip),
        document_(document),
        strip_(strip),
        rows_(document.FrameCount()) {
    connect(&document, &MovieDocument::Changed, this, &FrameList::Follow);
  }

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }

  QVariant data(const QModelIndex& index, int role) const override {
    const int k = index.row();
    if (!index.isValid() || k >= document_.FrameCount()) return {};
    switch (role) {
      case Qt::DisplayRole: {
        // The frame's number and when it comes on: a time ruler down the strip.
        QString text = FrameStrip::tr("%1   at %2\n%3 ms")
                           .arg(k + 1)
                           .arg(ClockText(document_.StartMs(k)))
                           .arg(document_.Duration(k));
        const QString comment = CommentText(document_.Frames()[k]).trimmed();
        if (!comment.isEmpty()) text += "\n" + comment.section('\n', 0, 0);
        return text;
      }
      case Qt::EditRole:
        return CommentText(document_.Frames()[k]);
      case Qt::ToolTipRole:
        return CommentText(document_.Frames()[k]).trimmed();
      case Qt::DecorationRole:
        if (!thumbnails_.contains(k))
          thumbnails_.insert(
              k, new QPixmap(QPixmap::fromImage(
                     CellsLook(document_.LitCells(k))
                         .scaled(kThumbnail, Qt::KeepAspectRatio, Qt::SmoothTransformation))));
        return *thumbnails_.object(k);
      default:
        return {};
    }
  }

  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::EditRole || !index.isValid() || value.toString() == data(index, role))
      return false;
    std::vector<std::string> lines;
    const QString text = value.toString();
    if (!text.isEmpty())
      for (const QString& line : text.split('\n')) lines.push_back(line.toStdString());
    document_.SetComment(index.row(), lines);
    return true;
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemIsEditable;
  }
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }

  // A drop: the frame goes before `destination`, counted before it left its place.
  bool moveRows(const QModelIndex&, int source, int count, const QModelIndex&,
                int destination) override {
    if (count != 1 || source < 0 || destination == source || destination == source + 1)
      return false;
    const int to = destination > source ? destination - 1 : destination;
    // Told later: the view is still busy with its drop.
    QTimer::singleShot(0, &strip_, [this, source, to] { emit strip_.FrameMoved(source, to); });
    return true;
  }

 private:
  void Follow(int at, int removed, int inserted) {
    for (int k : thumbnails_.keys())
      if (k >= at) thumbnails_.remove(k);
    if (removed != inserted) {
      if (removed > 0) {
        beginRemoveRows({}, at, at + removed - 1);
        rows_ -= removed;
        endRemoveRows();
      }
      if (inserted > 0) {
        beginInsertRows({}, at, at + inserted - 1);
        rows_ += inserted;
        endInsertRows();
      }
    }
    // Numbers, and durations carried over, change after the frames replaced.
    if (rows_ > at) emit dataChanged(index(at), index(rows_ - 1));
  }

  MovieDocument& document_;
  FrameStrip& strip_;
  int rows_;
  mutable QCache<int, QPixmap> thumbnails_{256};
};

// Comments take several lines, Shift+Enter between them. Enter, Tab and Escape finish; what was
// typed is kept (Undo takes it back), and no tab goes into the file.
class CommentEditor : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    auto* editor = new QPlainTextEdit(parent);
    editor->setPlaceholderText(FrameStrip::tr("Comment (Shift+Enter: a new line)"));
    editor->setTabChangesFocus(true);
    return editor;
  }
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* editor = qobject_cast<QPlainTextEdit*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                         !(key->modifiers() & Qt::ShiftModifier);
      if (enter || key->key() == Qt::Key_Escape || key->key() == Qt::Key_Tab ||
          key->key() == Qt::Key_Backtab) {
        emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        return true;
      }
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    static_cast<QPlainTextEdit*>(editor)->setPlainText(index.data(Qt::EditRole).toString());
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    model->setData(index, static_cast<QPlainTextEdit*>(editor)->toPlainText(), Qt::EditRole);
  }
};

}  // namespace

QString ClockText(int64_t ms) {
  return QStringLiteral("%1:%2.%3")
      .arg(ms / 60000)
      .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
      .arg(ms / 10 % 100, 2, 10, QLatin1Char('0'));
}

FrameStrip::FrameStrip(MovieDocument& document) {
  setModel(new FrameList(document, *this));
  setItemDelegate(new CommentEditor(this));
  setIconSize(kThumbnail);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setDragDropMode(QAbstractItemView::InternalMove);
  // A comment is edited on F2 (or Frame, Comment), not on a double click that meant a frame.
  setEditTriggers(QAbstractItemView::EditKeyPressed);
  setMinimumWidth(kThumbnail.width() + 80);
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& index) {
            if (index.isValid() && !choosing_) emit FrameChosen(index.row());
          });
}

void FrameStrip::Choose(int frame) {
  choosing_ = true;
  selectionModel()->setCurrentIndex(model()->index(frame, 0), QItemSelectionModel::ClearAndSelect);
  choosing_ = false;
  scrollTo(currentIndex());
}

void FrameStrip::FinishEditing() {
  if (state() != EditingState) return;
  if (auto* editor = findChild<QPlainTextEdit*>()) {
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

std::vector<int> FrameStrip::Chosen(int current) const {
  std::vector<int> frames;
  for (const QModelIndex& index : selectionModel()->selectedRows()) frames.push_back(index.row());
  if (std::find(frames.begin(), frames.end(), current) == frames.end()) frames.push_back(current);
  std::sort(frames.begin(), frames.end());
  return frames;
}

void FrameStrip::dropEvent(QDropEvent* event) {
  if (event->source() != this) return event->ignore();
  const QModelIndex over = indexAt(event->position().toPoint());
  int destination = over.isValid() ? over.row() : model()->rowCount();
  if (over.isValid() && dropIndicatorPosition() == QAbstractItemView::BelowItem) ++destination;
  model()->moveRow({}, currentIndex().row(), {}, destination);
  // The frame is moved by the document; nothing is left for the drag to remove.
  event->setDropAction(Qt::CopyAction);
  event->accept();
  stopAutoScroll();
  setState(NoState);
  viewport()->update();
}

}  // namespace glowreel
