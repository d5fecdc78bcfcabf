// SUMIF, COUNTIF, SUMIFS, COUNTIFS: criteria such as 5, "apples", ">=10", "<>", "a*".
#include <algorithm>

#include "workbook/formulas/formula_eval_internal.h"

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

struct Condition {
  Grid range;
  Criterion criterion;
};

// Sums `values` (or counts, without values) over the positions where every
// condition matches. All grids have the same shape.
Value Accumulate(const std::vector<Condition>& conditions, const Grid* values) {
  const Grid& shape = conditions[0].range;
  // Past the used part of the sheets every cell is empty: only criteria that
  // match empty cells can match there, and empty cells add nothing to a sum.
  int used = values ? values->UsedRows() : 0;
  for (const Condition& c : conditions) used = std::max(used, c.range.UsedRows());
  used = std::min(used, shape.Rows());
  double total = 0;
  for (int r = 0; r < used; ++r)
    for (int c = 0; c < shape.Cols(); ++c) {
      bool all = std::all_of(conditions.begin(), conditions.end(),
                             [&](const Condition& k) { return Matches(k.criterion, k.range.At(r, c)); });
      if (!all) continue;
      if (!values) {
        total += 1;
        continue;
      }
      CellValue v = values->At(r, c);
      if (v.IsError()) return Value::Of(v);
      if (v.IsNumber()) total += v.number();
    }
  bool emptyMatches = std::all_of(conditions.begin(), conditions.end(),
                                  [](const Condition& k) { return Matches(k.criterion, CellValue()); });
  if (!values && emptyMatches) total += static_cast<double>(shape.Rows() - used) * shape.Cols();
  return Value::Number(total);
}

// A range argument: it must be written as a single-area reference.
std::optional<Area> RangeArgument(FunctionCall& call, std::size_t i) {
  const Value& v = call.Arg(i);
  if (v.kind != Value::Kind::Range || v.areas.size() != 1) return std::nullopt;
  return v.areas[0];
}

Value RangeArgumentError(FunctionCall& call, std::size_t i) {
  const Value& v = call.Arg(i);
  return v.kind == Value::Kind::Scalar && v.scalar.IsError() ? v : Value::Error(ErrorCode::Value);
}

// SUMIF(range, criterion, [sum_range]) and COUNTIF(range, criterion).
template <bool sum>
Value SingleCriterion(FunctionCall& call) {
  auto range = RangeArgument(call, 0);
  if (!range) return RangeArgumentError(call, 0);
  CellValue critValue = call.Scalar(1);
  if (critValue.IsError()) return Value::Of(critValue);
  Evaluator& ev = call.evaluator();
  std::vector<Condition> conditions{{Grid(ev, Value{Value::Kind::Range, {}, {*range}, {}}), ParseCriterion(critValue)}};
  if (!sum) return Accumulate(conditions, nullptr);
  Area sumArea = *range;
  if (call.Count() > 2 && !call.IsMissing(2)) {
    // The sum range takes the shape of the criteria range from its top-left cell.
    auto given = RangeArgument(call, 2);
    if (!given) return RangeArgumentError(call, 2);
    sumArea = *given;
    sumArea.bottom = std::min(sumArea.top + range->Rows() - 1, kMaxRow);
    sumArea.right = std::min(sumArea.left + range->Cols() - 1, kMaxColumn);
  }
  Grid values(ev, Value{Value::Kind::Range, {}, {sumArea}, {}});
  return Accumulate(conditions, &values);
}

// SUMIFS(sum_range, range1, criterion1, ...) and COUNTIFS(range1, criterion1, ...):
// every range must have the same shape.
template <bool sum>
Value MultipleCriteria(FunctionCall& call) {
  const std::size_t first = sum ? 1 : 0;
  if ((call.Count() - first) % 2 != 0) return Value::Error(ErrorCode::Value);
  Evaluator& ev = call.evaluator();
  std::vector<Condition> conditions;
  for (std::size_t i = first; i < call.Count(); i += 2) {
    auto range = RangeArgument(call, i);
    if (!range) return RangeArgumentError(call, i);
    CellValue critValue = call.Scalar(i + 1);
    if (critValue.IsError()) return Value::Of(critValue);
    if (!conditions.empty() && (range->Rows() != conditions[0].range.Rows() || range->Cols() != conditions[0].range.Cols()))
      return Value::Error(ErrorCode::Value);
    conditions.push_back({Grid(ev, Value{Value::Kind::Range, {}, {*range}, {}}), ParseCriterion(critValue)});
  }
  if (!sum) return Accumulate(conditions, nullptr);
  auto sumArea = RangeArgument(call, 0);
  if (!sumArea) return RangeArgumentError(call, 0);
  if (sumArea->Rows() != conditions[0].range.Rows() || sumArea->Cols() != conditions[0].range.Cols())
    return Value::Error(ErrorCode::Value);
  Grid values(ev, Value{Value::Kind::Range, {}, {*sumArea}, {}});
  return Accumulate(conditions, &values);
}

}  // namespace

void AddCriteriaFunctions(FunctionTable& table) {
  table.push_back({"SUMIF", {2, 3, SingleCriterion<true>}});
  table.push_back({"COUNTIF", {2, 2, SingleCriterion<false>}});
  table.push_back({"SUMIFS", {3, -1, MultipleCriteria<true>}});
  table.push_back({"COUNTIFS", {2, -1, MultipleCriteria<false>}});
}

}  // namespace vemo::wb::eval
