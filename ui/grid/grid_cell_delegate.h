// How the setup grid's cells look and are edited: a drop-down list cell
// edits with a combo box of its entries (a choice is committed at once), a
// check box cell shows its box alone, centred when the cell is centred, and
// toggles on a click anywhere in the cell or on the space key. Text cells
// are the standard line editor.
#pragma once
#include <QStyledItemDelegate>

namespace vemo::ui {

class GridCellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 protected:
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

}  // namespace vemo::ui
