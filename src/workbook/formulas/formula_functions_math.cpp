// SUM, SUMPRODUCT, ROUND and the other numeric functions.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "workbook/formulas/formula_eval_internal.h"

namespace vemo::wb::eval {
namespace {

struct Numbers {
  std::vector<double> values;
  std::optional<ErrorCode> error;
};

// The numbers aggregate functions see: in ranges and arrays only real numbers
// count (text and booleans are skipped); values typed as arguments are
// converted ("3" -> 3, TRUE -> 1) and text that is not a number is #VALUE!.
Numbers CollectNumbers(FunctionCall& call) {
  Numbers out;
  for (std::size_t i = 0; i < call.Count() && !out.error; ++i) {
    if (call.IsMissing(i)) {
      out.values.push_back(0);
      continue;
    }
    call.evaluator().ForEach(call.Arg(i), [&](const CellValue& v, bool fromReference) {
      if (v.IsError()) {
        out.error = v.error();
        return false;
      }
      if (v.IsNumber()) {
        out.values.push_back(v.number());
      } else if (!fromReference) {
        CellValue n = ToNumber(v);
        if (n.IsError()) {
          out.error = n.error();
          return false;
        }
        out.values.push_back(n.number());
      }
      return true;
    });
  }
  return out;
}

Value Sum(FunctionCall& call) {
  Numbers n = CollectNumbers(call);
  if (n.error) return Value::Error(*n.error);
  double s = 0;
  for (double v : n.values) s += v;
  return Value::Number(s);
}

Value Average(FunctionCall& call) {
  Numbers n = CollectNumbers(call);
  if (n.error) return Value::Error(*n.error);
  if (n.values.empty()) return Value::Error(ErrorCode::Div0);
  double s = 0;
  for (double v : n.values) s += v;
  return Value::Number(s / static_cast<double>(n.values.size()));
}

Value Min(FunctionCall& call) {
  Numbers n = CollectNumbers(call);
  if (n.error) return Value::Error(*n.error);
  if (n.values.empty()) return Value::Number(0);
  return Value::Number(*std::min_element(n.values.begin(), n.values.end()));
}

Value Max(FunctionCall& call) {
  Numbers n = CollectNumbers(call);
  if (n.error) return Value::Error(*n.error);
  if (n.values.empty()) return Value::Number(0);
  return Value::Number(*std::max_element(n.values.begin(), n.values.end()));
}

// COUNT: numbers in ranges; typed arguments that convert to numbers.
Value Count(FunctionCall& call) {
  double count = 0;
  for (std::size_t i = 0; i < call.Count(); ++i) {
    if (call.IsMissing(i)) continue;
    call.evaluator().ForEach(call.Arg(i), [&](const CellValue& v, bool fromReference) {
      if (v.IsNumber() || (!fromReference && !v.IsError() && !v.IsEmpty() && !ToNumber(v).IsError())) ++count;
      return true;
    });
  }
  return Value::Number(count);
}

// COUNTA: every non-empty value, errors and empty text included.
Value CountA(FunctionCall& call) {
  double count = 0;
  for (std::size_t i = 0; i < call.Count(); ++i) {
    if (call.IsMissing(i)) continue;
    call.evaluator().ForEach(call.Arg(i), [&](const CellValue& v, bool fromReference) {
      if (!v.IsEmpty() || !fromReference) ++count;
      return true;
    });
  }
  return Value::Number(count);
}

Value SumProduct(FunctionCall& call) {
  std::vector<Matrix> arrays;
  for (std::size_t i = 0; i < call.Count(); ++i) {
    if (call.IsMissing(i)) return Value::Error(ErrorCode::Value);
    const Value& arg = call.Arg(i);
    if (arg.kind == Value::Kind::Scalar && arg.scalar.IsError()) return arg;
    auto m = call.evaluator().ToMatrix(arg);
    if (!m) return Value::Error(ErrorCode::Value);
    if (!arrays.empty() && (m->size() != arrays[0].size() || (*m)[0].size() != arrays[0][0].size()))
      return Value::Error(ErrorCode::Value);
    arrays.push_back(std::move(*m));
  }
  double total = 0;
  for (std::size_t r = 0; r < arrays[0].size(); ++r)
    for (std::size_t c = 0; c < arrays[0][0].size(); ++c) {
      double product = 1;
      for (const Matrix& m : arrays) {
        const CellValue& v = m[r][c];
        if (v.IsError()) return Value::Of(v);
        product *= v.IsNumber() ? v.number() : 0;  // text and booleans count as 0
      }
      total += product;
    }
  return Value::Number(total);
}

// Rounds to 15 significant digits first, so that 2.675 (stored as
// 2.67499999...) rounds to 2.68 as users expect from the decimal they see.
double Decimal15(double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.14e", x);
  return std::strtod(buf, nullptr);
}

enum class RoundMode { HalfAwayFromZero, Up, Down };

double RoundTo(double x, double digitsArg, RoundMode mode) {
  int digits = static_cast<int>(std::trunc(digitsArg));
  if (digits > 15) return x;
  if (digits < -308) return 0;
  double scale = std::pow(10.0, std::abs(digits));
  double scaled = Decimal15(digits >= 0 ? x * scale : x / scale);
  if (!std::isfinite(scaled)) return x;
  double magnitude = std::fabs(scaled);
  switch (mode) {
    case RoundMode::HalfAwayFromZero: magnitude = std::floor(magnitude + 0.5); break;
    case RoundMode::Up: magnitude = std::ceil(magnitude); break;
    case RoundMode::Down: magnitude = std::floor(magnitude); break;
  }
  double r = std::copysign(magnitude, scaled);
  r = digits >= 0 ? r / scale : r * scale;
  return r == 0 ? 0 : r;  // no -0
}

template <RoundMode mode>
Value Round(FunctionCall& call) {
  std::optional<ErrorCode> error;
  double x = call.Number(0, error);
  double digits = call.Count() > 1 ? call.Number(1, error) : 0;
  if (error) return Value::Error(*error);
  return Value::Number(RoundTo(x, digits, mode));
}

Value Int(FunctionCall& call) {
  std::optional<ErrorCode> error;
  double x = call.Number(0, error);
  if (error) return Value::Error(*error);
  return Value::Number(std::floor(x));
}

Value Abs(FunctionCall& call) {
  std::optional<ErrorCode> error;
  double x = call.Number(0, error);
  if (error) return Value::Error(*error);
  return Value::Number(std::fabs(x));
}

Value Mod(FunctionCall& call) {
  std::optional<ErrorCode> error;
  double n = call.Number(0, error);
  double d = call.Number(1, error);
  if (error) return Value::Error(*error);
  if (d == 0) return Value::Error(ErrorCode::Div0);
  double r = n - d * std::floor(n / d);
  return Value::Number(r == 0 ? 0 : r);
}

}  // namespace

void AddMathFunctions(FunctionTable& table) {
  table.push_back({"SUM", {1, -1, Sum}});
  table.push_back({"AVERAGE", {1, -1, Average}});
  table.push_back({"MIN", {1, -1, Min}});
  table.push_back({"MAX", {1, -1, Max}});
  table.push_back({"COUNT", {1, -1, Count}});
  table.push_back({"COUNTA", {1, -1, CountA}});
  table.push_back({"SUMPRODUCT", {1, -1, SumProduct, ArgMode::Array}});
  table.push_back({"ROUND", {2, 2, Round<RoundMode::HalfAwayFromZero>, ArgMode::Scalar}});
  table.push_back({"ROUNDUP", {2, 2, Round<RoundMode::Up>, ArgMode::Scalar}});
  table.push_back({"ROUNDDOWN", {2, 2, Round<RoundMode::Down>, ArgMode::Scalar}});
  table.push_back({"INT", {1, 1, Int, ArgMode::Scalar}});
  table.push_back({"ABS", {1, 1, Abs, ArgMode::Scalar}});
  table.push_back({"MOD", {2, 2, Mod, ArgMode::Scalar}});
}

}  // namespace vemo::wb::eval
