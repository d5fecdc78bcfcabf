// The formula evaluator seen through plain types, so the calculation code
// (cell_calculate.cpp) deals only with the sheet model and this bridge
// (formula_bridge.cpp) only with the evaluator's values.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace vemo::host {

struct PlainValue {
  enum class Kind { Empty, Number, Text, Boolean, Error };
  Kind kind = Kind::Empty;
  double number = 0;
  bool boolean = false;
  std::string text;  // Text: the text; Error: "#REF!" and the like
};

// What a formula reads: cells, names and the workbook's date system.
class FormulaCells {
 public:
  virtual ~FormulaCells() = default;
  // sheet "" = the sheet of the formula being evaluated.
  virtual PlainValue Cell(std::string_view sheet, int row, int col) = 0;
  virtual std::optional<std::string> NameFormula(std::string_view name, std::string_view sheet) = 0;
  virtual bool Date1904() = 0;
  virtual int LastRow(std::string_view sheet) = 0;
  virtual int LastColumn(std::string_view sheet) = 0;
};

struct FormulaOutcome {
  PlainValue value;
  bool complete = false;  // false: the value is only a stand-in
};

// Evaluates `formula` (without '=') standing in cell (row, col).
FormulaOutcome EvaluateWithCells(std::string_view formula, int row, int col, FormulaCells& cells);

}  // namespace vemo::host
