// The table model behind a QtSetupGrid: shows the cells of a ScriptedGrid
// (which keeps every cell property and knows what a user may do) and turns
// the view's edits into the ScriptedGrid's user actions, so the dialog hears
// about them exactly as it does from the in-memory grid: OnGridUserInput,
// then OnCheckClicked or OnCellChanged.
//
// Structural changes (rows, columns) go through the model so the views are
// told before and after; cell changes made by the dialog are announced with
// CellsChanged.
#pragma once
#include <QAbstractTableModel>

#include "setup/scripted_grid.h"

namespace vemo::ui {

// Extra data roles the cell delegate reads.
inline constexpr int kCellTypeRole = Qt::UserRole + 1;   // int of setup::CellType
inline constexpr int kDropDownItemsRole = Qt::UserRole + 2;  // QStringList of the list's entries

class SetupGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit SetupGridModel(setup::ScriptedGrid& cells, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // The user's edit: a check box toggle or a new text. Anything the grid
  // refuses, or an error of the dialog's reaction, leaves the cell as it was
  // and is shown on the desktop.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  void ResizeRows(int count);
  void ResizeColumns(int count);
  void RemoveRow(int row);
  // Cells row1..row2 x col1..col2 (1-based) changed.
  void CellsChanged(int row1, int col1, int row2, int col2);
  void AllCellsChanged();
  void HeaderChanged(int col);

 private:
  setup::ScriptedGrid& cells_;
};

// The host's colour value (0x00BBGGRR) as a Qt colour.
QColor HostColor(std::uint32_t value);

}  // namespace vemo::ui
