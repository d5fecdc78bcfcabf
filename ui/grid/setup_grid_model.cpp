#include "ui/grid/setup_grid_model.h"

#include <QColor>
#include <QStringList>

#include "context/desktop.h"

namespace vemo::ui {
namespace {

using setup::CellType;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// "\titem1\titem2\t": every entry followed by a tab, the first one empty.
QStringList ListEntries(const std::string& items) {
  QStringList entries = Q(items).split(QLatin1Char('\t'));
  if (!entries.isEmpty() && entries.back().isEmpty()) entries.removeLast();
  return entries;
}

}  // namespace

QColor HostColor(std::uint32_t value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

SetupGridModel::SetupGridModel(setup::ScriptedGrid& cells, QObject* parent) : QAbstractTableModel(parent), cells_(cells) {}

int SetupGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cells_.RowCount(); }

int SetupGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cells_.ColumnCount(); }

QVariant SetupGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row() + 1, col = index.column() + 1;
  const CellType type = cells_.CellTypeOf(row, col);
  switch (role) {
    case Qt::DisplayRole:
      if (type == CellType::CheckBox) return {};  // the box shows the state
      return Q(cells_.CellText(row, col));
    case Qt::EditRole: return Q(cells_.CellText(row, col));
    case Qt::CheckStateRole:
      if (type != CellType::CheckBox) return {};
      return setup::CellNumber(cells_, row, col) != 0 ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(cells_.CellCentered(row, col) ? Qt::Alignment(Qt::AlignCenter)
                                                               : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::ForegroundRole:
      if (cells_.CellForeColor(row, col) == 0) return {};
      return HostColor(cells_.CellForeColor(row, col));
    case kCellTypeRole: return static_cast<int>(type);
    case kDropDownItemsRole: return ListEntries(cells_.DropDownItems(row, col));
    default: return {};
  }
}

QVariant SetupGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= cells_.ColumnCount()) return {};
  return Q(cells_.ColumnHeader(section + 1));
}

Qt::ItemFlags SetupGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  const int row = index.row() + 1, col = index.column() + 1;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (cells_.CellLocked(row, col)) return flags;
  if (cells_.CellTypeOf(row, col) == CellType::CheckBox) return flags | Qt::ItemIsUserCheckable;
  return flags | Qt::ItemIsEditable;
}

bool SetupGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid()) return false;
  const int row = index.row() + 1, col = index.column() + 1;
  const CellType type = cells_.CellTypeOf(row, col);
  try {
    if (role == Qt::CheckStateRole && type == CellType::CheckBox) {
      const bool checked = value.toInt() == Qt::Checked;
      if (checked == (setup::CellNumber(cells_, row, col) != 0)) return true;
      cells_.UserClickCheck(row, col);
    } else if (role == Qt::EditRole && type != CellType::CheckBox) {
      const std::string text = value.toString().toStdString();
      if (text == cells_.CellText(row, col)) return true;  // an editor closed without a change
      if (type == CellType::DropDownList)
        cells_.UserChooseText(row, col, text);
      else
        cells_.UserTypeText(row, col, text);
    } else {
      return false;
    }
  } catch (const std::exception& e) {
    context::CurrentDesktop().MessageBox(e.what(), context::vbCritical, std::string(context::kMessageTitle));
    AllCellsChanged();
    return false;
  }
  // The user's own cell; what the dialog changed in reaction was announced
  // by the QtSetupGrid as it happened.
  emit dataChanged(index, index);
  return true;
}

void SetupGridModel::ResizeRows(int count) {
  const int before = cells_.RowCount();
  if (count > before) {
    beginInsertRows({}, before, count - 1);
    cells_.SetRowCount(count);
    endInsertRows();
  } else if (count < before) {
    beginRemoveRows({}, count, before - 1);
    cells_.SetRowCount(count);
    endRemoveRows();
  }
}

void SetupGridModel::ResizeColumns(int count) {
  beginResetModel();
  cells_.SetColumnCount(count);
  endResetModel();
}

void SetupGridModel::RemoveRow(int row) {
  beginRemoveRows({}, row - 1, row - 1);
  cells_.DeleteRow(row);
  endRemoveRows();
}

void SetupGridModel::CellsChanged(int row1, int col1, int row2, int col2) {
  if (row2 < row1 || col2 < col1) return;
  emit dataChanged(index(row1 - 1, col1 - 1), index(row2 - 1, col2 - 1));
}

void SetupGridModel::AllCellsChanged() { CellsChanged(1, 1, cells_.RowCount(), cells_.ColumnCount()); }

void SetupGridModel::HeaderChanged(int col) { emit headerDataChanged(Qt::Horizontal, col - 1, col - 1); }

}  // namespace vemo::ui
