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
  // Whether a formula of numbers and operators alone ("0+400*18.75", as a
  // fill writes a line's formula) keeps the result cached with it. Such a
  // result cannot go stale, and a fill of a million lines writes a million
  // of them: saving keeps them (and so never holds them all in memory);
  // printing computes every formula.
  enum class Constants { Compute, KeepCached };
  explicit WorkbookValues(Workbook& book, Constants constants = Constants::Compute)
      : book_(book), constants_(constants) {}
  // The cell's value; throws CannotCompute for a formula it cannot compute.
  CellValue Get(const Sheet& sheet, int row, int col);
  // `formula` computed as if it stood in the cell; throws CannotCompute
  // naming `where`.
  CellValue Evaluate(const Sheet& sheet, std::string_view formula, int row, int col, const std::string& where);

 private:
  using Key = std::tuple<const Sheet*, int, int>;
  Workbook& book_;
  Constants constants_;
  std::map<Key, CellValue> computed_;
  std::set<Key> computing_;
  friend class WorkbookEvalContext;
};

// True for formula text of numbers, arithmetic operators, percent signs
// and parentheses only: its value depends on nothing else.
bool IsConstantArithmetic(std::string_view formula);

// A computed value as the cell content saved beside a formula.
CellContent ContentOf(const CellValue& value);

// The serial of today's date in the workbook's date system.
double TodaySerial(bool date1904);

}  // namespace vemo::wb
