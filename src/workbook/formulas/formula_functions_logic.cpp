// IF, IFERROR, AND, OR, NOT, the IS... tests and N.
#include "workbook/formulas/formula_eval_internal.h"

namespace vemo::wb::eval {
namespace {

// A branch written as an omitted argument (IF(A1,,"x")) yields 0.
Value Branch(FunctionCall& call, std::size_t i) {
  if (call.IsMissing(i)) return Value::Number(0);
  return call.Arg(i);
}

Value If(FunctionCall& call) {
  CellValue cond = ToBoolean(call.Scalar(0));
  if (cond.IsError()) return Value::Of(cond);
  if (cond.boolean()) return Branch(call, 1);
  if (call.Count() < 3) return Value::Boolean(false);
  return Branch(call, 2);
}

Value IfError(FunctionCall& call) {
  CellValue v = call.Scalar(0);
  if (v.IsError()) return Branch(call, 1);
  return Value::Of(v);
}

Value IfNa(FunctionCall& call) {
  CellValue v = call.Scalar(0);
  if (v.IsError() && v.error() == ErrorCode::NA) return Branch(call, 1);
  return Value::Of(v);
}

// AND / OR: booleans and numbers count; text and empty cells in ranges are
// skipped; with nothing left to test the result is #VALUE!.
template <bool isAnd>
Value Logical(FunctionCall& call) {
  bool any = false;
  bool result = isAnd;
  std::optional<ErrorCode> error;
  for (std::size_t i = 0; i < call.Count() && !error; ++i) {
    if (call.IsMissing(i)) {
      any = true;
      result = isAnd ? false : result;
      continue;
    }
    call.evaluator().ForEach(call.Arg(i), [&](const CellValue& v, bool fromReference) {
      if (v.IsError()) {
        error = v.error();
        return false;
      }
      if (fromReference && (v.IsText() || v.IsEmpty())) return true;
      CellValue b = ToBoolean(v);
      if (b.IsError()) {
        error = b.error();
        return false;
      }
      any = true;
      result = isAnd ? (result && b.boolean()) : (result || b.boolean());
      return true;
    });
  }
  if (error) return Value::Error(*error);
  if (!any) return Value::Error(ErrorCode::Value);
  return Value::Boolean(result);
}

Value Not(FunctionCall& call) {
  CellValue b = ToBoolean(call.Scalar(0));
  if (b.IsError()) return Value::Of(b);
  return Value::Boolean(!b.boolean());
}

template <CellValue::Type type>
Value IsType(FunctionCall& call) {
  return Value::Boolean(call.Scalar(0).type() == type);
}

Value IsNa(FunctionCall& call) {
  CellValue v = call.Scalar(0);
  return Value::Boolean(v.IsError() && v.error() == ErrorCode::NA);
}

// N: a number as itself, TRUE as 1, errors as they are, anything else 0. A
// range gives its first cell (not the cell in the formula's row).
Value NumberOf(FunctionCall& call) {
  const Value& v = call.Arg(0);
  CellValue x;
  if (v.kind == Value::Kind::Range && !v.areas.empty()) {
    const Area& a = v.areas[0];
    x = call.evaluator().Cell(a.sheet, a.top, a.left);
  } else if (v.kind == Value::Kind::Array) {
    x = v.array[0][0];
  } else if (v.kind == Value::Kind::Scalar) {
    x = v.scalar;
  }
  if (x.IsError() || x.IsNumber()) return Value::Of(x);
  if (x.IsBoolean()) return Value::Number(x.boolean() ? 1 : 0);
  return Value::Number(0);
}

Value True(FunctionCall&) { return Value::Boolean(true); }
Value False(FunctionCall&) { return Value::Boolean(false); }

}  // namespace

void AddLogicFunctions(FunctionTable& table) {
  table.push_back({"IF", {2, 3, If, ArgMode::Scalar}});
  table.push_back({"IFERROR", {2, 2, IfError, ArgMode::Scalar}});
  table.push_back({"IFNA", {2, 2, IfNa, ArgMode::Scalar}});
  table.push_back({"AND", {1, -1, Logical<true>}});
  table.push_back({"OR", {1, -1, Logical<false>}});
  table.push_back({"NOT", {1, 1, Not, ArgMode::Scalar}});
  table.push_back({"ISERROR", {1, 1, IsType<CellValue::Type::Error>, ArgMode::Scalar}});
  table.push_back({"ISNA", {1, 1, IsNa, ArgMode::Scalar}});
  table.push_back({"ISBLANK", {1, 1, IsType<CellValue::Type::Empty>, ArgMode::Scalar}});
  table.push_back({"ISNUMBER", {1, 1, IsType<CellValue::Type::Number>, ArgMode::Scalar}});
  table.push_back({"ISTEXT", {1, 1, IsType<CellValue::Type::Text>, ArgMode::Scalar}});
  table.push_back({"N", {1, 1, NumberOf}});
  table.push_back({"TRUE", {0, 0, True}});
  table.push_back({"FALSE", {0, 0, False}});
}

}  // namespace vemo::wb::eval
