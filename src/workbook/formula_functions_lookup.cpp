// VLOOKUP and the criteria functions SUMIF / COUNTIF.
#include <cmath>

#include "workbook/formula_eval_internal.h"

namespace vemo::wb::eval {
namespace {

// Read access to a range or array argument without copying large ranges.
class Grid {
 public:
  Grid(Evaluator& ev, const Value& v) : ev_(ev) {
    if (v.kind == Value::Kind::Range && v.areas.size() == 1) {
      area_ = v.areas[0];
      used_ = ev.Clipped(area_);
      valid_ = true;
    } else if (v.kind == Value::Kind::Array) {
      matrix_ = v.array;
      valid_ = true;
    }
  }
  bool valid() const { return valid_; }
  bool isRange() const { return matrix_.empty(); }
  int Rows() const { return isRange() ? area_.Rows() : static_cast<int>(matrix_.size()); }
  int Cols() const { return isRange() ? area_.Cols() : static_cast<int>(matrix_[0].size()); }
  int UsedRows() const { return isRange() ? used_.Rows() : Rows(); }
  CellValue At(int r, int c) const {
    if (!isRange()) return matrix_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    if (area_.top + r > used_.bottom || area_.left + c > used_.right) return CellValue();
    return ev_.Cell(area_.sheet, area_.top + r, area_.left + c);
  }

