// The values a workbook's cells hold now. Formula cells are computed again
// by our evaluator, as a spreadsheet application recalculates on loading a
// filled template: what is printed, and the results saved beside the
// formulas of a filled .xls, are never the template's stale cached ones.
#pragma once
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

#include "workbook/cell_value.h"
#include "workbook/workbook_error.h"

namespace vemo::wb {

class Workbook;
class Sheet;
struct CellContent;

// A formula the evaluator cannot compute: an array formula or data table, a
// circular one, or one that uses what the evaluator does not know. The
// message says which and where ("a circular formula at Sheet1!B4").
class CannotCompute : public WorkbookError {
 public:
  using WorkbookError::WorkbookError;
};

class WorkbookValues {
 public:
  explicit WorkbookValues(Workbook& book) : book_(book) {}
  // The cell's value; throws CannotCompute for a formula it cannot compute.
  CellValue Get(const Sheet& sheet, int row, int col);
  // `formula` computed as if it stood in the cell; throws CannotCompute
  // naming `where`.
  CellValue Evaluate(const Sheet& sheet, std::string_view formula, int row, int col, const std::string& where);

 private:
  using Key = std::tuple<const Sheet*, int, int>;
  Workbook& book_;
  std::map<Key, CellValue> computed_;
  std::set<Key> computing_;
  friend class WorkbookEvalContext;
};

// A computed value as the cell content saved beside a formula.
CellContent ContentOf(const CellValue& value);

// The serial of today's date in the workbook's date system.
double TodaySerial(bool date1904);

}  // namespace vemo::wb
