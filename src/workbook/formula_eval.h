// Evaluates formula text against cell values supplied by the caller.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "workbook/cell_value.h"

namespace vemo::wb {

// Where the evaluator reads cells and defined names from.
class EvalContext {
 public:
  virtual ~EvalContext() = default;
  // sheet "" = the sheet of the formula being evaluated. A sheet that does
  // not exist should give #REF!. The value of a formula cell is its computed
  // (or cached) value; detecting cycles between cells is the caller's job.
  virtual CellValue CellAt(std::string_view sheet, int row, int col) = 0;
  // Formula text of a defined name (no leading '='), looked up as the sheet
  // "" (the current sheet, then workbook level) or a named sheet would see it.
  virtual std::optional<std::string> NameFormula(std::string_view name, std::string_view sheet) = 0;
  virtual double Today() = 0;  // date serial of the current day
  virtual bool Date1904() = 0;
  // Last used row and column of a sheet; whole-column and whole-row references
  // are clipped to it so SUM(A:A) does not visit a million empty cells, and
  // used as arrays (SUMPRODUCT(A:A,B:B)) they stop there too.
  struct Extent {
    int lastRow;
    int lastCol;
  };
  virtual Extent UsedExtent(std::string_view sheet);
};

// Formats a number with a number format code ("0.00", "dd.mm.yyyy"); TEXT() uses it.
using NumberFormatter = std::function<std::string(double value, std::string_view formatCode, bool date1904)>;

struct EvalOptions {
  // The cell holding the formula, for implicit intersection of a range used
  // where one value is needed (=B:B*2 in row 5 reads B5). 0 = unknown.
  int row = 0;
  int col = 0;
  // How TEXT() formats; without one it writes General numbers and ignores
  // the code (the library's callers pass FormatNumber).
  NumberFormatter numberFormatter;
  // What one evaluation may spend: cells read, and bytes of the arrays and
  // texts it makes. A formula that needs more gives #NUM! and an incomplete
  // result (the reader recalculates it) instead of running for minutes or
  // taking all memory. The defaults let a SUMPRODUCT over a few million cells
  // through.
  std::uint64_t maxCellReads = 20'000'000;
  std::uint64_t maxBytes = std::uint64_t{256} << 20;
};

struct EvalResult {
  CellValue value;
  // False when the formula uses something this evaluator cannot compute (an
  // unknown function, a structured, 3-D or external reference, unreadable
  // text): `value` is then only a stand-in and the workbook should ask
  // readers to recalculate on load.
  bool complete = true;
  std::string problem;  // what could not be computed, for logs
};

EvalResult EvaluateFormula(std::string_view formula, EvalContext& context, const EvalOptions& options = {});

// Number as text the way the General format writes it: up to 15 significant
// digits, scientific notation for very large or small magnitudes.
std::string GeneralNumberText(double value);

}  // namespace vemo::wb
