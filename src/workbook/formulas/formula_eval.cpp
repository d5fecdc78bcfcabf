// Evaluation of a parsed formula: values, references and names; operators
// and function calls live in formula_eval_operators.cpp and formula_eval_call.cpp.
#include "workbook/formula_eval.h"

#include <algorithm>
#include <cmath>

#include "workbook/formulas/formula_eval_internal.h"

namespace vemo::wb {

EvalContext::Extent EvalContext::UsedExtent(std::string_view) { return {kMaxRow, kMaxColumn}; }

namespace eval {
namespace {
constexpr int kMaxNameDepth = 32;  // deeper nesting of defined names is taken as a cycle
// The walk recurses once per level of a formula's tree, and a formula reads
// cells and names whose formulas are evaluated inside it (each bounded by the
// parser). Their levels together are bounded here, per thread, so a chain of
// deep formulas through cells and names never reaches the end of the stack.
constexpr int kMaxEvaluationLevels = 1024;
thread_local int evaluationLevels = 0;
}  // namespace

std::string FormatForText(Evaluator& ev, double value, std::string_view formatCode) {
  if (ev.options().numberFormatter) return ev.options().numberFormatter(value, formatCode, ev.context().Date1904());
  return GeneralNumberText(value);
}

void Evaluator::MarkIncomplete(std::string problem) {
  if (complete_) problem_ = std::move(problem);
  complete_ = false;
}

void Evaluator::OverBudget(const std::string& what) {
  throw BudgetExceeded{"the formula " + what + ", more than one evaluation may; limit the ranges it reads to the rows in use"};
}

void Evaluator::ChargeMemory(std::size_t elements, std::size_t textBytes) {
  // Checked in doubles first: rows * columns of a whole sheet overflow nothing there.
  const double asked = static_cast<double>(elements) * sizeof(CellValue) + static_cast<double>(textBytes);
  if (asked + static_cast<double>(bytes_) > static_cast<double>(options_.maxBytes))
    OverBudget("needs more than " + std::to_string(options_.maxBytes >> 20) + " MiB of values");
  bytes_ += static_cast<std::uint64_t>(asked);
}

Area Evaluator::UsedShape(const Area& a) {
  const bool wholeColumns = a.top == 1 && a.bottom == kMaxRow;
  const bool wholeRows = a.left == 1 && a.right == kMaxColumn;
  if (!wholeColumns && !wholeRows) return a;
  EvalContext::Extent e = context_.UsedExtent(a.sheet);
  Area c = a;
  if (wholeColumns) c.bottom = std::max(1, std::min(c.bottom, e.lastRow));
  if (wholeRows) c.right = std::max(1, std::min(c.right, e.lastCol));
  return c;
}

Area Evaluator::Clipped(const Area& a) {
  if (a.bottom - a.top < 1000 && a.right - a.left < 100) return a;
  EvalContext::Extent e = context_.UsedExtent(a.sheet);
  Area c = a;
  c.bottom = std::min(c.bottom, std::max(e.lastRow, c.top - 1));
  c.right = std::min(c.right, std::max(e.lastCol, c.left - 1));
  return c;
}

CellValue Evaluator::ToScalar(const Value& v) {
  switch (v.kind) {
    case Value::Kind::Scalar: return v.scalar;
    case Value::Kind::Missing: return CellValue();
    case Value::Kind::Array: return v.array[0][0];
    case Value::Kind::Range: break;
  }
  if (v.areas.size() != 1) return CellValue::Error(ErrorCode::Value);
  const Area& a = v.areas[0];
  if (a.Rows() == 1 && a.Cols() == 1) return Cell(a.sheet, a.top, a.left);
  // Implicit intersection with the formula's own row or column.
  if (a.Cols() == 1 && options_.row >= a.top && options_.row <= a.bottom) return Cell(a.sheet, options_.row, a.left);
  if (a.Rows() == 1 && options_.col >= a.left && options_.col <= a.right) return Cell(a.sheet, a.top, options_.col);
  return CellValue::Error(ErrorCode::Value);
}

std::optional<Matrix> Evaluator::ToMatrix(const Value& v) {
  switch (v.kind) {
    case Value::Kind::Scalar: return Matrix{{v.scalar}};
    case Value::Kind::Missing: return Matrix{{CellValue()}};
    case Value::Kind::Array: return v.array;
    case Value::Kind::Range: break;
  }
  if (v.areas.size() != 1) return std::nullopt;
  // Keep the shape (operands must match in size; whole columns and rows end
  // where the sheet's use does) but read no cell past the used part.
  const Area a = UsedShape(v.areas[0]);
  const Area used = Clipped(a);
  ChargeMemory(static_cast<std::size_t>(a.Rows()) * static_cast<std::size_t>(a.Cols()));
  Matrix m(static_cast<std::size_t>(a.Rows()), std::vector<CellValue>(static_cast<std::size_t>(a.Cols())));
  for (int r = used.top; r <= used.bottom; ++r)
    for (int c = used.left; c <= used.right; ++c)
      m[static_cast<std::size_t>(r - a.top)][static_cast<std::size_t>(c - a.left)] = Cell(a.sheet, r, c);
  return m;
}

void Evaluator::ForEach(const Value& v, const std::function<bool(const CellValue&, bool)>& fn) {
  switch (v.kind) {
    case Value::Kind::Scalar: fn(v.scalar, false); return;
    case Value::Kind::Missing: fn(CellValue(), false); return;
    case Value::Kind::Array:
      for (const auto& row : v.array)
        for (const auto& cell : row)
          if (!fn(cell, true)) return;
      return;
    case Value::Kind::Range:
      for (const Area& area : v.areas) {
        Area a = Clipped(area);
        for (int r = a.top; r <= a.bottom; ++r)
          for (int c = a.left; c <= a.right; ++c)
            if (!fn(Cell(a.sheet, r, c), true)) return;
      }
      return;
  }
}

Value Evaluator::Evaluate(const FormulaNode& node) {
  if (evaluationLevels >= kMaxEvaluationLevels) {
    MarkIncomplete("formulas nest more than " + std::to_string(kMaxEvaluationLevels) +
                   " levels deep through the cells and names they read");
    return Value::Error(ErrorCode::Ref);
  }
  struct Level {
    Level() { ++evaluationLevels; }
    ~Level() { --evaluationLevels; }
  } level;
  return EvaluateNode(node);
}

Value Evaluator::EvaluateNode(const FormulaNode& node) {
  using K = FormulaNode::Kind;
  switch (node.kind) {
    case K::Number: return Value::Number(node.number);
    case K::Text: return Value::Text(node.text);
    case K::Boolean: return Value::Boolean(node.boolean);
    case K::Error: return Value::Error(node.error);
    case K::Missing: return Value{Value::Kind::Missing, {}, {}, {}};
    case K::Array: return Value{Value::Kind::Array, {}, {}, node.array};
    case K::Reference: return EvaluateReference(node);
    case K::Name: return EvaluateName(node);
    case K::Function: return EvaluateFunction(node);
    case K::Unary: return EvaluateUnary(node);
    case K::Percent: return EvaluatePercent(node);
    case K::Binary: return EvaluateBinary(node);
    case K::Range:
    case K::Intersection:
    case K::Union: return EvaluateRangeOperator(node);
    case K::Unsupported:
      MarkIncomplete("cannot evaluate " + node.text);
      return Value::Error(ErrorCode::Ref);
  }
  return Value::Error(ErrorCode::Value);
}

Value Evaluator::EvaluateReference(const FormulaNode& node) {
  const AreaRef& r = node.ref.area;
  Area a;
  a.sheet = node.ref.sheet.value_or("");
  a.top = r.Top();
  a.bottom = r.Bottom();
  a.left = r.Left();
  a.right = r.Right();
  return Value{Value::Kind::Range, {}, {a}, {}};
}

Value Evaluator::EvaluateName(const FormulaNode& node) {
  std::optional<std::string> formula = context_.NameFormula(node.name, node.nameSheet);
  if (!formula) return Value::Error(ErrorCode::Name);
  if (nameDepth_ >= kMaxNameDepth) {
    MarkIncomplete("defined name " + node.text + " refers to itself");
    return Value::Error(ErrorCode::Ref);
  }
  std::string_view text = *formula;
  if (!text.empty() && text[0] == '=') text.remove_prefix(1);
  ParsedFormula parsed = ParseFormula(text);
  if (!parsed.root) {
    MarkIncomplete("defined name " + node.text + ": " + parsed.error);
    return Value::Error(ErrorCode::Name);
  }
  ++nameDepth_;
  Value v = Evaluate(*parsed.root);
  --nameDepth_;
  return v;
}

}  // namespace eval

EvalResult EvaluateFormula(std::string_view formula, EvalContext& context, const EvalOptions& options) {
  ParsedFormula parsed = ParseFormula(formula);
  if (!parsed.root) return EvalResult{CellValue::Error(ErrorCode::Name), false, parsed.error};
  eval::Evaluator ev(context, options);
  CellValue value;
  try {
    value = ev.ToScalar(ev.Evaluate(*parsed.root));
  } catch (const eval::BudgetExceeded& over) {
    return EvalResult{CellValue::Error(ErrorCode::Num), false, over.problem};
  }
  // A formula showing an empty cell or an omitted argument shows 0.
  if (value.IsEmpty()) value = CellValue::Number(0);
  return EvalResult{std::move(value), ev.complete(), ev.problem()};
}

}  // namespace vemo::wb
