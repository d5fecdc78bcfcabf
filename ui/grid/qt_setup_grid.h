// The setup dialogs' grid on a QTableView. The cells live in a ScriptedGrid
// (the same store and user rules as the in-memory grid) shown through a
// SetupGridModel; what belongs to the view (hidden columns, widths, the
// current row, painting) is set on the view.
//
// What the user does reaches the listener as from the ScriptedGrid: a mouse
// press or key in the grid reports OnGridUserInput; pressing on a row or
// moving to another one with the keys makes it the active row (the view
// choosing a current cell by itself does not); a check box toggle reports OnCheckClicked with
// the new state already in the cell; an edited text or a drop-down choice
// reports OnCellChanged. The dialog's own changes are not reported.
//
// Widths are in twips (1/1440 inch), turned into pixels with the view's
// logical resolution; a width of 0 hides the column.
#pragma once
#include <QPointer>
#include <QTableView>
#include <memory>

#include "setup/scripted_grid.h"
#include "ui/grid/setup_grid_model.h"

namespace vemo::ui {

class QtSetupGrid : public setup::SetupGrid {
 public:
  // Sets its model and cell delegate on `view` and lays the view out as the
  // dialogs' grids are: no row headers, whole rows selected, one at a time.
  explicit QtSetupGrid(QTableView& view);
  ~QtSetupGrid() override;
  QtSetupGrid(const QtSetupGrid&) = delete;
  QtSetupGrid& operator=(const QtSetupGrid&) = delete;

  void SetListener(setup::GridListener* listener);
  // The cells as they stand (to keep them once the view is gone).
  const setup::ScriptedGrid& Cells() const { return cells_; }
  QTableView* View() const { return view_; }
  // The view's width of a column in pixels for a width in twips.
  int PixelsOf(int twips) const;

  int ColumnCount() const override { return cells_.ColumnCount(); }
  void SetColumnCount(int count) override;
  int RowCount() const override { return cells_.RowCount(); }
  void SetRowCount(int count) override;

  std::string ColumnHeader(int col) const override { return cells_.ColumnHeader(col); }
  void SetColumnHeader(int col, const std::string& text) override;
  bool ColumnHidden(int col) const override { return cells_.ColumnHidden(col); }
  void SetColumnHidden(int col, bool hidden) override;
  std::string ColumnIdentifier(int col) const override { return cells_.ColumnIdentifier(col); }
  void SetColumnIdentifier(int col, const std::string& id) override { cells_.SetColumnIdentifier(col, id); }
  int ColumnWidth(int col) const override { return cells_.ColumnWidth(col); }
  void SetColumnWidth(int col, int width) override;

  std::string CellText(int row, int col) const override { return cells_.CellText(row, col); }
  void SetCellText(int row, int col, const std::string& text) override;
  setup::CellType CellTypeOf(int row, int col) const override { return cells_.CellTypeOf(row, col); }
  void SetCellType(int row, int col, setup::CellType type, const std::string& items = "") override;
  std::string DropDownItems(int row, int col) const override { return cells_.DropDownItems(row, col); }
  bool CellLocked(int row, int col) const override { return cells_.CellLocked(row, col); }
  void SetCellLocked(int row, int col, bool locked) override;
  bool CellCentered(int row, int col) const override { return cells_.CellCentered(row, col); }
  void SetCellCentered(int row, int col, bool centered) override;

  int ActiveRow() const override { return cells_.ActiveRow(); }
  void SetActiveRow(int row) override;
  void DeleteRow(int row) override;
  void SetRedraw(bool on) override;

  void SelectBlock(int col1 = 0, int row1 = 0, int col2 = 0, int row2 = 0) override;
  void SetBlockLocked(bool locked) override;
  void SetBlockForeColor(std::uint32_t rgb) override;

 private:
  class InputWatcher;
  void ShowColumn(int col);
  // Puts the view's current row where the active row is, unreported.
  void ShowActiveRow();
  void OnCurrentRowChanged(const QModelIndex& current);
  template <class F>
  void Quietly(F&& change);

  setup::ScriptedGrid cells_;
  std::unique_ptr<SetupGridModel> model_;
  std::unique_ptr<InputWatcher> watcher_;
  QPointer<QTableView> view_;
  setup::GridListener* listener_ = nullptr;
  bool quiet_ = false;      // the dialog is changing the grid
  bool keyActing_ = false;  // a key of the user is being handled
  int block_[4] = {0, 0, 0, 0};
};

}  // namespace vemo::ui
