// Evaluation of a parsed formula: references, names, operators, function calls.
#include "workbook/formula_eval.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "workbook/formula_eval_internal.h"

namespace vemo::wb {

EvalContext::Extent EvalContext::UsedExtent(std::string_view) { return {kMaxRow, kMaxColumn}; }

namespace {
std::mutex formatterMutex;
NumberFormatter& DefaultFormatter() {
  static NumberFormatter formatter;
  return formatter;
}
}  // namespace

void SetDefaultNumberFormatter(NumberFormatter formatter) {
  std::lock_guard lock(formatterMutex);
  DefaultFormatter() = std::move(formatter);
}

namespace eval {

std::string FormatForText(Evaluator& ev, double value, std::string_view formatCode) {
  if (ev.options().numberFormatter) return ev.options().numberFormatter(value, formatCode, ev.context().Date1904());
  NumberFormatter fallback;
  {
    std::lock_guard lock(formatterMutex);
    fallback = DefaultFormatter();
  }
  if (fallback) return fallback(value, formatCode, ev.context().Date1904());
  return GeneralNumberText(value);
}

namespace {

constexpr int kMaxNameDepth = 32;

CellValue Arithmetic(const std::string& op, const CellValue& a, const CellValue& b) {
  CellValue x = ToNumber(a);
  if (x.IsError()) return x;
  CellValue y = ToNumber(b);
  if (y.IsError()) return y;
  double l = x.number(), r = y.number(), result = 0;
  switch (op[0]) {
    case '+': result = l + r; break;
    case '-': result = l - r; break;
    case '*': result = l * r; break;
    case '/':
      if (r == 0) return CellValue::Error(ErrorCode::Div0);
      result = l / r;
      break;
    case '^':
      if (l == 0 && r == 0) return CellValue::Error(ErrorCode::Num);
      if (l == 0 && r < 0) return CellValue::Error(ErrorCode::Div0);
      result = std::pow(l, r);
      break;
  }
  if (!std::isfinite(result)) return CellValue::Error(ErrorCode::Num);
  return CellValue::Number(result);
}

CellValue Concatenate(const CellValue& a, const CellValue& b) {
  CellValue x = ToText(a);
  if (x.IsError()) return x;
  CellValue y = ToText(b);
  if (y.IsError()) return y;
  return CellValue::Text(x.text() + y.text());
}

CellValue Comparison(const std::string& op, const CellValue& a, const CellValue& b) {
  if (a.IsError()) return a;
  if (b.IsError()) return b;
  int c = CompareValues(a, b);
  bool r = false;
  if (op == "=") r = c == 0;
  else if (op == "<>") r = c != 0;
  else if (op == "<") r = c < 0;
  else if (op == ">") r = c > 0;
  else if (op == "<=") r = c <= 0;
  else if (op == ">=") r = c >= 0;
  return CellValue::Boolean(r);
}

// Element (r, c) of an operand stretched to a larger array: a single row or
// column repeats; positions that exist in neither direction are #N/A.
CellValue ElementAt(const Matrix& m, std::size_t r, std::size_t c) {
  std::size_t rr = m.size() == 1 ? 0 : r, cc = m[0].size() == 1 ? 0 : c;
  if (rr >= m.size() || cc >= m[0].size()) return CellValue::Error(ErrorCode::NA);
  return m[rr][cc];
}

bool SameSheet(const Area& a, const Area& b) { return SameSheetName(a.sheet, b.sheet); }

}  // namespace

FunctionCall::FunctionCall(Evaluator& ev, const FormulaNode& node, std::vector<Value> args)
    : ev_(ev), node_(node), cache_(node.children.size()) {
  for (std::size_t i = 0; i < args.size() && i < cache_.size(); ++i) cache_[i] = std::move(args[i]);
}

bool FunctionCall::IsMissing(std::size_t i) const {
  return i >= node_.children.size() || node_.children[i]->kind == FormulaNode::Kind::Missing;
}

bool FunctionCall::IsReference(std::size_t i) const {
  if (i >= node_.children.size()) return false;
  auto k = node_.children[i]->kind;
  return k == FormulaNode::Kind::Reference || k == FormulaNode::Kind::Name || k == FormulaNode::Kind::Range ||
         k == FormulaNode::Kind::Intersection || k == FormulaNode::Kind::Union;
}

const Value& FunctionCall::Arg(std::size_t i) {
  if (!cache_[i]) cache_[i] = ev_.Evaluate(*node_.children[i]);
  return *cache_[i];
}

CellValue FunctionCall::Scalar(std::size_t i) {
  if (IsMissing(i)) return CellValue();
  return ev_.ToScalar(Arg(i));
}

double FunctionCall::Number(std::size_t i, std::optional<ErrorCode>& error) {
  CellValue v = ToNumber(Scalar(i));
  if (v.IsError()) {
    if (!error) error = v.error();
    return 0;
  }
  return v.number();
}

std::string FunctionCall::Text(std::size_t i, std::optional<ErrorCode>& error) {
  CellValue v = ToText(Scalar(i));
  if (v.IsError()) {
    if (!error) error = v.error();
    return {};
  }
  return v.text();
}

void Evaluator::MarkIncomplete(std::string problem) {
  if (complete_) problem_ = std::move(problem);
  complete_ = false;
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
  // Keep the full shape (operands must match in size) but read no cell past
  // the used part of the sheet.
  const Area& a = v.areas[0];
  const Area used = Clipped(a);
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
    case K::Percent: {
      Value v = Operand(Evaluate(*node.children[0]));
      return Elementwise(v, Value::Number(100), [](const CellValue& a, const CellValue& b) {
        return Arithmetic("/", a, b);
      });
    }
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

Value Evaluator::EvaluateFunction(const FormulaNode& node) {
  const FunctionSpec* spec = FindFunction(node.text);
  if (!spec) {
    MarkIncomplete("unknown function " + node.text);
    return Value::Error(ErrorCode::Name);
  }
  const int n = static_cast<int>(node.children.size());
  if (n < spec->minArgs || (spec->maxArgs >= 0 && n > spec->maxArgs)) {
    MarkIncomplete("wrong number of arguments to " + node.text);
    return Value::Error(ErrorCode::Value);
  }
  if (spec->mode == ArgMode::Scalar && InArrayContext()) return ApplyOverArrays(node, *spec);
  FunctionCall call(*this, node);
  if (spec->mode == ArgMode::Array) EnterArrayContext();
  Value result = spec->impl(call);
  if (spec->mode == ArgMode::Array) LeaveArrayContext();
  return result;
}

// Inside SUMPRODUCT, ROUND(A1:A3*B1:B3,2) rounds each product: a function of
// single values is applied to each element of its array arguments.
Value Evaluator::ApplyOverArrays(const FormulaNode& node, const FunctionSpec& spec) {
  std::vector<Value> args;
  std::size_t rows = 1, cols = 1;
  bool anyArray = false;
  for (const auto& child : node.children) {
    args.push_back(child->kind == FormulaNode::Kind::Missing ? Value{Value::Kind::Missing, {}, {}, {}}
                                                             : Operand(Evaluate(*child)));
    if (args.back().kind == Value::Kind::Array) {
      anyArray = true;
      rows = std::max(rows, args.back().array.size());
      cols = std::max(cols, args.back().array[0].size());
    }
  }
  if (!anyArray) {
    FunctionCall call(*this, node, std::move(args));
    return spec.impl(call);
  }
  Matrix out(rows, std::vector<CellValue>(cols));
  for (std::size_t r = 0; r < rows; ++r)
    for (std::size_t c = 0; c < cols; ++c) {
      std::vector<Value> element;
      for (const Value& a : args)
        element.push_back(a.kind == Value::Kind::Array ? Value::Of(ElementAt(a.array, r, c)) : a);
      FunctionCall call(*this, node, std::move(element));
      out[r][c] = ToScalar(spec.impl(call));
    }
  return Value{Value::Kind::Array, {}, {}, std::move(out)};
}

Value Evaluator::Operand(const Value& v) {
  if (v.kind == Value::Kind::Range) {
    if (InArrayContext()) {
      if (auto m = ToMatrix(v)) return Value{Value::Kind::Array, {}, {}, std::move(*m)};
      return Value::Error(ErrorCode::Value);
    }
    return Value::Of(ToScalar(v));
  }
  if (v.kind == Value::Kind::Missing) return Value::Of(CellValue());
  return v;
}

Value Evaluator::Elementwise(const Value& a, const Value& b,
                             const std::function<CellValue(const CellValue&, const CellValue&)>& op) {
  if (a.kind != Value::Kind::Array && b.kind != Value::Kind::Array) return Value::Of(op(a.scalar, b.scalar));
  Matrix ma = a.kind == Value::Kind::Array ? a.array : Matrix{{a.scalar}};
  Matrix mb = b.kind == Value::Kind::Array ? b.array : Matrix{{b.scalar}};
  const std::size_t rows = std::max(ma.size(), mb.size());
  const std::size_t cols = std::max(ma[0].size(), mb[0].size());
  Matrix out(rows, std::vector<CellValue>(cols));
  for (std::size_t r = 0; r < rows; ++r)
    for (std::size_t c = 0; c < cols; ++c) out[r][c] = op(ElementAt(ma, r, c), ElementAt(mb, r, c));
  return Value{Value::Kind::Array, {}, {}, std::move(out)};
}

Value Evaluator::EvaluateUnary(const FormulaNode& node) {
  Value v = Operand(Evaluate(*node.children[0]));
  if (node.text == "+") return v;  // unary plus changes nothing, not even the type
  return Elementwise(Value::Number(0), v, [](const CellValue& zero, const CellValue& x) {
    CellValue n = ToNumber(x);
    if (n.IsError()) return n;
    return Arithmetic("-", zero, n);
  });
}

Value Evaluator::EvaluateBinary(const FormulaNode& node) {
  Value a = Operand(Evaluate(*node.children[0]));
  Value b = Operand(Evaluate(*node.children[1]));
  const std::string& op = node.text;
  if (op == "&") return Elementwise(a, b, Concatenate);
  if (op == "+" || op == "-" || op == "*" || op == "/" || op == "^")
    return Elementwise(a, b, [&op](const CellValue& x, const CellValue& y) { return Arithmetic(op, x, y); });
  return Elementwise(a, b, [&op](const CellValue& x, const CellValue& y) { return Comparison(op, x, y); });
}

Value Evaluator::EvaluateRangeOperator(const FormulaNode& node) {
  std::vector<Value> parts;
  for (const auto& child : node.children) {
    Value v = Evaluate(*child);
    if (v.kind == Value::Kind::Scalar && v.scalar.IsError()) return v;
    if (v.kind != Value::Kind::Range) return Value::Error(ErrorCode::Value);
    parts.push_back(std::move(v));
  }
  if (node.kind == FormulaNode::Kind::Union) {
    Value u{Value::Kind::Range, {}, {}, {}};
    for (const Value& p : parts) u.areas.insert(u.areas.end(), p.areas.begin(), p.areas.end());
    return u;
  }
  if (parts[0].areas.size() != 1 || parts[1].areas.size() != 1) return Value::Error(ErrorCode::Value);
  const Area& a = parts[0].areas[0];
  const Area& b = parts[1].areas[0];
  if (!SameSheet(a, b)) return Value::Error(ErrorCode::Value);
  Area r;
  r.sheet = a.sheet;
  if (node.kind == FormulaNode::Kind::Range) {
    r.top = std::min(a.top, b.top);
    r.left = std::min(a.left, b.left);
    r.bottom = std::max(a.bottom, b.bottom);
    r.right = std::max(a.right, b.right);
  } else {
    r.top = std::max(a.top, b.top);
    r.left = std::max(a.left, b.left);
    r.bottom = std::min(a.bottom, b.bottom);
    r.right = std::min(a.right, b.right);
    if (r.top > r.bottom || r.left > r.right) return Value::Error(ErrorCode::Null);
  }
  return Value{Value::Kind::Range, {}, {r}, {}};
}

}  // namespace eval

EvalResult EvaluateFormula(std::string_view formula, EvalContext& context, const EvalOptions& options) {
  ParsedFormula parsed = ParseFormula(formula);
  if (!parsed.root) return EvalResult{CellValue::Error(ErrorCode::Name), false, parsed.error};
  eval::Evaluator ev(context, options);
  eval::Value v = ev.Evaluate(*parsed.root);
  CellValue value = ev.ToScalar(v);
  // A formula showing an empty cell or an omitted argument shows 0.
  if (value.IsEmpty()) value = CellValue::Number(0);
  return EvalResult{std::move(value), ev.complete(), ev.problem()};
}

}  // namespace vemo::wb
