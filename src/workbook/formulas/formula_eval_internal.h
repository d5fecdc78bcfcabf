// Internals shared by the evaluator and the function library; not for callers
// outside src/workbook (use formula_eval.h).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/cell_value.h"
#include "workbook/formula_eval.h"
#include "workbook/formulas/formula_parser.h"

namespace vemo::wb::eval {

using Matrix = std::vector<std::vector<CellValue>>;

// A rectangle of cells on one sheet ("" = the formula's sheet).
struct Area {
  std::string sheet;
  int top = 1, left = 1, bottom = 1, right = 1;
  int Rows() const { return bottom - top + 1; }
  int Cols() const { return right - left + 1; }
};

// What an expression evaluates to before it lands in a cell.
struct Value {
  enum class Kind { Scalar, Range, Array, Missing };
  Kind kind = Kind::Scalar;
  CellValue scalar;
  std::vector<Area> areas;  // Range: one area, or several for a union
  Matrix array;             // Array: rectangular, at least 1x1

  static Value Of(CellValue v) { return Value{Kind::Scalar, std::move(v), {}, {}}; }
  static Value Error(ErrorCode e) { return Of(CellValue::Error(e)); }
  static Value Number(double d) { return Of(CellValue::Number(d)); }
  static Value Text(std::string s) { return Of(CellValue::Text(std::move(s))); }
  static Value Boolean(bool b) { return Of(CellValue::Boolean(b)); }
};

// Spreadsheet coercions. Each returns the converted value or an error value.
CellValue ToNumber(const CellValue& v);   // "3" -> 3, TRUE -> 1, empty -> 0, "x" -> #VALUE!
CellValue ToText(const CellValue& v);     // 3 -> "3", TRUE -> "TRUE", empty -> ""
CellValue ToBoolean(const CellValue& v);  // 0 -> FALSE, "true" -> TRUE, "x" -> #VALUE!
// Text a user could type as a number: " 1,234.5 ", "-1e3", "50%", "2024-01-31".
std::optional<double> ParseNumberText(std::string_view text, bool date1904);

// Orders two values as comparison operators do: numbers < text < booleans,
// text without regard to case, empty as 0 / "" / FALSE against the other side.
// Returns <0, 0, >0. Errors must be handled by the caller.
int CompareValues(const CellValue& a, const CellValue& b);
bool EqualNoCase(std::string_view a, std::string_view b);
// Wildcard match for criteria and exact lookups: * any run, ? one character, ~ escapes.
bool WildcardMatch(std::string_view pattern, std::string_view text);

class Evaluator;

// Thrown when an evaluation goes over its EvalOptions budget; EvaluateFormula
// turns it into #NUM! with `problem` saying which limit was reached.
struct BudgetExceeded {
  std::string problem;
};

// Element (r, c) of an operand stretched to a larger array: a single row or
// column repeats; positions that exist in neither direction are #N/A.
CellValue ElementAt(const Matrix& m, std::size_t r, std::size_t c);

// Arguments of one function call, evaluated on first use so IF and IFERROR
// only compute the branch they need.
class FunctionCall {
 public:
  FunctionCall(Evaluator& ev, const FormulaNode& node) : ev_(ev), node_(node), cache_(node.children.size()) {}
  // With arguments already evaluated (one element each when a function is applied over arrays).
  FunctionCall(Evaluator& ev, const FormulaNode& node, std::vector<Value> args);
  std::size_t Count() const { return node_.children.size(); }
  bool IsMissing(std::size_t i) const;
  const Value& Arg(std::size_t i);
  // Single value of argument i (implicit intersection for ranges; missing -> empty).
  CellValue Scalar(std::size_t i);
  // Numeric / text / boolean argument; on failure `error` is set and the result is meaningless.
  double Number(std::size_t i, std::optional<ErrorCode>& error);
  std::string Text(std::size_t i, std::optional<ErrorCode>& error);
  Evaluator& evaluator() { return ev_; }

 private:
  Evaluator& ev_;
  const FormulaNode& node_;
  std::vector<std::optional<Value>> cache_;
};

using FunctionImpl = Value (*)(FunctionCall& call);
enum class ArgMode {
  Any,     // the function takes ranges or values as they come (SUM, VLOOKUP)
  Scalar,  // one value per argument; inside SUMPRODUCT it is applied element by element
  Array,   // arguments are evaluated as arrays (SUMPRODUCT)
};
struct FunctionForm {
  int minArgs;
  int maxArgs;  // -1 = any number
  FunctionImpl impl;
  ArgMode mode = ArgMode::Any;
};
const FunctionForm* FindFunction(std::string_view upperName);

class Evaluator {
 public:
  Evaluator(EvalContext& context, const EvalOptions& options) : context_(context), options_(options) {}

