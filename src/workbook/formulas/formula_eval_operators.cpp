// Operators: arithmetic, concatenation, comparison, and the reference
// operators ':' (range), ' ' (intersection) and ',' (union).
#include <algorithm>
#include <cmath>

#include "workbook/formulas/formula_eval_internal.h"

namespace vemo::wb::eval {

namespace {

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

bool SameSheet(const Area& a, const Area& b) { return SameSheetName(a.sheet, b.sheet); }

}  // namespace

CellValue ElementAt(const Matrix& m, std::size_t r, std::size_t c) {
  std::size_t rr = m.size() == 1 ? 0 : r, cc = m[0].size() == 1 ? 0 : c;
  if (rr >= m.size() || cc >= m[0].size()) return CellValue::Error(ErrorCode::NA);
  return m[rr][cc];
}

Value Evaluator::EvaluatePercent(const FormulaNode& node) {
  Value v = Operand(Evaluate(*node.children[0]));
  return Elementwise(v, Value::Number(100), [](const CellValue& a, const CellValue& b) { return Arithmetic("/", a, b); });
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
  // A scalar side is read as a 1x1 array; array sides are read in place.
  const Matrix oneA = a.kind == Value::Kind::Array ? Matrix{} : Matrix{{a.scalar}};
  const Matrix oneB = b.kind == Value::Kind::Array ? Matrix{} : Matrix{{b.scalar}};
  const Matrix& ma = a.kind == Value::Kind::Array ? a.array : oneA;
  const Matrix& mb = b.kind == Value::Kind::Array ? b.array : oneB;
  const std::size_t rows = std::max(ma.size(), mb.size());
  const std::size_t cols = std::max(ma[0].size(), mb[0].size());
  ChargeMemory(rows * cols);
  Matrix out(rows, std::vector<CellValue>(cols));
  for (std::size_t r = 0; r < rows; ++r)
    for (std::size_t c = 0; c < cols; ++c) {
      out[r][c] = op(ElementAt(ma, r, c), ElementAt(mb, r, c));
      if (out[r][c].IsText()) ChargeMemory(0, out[r][c].text().size());
    }
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

}  // namespace vemo::wb::eval