 private:
  Evaluator& ev_;
  Area area_, used_;
  Matrix matrix_;
  bool valid_ = false;
};

bool HasWildcard(std::string_view s) { return s.find_first_of("*?~") != std::string_view::npos; }

// A criterion such as 5, "apples", ">=10", "<>", "a*".
struct Criterion {
  enum class Op { Eq, Ne, Lt, Le, Gt, Ge } op = Op::Eq;
  CellValue operand;
};

Criterion ParseCriterion(const CellValue& c) {
  Criterion crit;
  if (!c.IsText()) {
    crit.operand = c.IsEmpty() ? CellValue::Text("") : c;
    return crit;
  }
  std::string_view s = c.text();
  static const std::pair<std::string_view, Criterion::Op> ops[] = {
      {"<=", Criterion::Op::Le}, {">=", Criterion::Op::Ge}, {"<>", Criterion::Op::Ne},
      {"<", Criterion::Op::Lt},  {">", Criterion::Op::Gt},  {"=", Criterion::Op::Eq}};
  for (auto [text, op] : ops) {
    if (s.substr(0, text.size()) == text) {
      crit.op = op;
      s.remove_prefix(text.size());
      break;
    }
  }
  if (auto n = ParseNumberText(s, false)) crit.operand = CellValue::Number(*n);
  else if (EqualNoCase(s, "TRUE") || EqualNoCase(s, "FALSE")) crit.operand = CellValue::Boolean(EqualNoCase(s, "TRUE"));
  else if (auto e = ParseErrorText(s)) crit.operand = CellValue::Error(*e);
  else crit.operand = CellValue::Text(std::string(s));
  return crit;
}

bool EqualsOperand(const CellValue& operand, const CellValue& cell) {
  if (operand.IsText()) {
    if (operand.text().empty()) return cell.IsEmpty() || (cell.IsText() && cell.text().empty());
    if (!cell.IsText()) return false;
    return HasWildcard(operand.text()) ? WildcardMatch(operand.text(), cell.text())
                                       : EqualNoCase(operand.text(), cell.text());
  }
  if (cell.IsEmpty() || cell.type() != operand.type()) return false;
  if (cell.IsError()) return cell.error() == operand.error();
  return CompareValues(operand, cell) == 0;
}

bool Matches(const Criterion& crit, const CellValue& cell) {
  switch (crit.op) {
    case Criterion::Op::Eq: return EqualsOperand(crit.operand, cell);
    case Criterion::Op::Ne: return !EqualsOperand(crit.operand, cell);
    default: break;
  }
  // Ordering only compares values of the same kind: ">5" never matches text.
  if (cell.IsEmpty() || cell.IsError() || cell.type() != crit.operand.type()) return false;
  int c = CompareValues(cell, crit.operand);
  switch (crit.op) {
    case Criterion::Op::Lt: return c < 0;
    case Criterion::Op::Le: return c <= 0;
    case Criterion::Op::Gt: return c > 0;
    case Criterion::Op::Ge: return c >= 0;
    default: return false;
  }
}

// SUMIF(range, criterion, [sum_range]) and COUNTIF(range, criterion).
template <bool sum>
Value CriteriaFunction(FunctionCall& call) {
  const Value& rangeArg = call.Arg(0);
  if (rangeArg.kind == Value::Kind::Scalar && rangeArg.scalar.IsError()) return rangeArg;
  Grid range(call.evaluator(), rangeArg);
  if (!range.valid() || !range.isRange()) return Value::Error(ErrorCode::Value);
  CellValue critValue = call.Scalar(1);
  if (critValue.IsError()) return Value::Of(critValue);
  Criterion crit = ParseCriterion(critValue);
  std::optional<Grid> sumRange;
  if (sum && call.Count() > 2 && !call.IsMissing(2)) {
    sumRange.emplace(call.evaluator(), call.Arg(2));
    if (!sumRange->valid() || !sumRange->isRange()) return Value::Error(ErrorCode::Value);
  }
  double total = 0;
  // Cells past the used part of the sheet are empty; only "" style criteria
  // can match them, and those only count (an empty cell adds nothing to a sum).
  const int rows = range.UsedRows();
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < range.Cols(); ++c) {
      if (!Matches(crit, range.At(r, c))) continue;
      if (!sum) {
        total += 1;
        continue;
      }
      CellValue v = sumRange ? sumRange->At(r, c) : range.At(r, c);
      if (v.IsError()) return Value::Of(v);
      if (v.IsNumber()) total += v.number();
    }
  if (!sum && rows < range.Rows() && Matches(crit, CellValue()))
    total += static_cast<double>(range.Rows() - rows) * range.Cols();
  return Value::Number(total);
}

Value VLookup(FunctionCall& call) {
  CellValue key = call.Scalar(0);
  if (key.IsError()) return Value::Of(key);
  const Value& tableArg = call.Arg(1);
  if (tableArg.kind == Value::Kind::Scalar && tableArg.scalar.IsError()) return tableArg;
  Grid table(call.evaluator(), tableArg);
  if (!table.valid()) return Value::Error(ErrorCode::Value);
  std::optional<ErrorCode> error;
  double col = std::trunc(call.Number(2, error));
  bool approximate = true;
  if (call.Count() > 3) {
    CellValue a = ToBoolean(call.Scalar(3));
    if (a.IsError()) return Value::Of(a);
    approximate = a.boolean();
  }
  if (error) return Value::Error(*error);
  if (col < 1) return Value::Error(ErrorCode::Value);
  if (col > table.Cols()) return Value::Error(ErrorCode::Ref);
  const int column = static_cast<int>(col) - 1;
  const int rows = table.UsedRows();
  if (!approximate) {
    const bool wildcard = key.IsText() && HasWildcard(key.text());
    for (int r = 0; r < rows; ++r) {
      CellValue cell = table.At(r, 0);
      bool hit = wildcard ? cell.IsText() && WildcardMatch(key.text(), cell.text())
                          : !cell.IsEmpty() && cell.type() == key.type() && CompareValues(cell, key) == 0;
      if (hit) return Value::Of(table.At(r, column));
    }
    return Value::Error(ErrorCode::NA);
  }
  // Sorted first column: the last row whose key is not greater than the one
  // sought; values of another kind are skipped.
  int found = -1;
  for (int r = 0; r < rows; ++r) {
    CellValue cell = table.At(r, 0);
    if (cell.IsEmpty() || cell.type() != key.type()) continue;
    if (CompareValues(cell, key) > 0) break;
    found = r;
  }
  if (found < 0) return Value::Error(ErrorCode::NA);
  return Value::Of(table.At(found, column));
}

}  // namespace

void AddLookupFunctions(FunctionTable& table) {
  table.push_back({"VLOOKUP", {3, 4, VLookup}});
  table.push_back({"SUMIF", {2, 3, CriteriaFunction<true>}});
  table.push_back({"COUNTIF", {2, 2, CriteriaFunction<false>}});
}

}  // namespace vemo::wb::eval
