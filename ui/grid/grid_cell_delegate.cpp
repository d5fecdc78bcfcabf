#include "ui/grid/grid_cell_delegate.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "setup/setup_grid.h"
#include "ui/grid/setup_grid_model.h"

namespace vemo::ui {
namespace {

bool IsType(const QModelIndex& index, setup::CellType type) {
  return index.data(kCellTypeRole).toInt() == static_cast<int>(type);
}

// Where the check box of a cell is drawn: centred or at the left, as the
// cell's alignment says.
QRect CheckBoxRect(const QStyleOptionViewItem& option, const QModelIndex& index) {
  const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
  const QSize box(style->pixelMetric(QStyle::PM_IndicatorWidth, &option, option.widget),
                  style->pixelMetric(QStyle::PM_IndicatorHeight, &option, option.widget));
  const auto alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, option.widget) + 1;
  QRect rect(QPoint(0, 0), box);
  rect.moveCenter(option.rect.center());
  if (!(alignment & Qt::AlignHCenter)) rect.moveLeft(option.rect.left() + margin);
  return rect;
}

void Toggle(QAbstractItemModel* model, const QModelIndex& index) {
  const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
  model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

}  // namespace

QWidget* GridCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (!IsType(index, setup::CellType::DropDownList)) return QStyledItemDelegate::createEditor(parent, option, index);
  auto* combo = new QComboBox(parent);
  combo->addItems(index.data(kDropDownItemsRole).toStringList());
  // A choice from the list is the change: commit it without waiting for
  // the focus to leave.
  auto* self = const_cast<GridCellDelegate*>(this);  // the signals are not const; the delegate itself is unchanged
  connect(combo, &QComboBox::activated, self, [self, combo] {
    emit self->commitData(combo);
    emit self->closeEditor(combo);
  });
  return combo;
}

void GridCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    combo->setCurrentIndex(combo->findText(index.data(Qt::EditRole).toString()));
    return;
  }
  QStyledItemDelegate::setEditorData(editor, index);
}

void GridCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    if (combo->currentIndex() >= 0) model->setData(index, combo->currentText(), Qt::EditRole);
    return;
  }
  QStyledItemDelegate::setModelData(editor, model, index);
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (!IsType(index, setup::CellType::CheckBox)) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  QStyleOptionViewItem cell = option;
  initStyleOption(&cell, index);
  cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;  // drawn below, where the cell wants it
  cell.text.clear();
  const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, option.widget);
  QStyleOptionViewItem box = option;
  box.rect = CheckBoxRect(option, index);
  box.state = (option.state & ~QStyle::State_HasFocus) |
              (index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
  if (!(index.flags() & Qt::ItemIsUserCheckable)) box.state &= ~QStyle::State_Enabled;
  style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, option.widget);
}

bool GridCellDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) {
  if (!IsType(index, setup::CellType::CheckBox) || !(index.flags() & Qt::ItemIsUserCheckable))
    return QStyledItemDelegate::editorEvent(event, model, option, index);
  switch (event->type()) {
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton || !option.rect.contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
        return false;
      Toggle(model, index);
      return true;
    case QEvent::MouseButtonDblClick: return true;  // two clicks toggle twice, not open an editor
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Space && static_cast<QKeyEvent*>(event)->key() != Qt::Key_Select)
        return false;
      Toggle(model, index);
      return true;
    default: return false;
  }
}

}  // namespace vemo::ui