  Value Evaluate(const FormulaNode& node);
  // One value: a range gives the cell in the formula's row or column.
  CellValue ToScalar(const Value& v);
  // Rectangular values of a scalar, array or single-area range.
  std::optional<Matrix> ToMatrix(const Value& v);
  // Calls fn for each value; `fromReference` is true for cells of ranges and
  // elements of arrays (which aggregate functions treat differently from
  // values typed as arguments). Stops early when fn returns false.
  void ForEach(const Value& v, const std::function<bool(const CellValue&, bool fromReference)>& fn);
  CellValue Cell(const std::string& sheet, int row, int col) {
    if (++cellReads_ > options_.maxCellReads) OverBudget("reads more than " + std::to_string(options_.maxCellReads) + " cells");
    return context_.CellAt(sheet, row, col);
  }
  Area Clipped(const Area& a);
  // Counts `elements` array values (and `textBytes` of text) against the
  // memory budget before they are made; throws BudgetExceeded past it.
  void ChargeMemory(std::size_t elements, std::size_t textBytes = 0);

  void MarkIncomplete(std::string problem);
  bool complete() const { return complete_; }
  const std::string& problem() const { return problem_; }
  EvalContext& context() { return context_; }
  const EvalOptions& options() const { return options_; }
  bool InArrayContext() const { return arrayDepth_ > 0; }
  void EnterArrayContext() { ++arrayDepth_; }
  void LeaveArrayContext() { --arrayDepth_; }

 private:
  Value EvaluateNode(const FormulaNode& node);
  Value EvaluateReference(const FormulaNode& node);
  Value EvaluateName(const FormulaNode& node);
  Value EvaluateFunction(const FormulaNode& node);
  Value EvaluateUnary(const FormulaNode& node);
  Value EvaluatePercent(const FormulaNode& node);
  Value EvaluateBinary(const FormulaNode& node);
  Value EvaluateRangeOperator(const FormulaNode& node);
  // Applies a scalar operation elementwise when an operand is an array.
  Value Elementwise(const Value& a, const Value& b, const std::function<CellValue(const CellValue&, const CellValue&)>& op);
  Value Operand(const Value& v);  // range -> scalar or (in array context) array
  Value ApplyOverArrays(const FormulaNode& node, const FunctionForm& layout);
  // A whole column or row used as an array: only as far as the sheet is used.
  Area UsedShape(const Area& a);
  [[noreturn]] void OverBudget(const std::string& what);

  EvalContext& context_;
  const EvalOptions& options_;
  bool complete_ = true;
  std::string problem_;
  int arrayDepth_ = 0;
  int nameDepth_ = 0;
  std::uint64_t cellReads_ = 0;
  std::uint64_t bytes_ = 0;
};

// Read access to a range or array argument without copying large ranges;
// transposed, rows and columns swap (HLOOKUP reads its table that way).
class Grid {
 public:
  Grid(Evaluator& ev, const Value& v, bool transposed = false);
  bool valid() const { return valid_; }
  bool isRange() const { return matrix_.empty(); }
  int Rows() const;
  int Cols() const;
  int UsedRows() const;  // rows that can hold anything; the rest are empty
  CellValue At(int r, int c) const;
  const Area& area() const { return area_; }

 private:
  Evaluator& ev_;
  Area area_, used_;
  Matrix matrix_;
  bool transposed_ = false;
  bool valid_ = false;
};

// Registration, one per function family.
using FunctionTable = std::vector<std::pair<std::string_view, FunctionForm>>;
void AddMathFunctions(FunctionTable& table);
void AddLogicFunctions(FunctionTable& table);
void AddTextFunctions(FunctionTable& table);
void AddDateFunctions(FunctionTable& table);
void AddLookupFunctions(FunctionTable& table);
void AddCriteriaFunctions(FunctionTable& table);

// Date serials. Years 1900-9999; the 1900 system counts 1900-02-29 (serial 60)
// like the spreadsheet applications it must agree with.
std::optional<double> DateSerial(int year, int month, int day, bool date1904);
struct YearMonthDay {
  int year, month, day;
};
std::optional<YearMonthDay> SerialToDate(double serial, bool date1904);

// The formatter TEXT() uses: options, else the process default, else General.
std::string FormatForText(Evaluator& ev, double value, std::string_view formatCode);

}  // namespace vemo::wb::eval
