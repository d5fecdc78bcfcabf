#include "setup/scripted_grid.h"

#include <stdexcept>

#include "foundation/variant.h"

namespace vemo::setup {

int LastRowHoldingData(const SetupGrid& grid) {
  for (int row = grid.RowCount(); row >= 1; --row)
    for (int col = 1; col <= grid.ColumnCount(); ++col)
      if (!grid.CellText(row, col).empty()) return row;
  return 0;
}

double CellNumber(const SetupGrid& grid, int row, int col) { return LeadingNumber(grid.CellText(row, col)); }

namespace {

void Refuse(const std::string& what) { throw std::logic_error("grid: " + what); }

}  // namespace

void ScriptedGrid::SetColumnCount(int count) {
  if (count < 0) Refuse("negative column count");
  columns_.resize(static_cast<std::size_t>(count));
  for (auto& row : rows_) row.resize(columns_.size());
}

void ScriptedGrid::SetRowCount(int count) {
  if (count < 0) Refuse("negative row count");
  rows_.resize(static_cast<std::size_t>(count), std::vector<CellState>(columns_.size()));
  if (activeRow_ > count) activeRow_ = 0;
}

ScriptedGrid::ColumnState& ScriptedGrid::Column(int col) {
  if (col < 1 || col > ColumnCount()) Refuse("no column " + std::to_string(col));
  return columns_[static_cast<std::size_t>(col - 1)];
}

const ScriptedGrid::ColumnState& ScriptedGrid::Column(int col) const {
  return const_cast<ScriptedGrid*>(this)->Column(col);
}

ScriptedGrid::CellState& ScriptedGrid::Cell(int row, int col) {
  if (row < 1 || row > RowCount()) Refuse("no row " + std::to_string(row) + " (" + std::to_string(RowCount()) + " rows)");
  if (col < 1 || col > ColumnCount()) Refuse("no column " + std::to_string(col));
  return rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)];
}

const ScriptedGrid::CellState& ScriptedGrid::Cell(int row, int col) const {
  return const_cast<ScriptedGrid*>(this)->Cell(row, col);
}

void ScriptedGrid::SetCellText(int row, int col, const std::string& text) {
  CellState& cell = Cell(row, col);
  bool changed = cell.text != text;
  cell.text = text;
  if (changed && reportsProgrammatic_ && listener_) listener_->OnCellChanged(row, col);
}

void ScriptedGrid::SetCellType(int row, int col, CellType type, const std::string& items) {
  CellState& cell = Cell(row, col);
  cell.type = type;
  cell.items = type == CellType::DropDownList ? items : "";
}

void ScriptedGrid::SetActiveRow(int row) {
  if (row < 0 || row > RowCount()) Refuse("no row " + std::to_string(row) + " to activate");
  activeRow_ = row;
}

void ScriptedGrid::DeleteRow(int row) {
  Cell(row, 1);  // checks the row exists
  rows_.erase(rows_.begin() + (row - 1));
  activeRow_ = 0;
}

void ScriptedGrid::SetRedraw(bool on) {
  if (on) {
    if (redrawDepth_ > 0) --redrawDepth_;
  } else {
    ++redrawDepth_;
  }
}

void ScriptedGrid::SelectBlock(int col1, int row1, int col2, int row2) {
  block_[0] = col1 > 0 ? col1 : 1;
  block_[1] = row1 > 0 ? row1 : 1;
  block_[2] = col2 > 0 ? col2 : ColumnCount();
  block_[3] = row2 > 0 ? row2 : RowCount();
}

template <class F>
void ScriptedGrid::ForBlock(F&& f) {
  for (int row = block_[1]; row <= block_[3]; ++row)
    for (int col = block_[0]; col <= block_[2]; ++col) f(Cell(row, col));
}

void ScriptedGrid::SetBlockLocked(bool locked) {
  ForBlock([locked](CellState& cell) { cell.locked = locked; });
}

void ScriptedGrid::SetBlockForeColor(std::uint32_t rgb) {
  ForBlock([rgb](CellState& cell) { cell.foreColor = rgb; });
}

void ScriptedGrid::CheckUserCell(int row, int col) const {
  if (Column(col).hidden) Refuse("column " + std::to_string(col) + " is hidden from the user");
  if (Cell(row, col).locked) Refuse("cell " + std::to_string(row) + "," + std::to_string(col) + " is locked");
}

void ScriptedGrid::UserSelectRow(int row) {
  if (row < 1 || row > RowCount()) Refuse("no row " + std::to_string(row) + " to select");
  if (listener_) listener_->OnGridUserInput();
  SetActiveRow(row);
}

void ScriptedGrid::UserClickCheck(int row, int col) {
  CheckUserCell(row, col);
  CellState& cell = Cell(row, col);
  if (cell.type != CellType::CheckBox) Refuse("cell " + std::to_string(row) + "," + std::to_string(col) + " is no check box");
  if (listener_) listener_->OnGridUserInput();
  activeRow_ = row;
  cell.text = LeadingNumber(cell.text) != 0 ? "0" : "1";
  if (listener_) listener_->OnCheckClicked(row, col);
}

void ScriptedGrid::UserTypeText(int row, int col, const std::string& text) {
  CheckUserCell(row, col);
  if (Cell(row, col).type != CellType::Text) Refuse("cell " + std::to_string(row) + "," + std::to_string(col) + " takes no typing");
  if (listener_) listener_->OnGridUserInput();
  activeRow_ = row;
  Cell(row, col).text = text;
  if (listener_) listener_->OnCellChanged(row, col);
}

void ScriptedGrid::UserChooseText(int row, int col, const std::string& item) {
  CheckUserCell(row, col);
  const CellState& cell = Cell(row, col);
  if (cell.type != CellType::DropDownList) Refuse("cell " + std::to_string(row) + "," + std::to_string(col) + " has no list");
  if (cell.items.find(item + "\t") != 0 && cell.items.find("\t" + item + "\t") == std::string::npos)
    Refuse("\"" + item + "\" is not in the list of cell " + std::to_string(row) + "," + std::to_string(col));
  if (listener_) listener_->OnGridUserInput();
  activeRow_ = row;
  Cell(row, col).text = item;
  if (listener_) listener_->OnCellChanged(row, col);
}

}  // namespace vemo::setup
