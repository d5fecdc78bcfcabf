// The values printed cells show: the workbook's values with formula cells
// computed again (workbook_values.h), so a stale cached total is never
// printed; a formula the evaluator cannot compute, or a circular one,
// declines the sheet.
#pragma once
#include <string>
#include <string_view>

#include "workbook/workbook_values.h"

namespace vemo::render {

class CellValues {
 public:
  explicit CellValues(wb::Workbook& book) : values_(book) {}
  // Throws RenderDeclined for a formula it cannot compute.
  wb::CellValue Get(const wb::Sheet& sheet, int row, int col);
  // `formula` computed as if it stood in the cell; throws RenderDeclined
  // naming `where` when the evaluator cannot compute it.
  wb::CellValue Evaluate(const wb::Sheet& sheet, std::string_view formula, int row, int col, const std::string& where);

 private:
  wb::WorkbookValues values_;
};

}  // namespace vemo::render
