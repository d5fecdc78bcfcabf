#include "host/spreadsheet/line_insertion.h"

#include <vector>

#include "foundation/host_error.h"
#include "workbook/structural_edit.h"
#include "workbook/workbook.h"

namespace vemo::host {
namespace {

template <class F>
void AsHostError(const char* what, F&& edit) {
  try {
    edit();
  } catch (const HostError&) {
    throw;
  } catch (const std::exception& e) {
    throw HostError(std::string("cannot insert ") + what + ": " + e.what());
  }
}

// New empty rows take the format of the row above them (CopyOrigin 0).
void FormatRowsLikeTheRowAbove(wb::Sheet& sheet, int at, int count) {
  if (at <= 1) return;
  const wb::Row* above = sheet.FindRow(at - 1);
  if (!above) return;
  std::vector<std::pair<int, std::uint32_t>> styles;
  for (const wb::Cell& cell : above->cells)
    if (cell.style != 0) styles.emplace_back(static_cast<int>(cell.col), cell.style);
  bool rowFormat = above->customFormat;
  std::uint32_t rowStyle = above->style;
  for (int r = at; r < at + count; ++r) {
    if (rowFormat) {
      wb::Row& row = sheet.GetOrAddRow(r);
      row.customFormat = true;
      row.style = rowStyle;
    }
    for (auto [col, style] : styles) sheet.SetStyle(r, col, style);
  }
}

// New empty columns take the format of the column on their left, cell by cell.
void FormatColumnsLikeTheColumnOnTheLeft(wb::Sheet& sheet, int at, int count) {
  if (at <= 1) return;
  std::vector<std::pair<int, std::uint32_t>> styles;
  for (const wb::Row& row : sheet.rows())
    if (const wb::Cell* cell = sheet.FindCell(static_cast<int>(row.number), at - 1); cell && cell->style != 0)
      styles.emplace_back(static_cast<int>(row.number), cell->style);
  for (auto [r, style] : styles)
    for (int c = at; c < at + count; ++c) sheet.SetStyle(r, c, style);
}

}  // namespace

void InsertModelRows(wb::Sheet& sheet, int at, int count, std::optional<int> copySourceRow) {
  AsHostError("rows", [&] {
    wb::InsertRows(sheet.book(), sheet, at, count, copySourceRow);
    if (!copySourceRow) FormatRowsLikeTheRowAbove(sheet, at, count);
  });
}

void InsertModelColumns(wb::Sheet& sheet, int at, int count) {
  AsHostError("columns", [&] {
    wb::InsertColumns(sheet.book(), sheet, at, count);
    FormatColumnsLikeTheColumnOnTheLeft(sheet, at, count);
  });
}

}  // namespace vemo::host
