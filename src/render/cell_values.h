// The values printed cells show. Formula cells are computed again by our
// evaluator, as a spreadsheet application recalculates on loading a filled
// template, so a stale cached total is never printed; a formula the
// evaluator cannot compute, or a circular one, declines the sheet.
#pragma once
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

#include "workbook/cell_value.h"

namespace vemo::wb {
class Workbook;
class Sheet;
}  // namespace vemo::wb

namespace vemo::render {

class CellValues {
 public:
  explicit CellValues(wb::Workbook& book) : book_(book) {}
  // Throws RenderDeclined for a formula it cannot compute.
  wb::CellValue Get(const wb::Sheet& sheet, int row, int col);
  // `formula` computed as if it stood in the cell; throws RenderDeclined
  // naming `where` when the evaluator cannot compute it.
  wb::CellValue Evaluate(const wb::Sheet& sheet, std::string_view formula, int row, int col, const std::string& where);

 private:
  using Key = std::tuple<const wb::Sheet*, int, int>;
  wb::Workbook& book_;
  std::map<Key, wb::CellValue> computed_;
  std::set<Key> computing_;
  friend class EvalBridge;
};

}  // namespace vemo::render
