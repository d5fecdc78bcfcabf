// The in-memory grid: every cell property kept as set, and the user's
// actions played by the caller (tests, the command line), which reach the
// dialog through its GridListener the way a window-system grid reports them.
//
//   ScriptedGrid grid;
//   grid.SetListener(&form);
//   grid.UserClickCheck(2, 3);        // the user ticks row 2's flag
//   grid.UserChooseText(2, 4, "收据");  // picks a sub-type from the drop-down
//
// User actions refuse what a user could not do (a locked cell, a value that
// is not in the drop-down list, a row that does not exist) with
// std::logic_error, so a test that tries it fails loudly.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "setup/setup_grid.h"

namespace vemo::setup {

class ScriptedGrid : public SetupGrid {
 public:
  void SetListener(GridListener* listener) { listener_ = listener; }
  // Also report the dialog's own cell changes to the listener, as some
  // window-system grids do.
  void SetReportsProgrammaticChanges(bool on) { reportsProgrammatic_ = on; }

  // The user's actions.
  void UserSelectRow(int row);
  void UserClickCheck(int row, int col);
  void UserTypeText(int row, int col, const std::string& text);
  void UserChooseText(int row, int col, const std::string& item);

  int ColumnCount() const override { return static_cast<int>(columns_.size()); }
  void SetColumnCount(int count) override;
  int RowCount() const override { return static_cast<int>(rows_.size()); }
  void SetRowCount(int count) override;

  std::string ColumnHeader(int col) const override { return Column(col).header; }
  void SetColumnHeader(int col, const std::string& text) override { Column(col).header = text; }
  bool ColumnHidden(int col) const override { return Column(col).hidden; }
  void SetColumnHidden(int col, bool hidden) override { Column(col).hidden = hidden; }
  std::string ColumnIdentifier(int col) const override { return Column(col).identifier; }
  void SetColumnIdentifier(int col, const std::string& id) override { Column(col).identifier = id; }
  int ColumnWidth(int col) const override { return Column(col).width; }
  void SetColumnWidth(int col, int width) override { Column(col).width = width; }

  std::string CellText(int row, int col) const override { return Cell(row, col).text; }
  void SetCellText(int row, int col, const std::string& text) override;
  CellType CellTypeOf(int row, int col) const override { return Cell(row, col).type; }
  void SetCellType(int row, int col, CellType type, const std::string& items = "") override;
  std::string DropDownItems(int row, int col) const override { return Cell(row, col).items; }
  bool CellLocked(int row, int col) const override { return Cell(row, col).locked; }
  void SetCellLocked(int row, int col, bool locked) override { Cell(row, col).locked = locked; }
  bool CellCentered(int row, int col) const override { return Cell(row, col).centered; }
  void SetCellCentered(int row, int col, bool centered) override { Cell(row, col).centered = centered; }
  std::uint32_t CellForeColor(int row, int col) const { return Cell(row, col).foreColor; }

  int ActiveRow() const override { return activeRow_; }
  void SetActiveRow(int row) override;
  void DeleteRow(int row) override;
  void SetRedraw(bool on) override;
  bool RedrawOn() const { return redrawDepth_ == 0; }

  void SelectBlock(int col1 = 0, int row1 = 0, int col2 = 0, int row2 = 0) override;
  void SetBlockLocked(bool locked) override;
  void SetBlockForeColor(std::uint32_t rgb) override;

 private:
  struct ColumnState {
    std::string header, identifier;
    bool hidden = false;
    int width = 0;
  };
  struct CellState {
    std::string text;
    CellType type = CellType::Text;
    std::string items;
    bool locked = false;
    bool centered = false;
    std::uint32_t foreColor = 0;
  };
  ColumnState& Column(int col);
  const ColumnState& Column(int col) const;
  CellState& Cell(int row, int col);
  const CellState& Cell(int row, int col) const;
  void CheckUserCell(int row, int col) const;
  template <class F>
  void ForBlock(F&& f);

  std::vector<ColumnState> columns_;
  std::vector<std::vector<CellState>> rows_;
  int activeRow_ = 0;
  int redrawDepth_ = 0;
  int block_[4] = {0, 0, 0, 0};
  GridListener* listener_ = nullptr;
  bool reportsProgrammatic_ = false;
};

}  // namespace vemo::setup
