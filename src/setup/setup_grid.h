// The grid the setup dialogs show their rows in, as the dialog logic sees
// it. A window-system grid implements it over its widget; ScriptedGrid
// (scripted_grid.h) keeps the cells in memory for tests and the command
// line.
//
// Addressing: data rows 1..RowCount(), data columns 1..ColumnCount(). The
// header row and the row-header column are the grid's own business: headers
// are set per column, and the dialogs keep no row headers.
//
// A check box cell holds its state as text: "1" checked, "0" (or "")
// unchecked, so the dialogs read a flag as the numeric value of the text.
#pragma once
#include <cstdint>
#include <string>

namespace vemo::setup {

enum class CellType { Text, CheckBox, DropDownList };

class SetupGrid {
 public:
  virtual ~SetupGrid() = default;

  virtual int ColumnCount() const = 0;
  virtual void SetColumnCount(int count) = 0;
  // Growing adds empty text rows at the end; shrinking drops rows at the end.
  virtual int RowCount() const = 0;
  virtual void SetRowCount(int count) = 0;

  virtual std::string ColumnHeader(int col) const = 0;
  virtual void SetColumnHeader(int col, const std::string& text) = 0;
  virtual bool ColumnHidden(int col) const = 0;
  virtual void SetColumnHidden(int col, bool hidden) = 0;
  virtual std::string ColumnIdentifier(int col) const = 0;
  virtual void SetColumnIdentifier(int col, const std::string& id) = 0;
  // In the grid's width unit (twips of the dialog's layout).
  virtual int ColumnWidth(int col) const = 0;
  virtual void SetColumnWidth(int col, int width) = 0;

  virtual std::string CellText(int row, int col) const = 0;
  virtual void SetCellText(int row, int col, const std::string& text) = 0;
  virtual CellType CellTypeOf(int row, int col) const = 0;
  // `items`: the drop-down list's entries, each followed by a tab ("" for
  // other types).
  virtual void SetCellType(int row, int col, CellType type, const std::string& items = "") = 0;
  virtual std::string DropDownItems(int row, int col) const = 0;
  virtual bool CellLocked(int row, int col) const = 0;
  virtual void SetCellLocked(int row, int col, bool locked) = 0;
  virtual bool CellCentered(int row, int col) const = 0;
  virtual void SetCellCentered(int row, int col, bool centered) = 0;

  // 0 when no row is active.
  virtual int ActiveRow() const = 0;
  virtual void SetActiveRow(int row) = 0;
  // Removes the row; the rows below move up, the count drops by one, and no
  // row is active afterwards.
  virtual void DeleteRow(int row) = 0;
  // Suspends painting while the dialog changes several cells.
  virtual void SetRedraw(bool on) = 0;

  // Block selection: columns col1..col2 and rows row1..row2; 0 for a bound
  // means the default (column 1 or the last column, row 1 or the last row).
  virtual void SelectBlock(int col1 = 0, int row1 = 0, int col2 = 0, int row2 = 0) = 0;
  virtual void SetBlockLocked(bool locked) = 0;
  virtual void SetBlockForeColor(std::uint32_t rgb) = 0;
};

// What the grid tells its dialog about the user's actions. A grid calls
// these only for actions of the user, or, if it also reports its own
// programmatic changes, the dialogs ignore those while they fill the grid.
class GridListener {
 public:
  virtual ~GridListener() = default;
  // Any input of the user in the grid (focus, click, key), before the change
  // it causes is reported.
  virtual void OnGridUserInput() {}
  // The user clicked the check box of a cell; its text already holds the new state.
  virtual void OnCheckClicked(int row, int col) {}
  // The text of a cell changed (typing or a drop-down choice).
  virtual void OnCellChanged(int row, int col) {}
};

// Redraw off for a scope.
class RedrawSuspended {
 public:
  explicit RedrawSuspended(SetupGrid& grid) : grid_(grid) { grid_.SetRedraw(false); }
  ~RedrawSuspended() { grid_.SetRedraw(true); }
  RedrawSuspended(const RedrawSuspended&) = delete;
  RedrawSuspended& operator=(const RedrawSuspended&) = delete;

 private:
  SetupGrid& grid_;
};

// The last row with any non-empty cell; 0 when none.
int LastRowHoldingData(const SetupGrid& grid);
// The numeric value of a cell's text, as the host reads a number from text.
double CellNumber(const SetupGrid& grid, int row, int col);

}  // namespace vemo::setup
