// SUMIF and COUNTIF: criteria such as 5, "apples", ">=10", "<>", "a*".
#include <algorithm>

#include "workbook/formula_eval_internal.h"

namespace vemo::wb::eval {
namespace {

bool HasWildcard(std::string_view s) { return s.find_first_of("*?~") != std::string_view::npos; }

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
    // The sum range takes the shape of the criteria range from its top-left cell.
    const Value& sumArg = call.Arg(2);
    if (sumArg.kind != Value::Kind::Range || sumArg.areas.size() != 1) return Value::Error(ErrorCode::Value);
    Area shaped = sumArg.areas[0];
    shaped.bottom = std::min(shaped.top + range.Rows() - 1, kMaxRow);
    shaped.right = std::min(shaped.left + range.Cols() - 1, kMaxColumn);
    sumRange.emplace(call.evaluator(), Value{Value::Kind::Range, {}, {shaped}, {}});
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

}  // namespace

void AddCriteriaFunctions(FunctionTable& table) {
  table.push_back({"SUMIF", {2, 3, CriteriaFunction<true>}});
  table.push_back({"COUNTIF", {2, 2, CriteriaFunction<false>}});
}

}  // namespace vemo::wb::eval
