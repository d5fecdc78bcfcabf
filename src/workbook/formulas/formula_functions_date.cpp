// TODAY, DATE, YEAR, MONTH, DAY.
#include <cmath>

#include "workbook/formulas/formula_eval_internal.h"

namespace vemo::wb::eval {
namespace {

Value Today(FunctionCall& call) { return Value::Number(std::floor(call.evaluator().context().Today())); }

Value Date(FunctionCall& call) {
  std::optional<ErrorCode> error;
  double y = call.Number(0, error);
  double m = call.Number(1, error);
  double d = call.Number(2, error);
  if (error) return Value::Error(*error);
  if (std::fabs(y) > 1e5 || std::fabs(m) > 1e7 || std::fabs(d) > 1e8) return Value::Error(ErrorCode::Num);
  auto serial = DateSerial(static_cast<int>(std::trunc(y)), static_cast<int>(std::trunc(m)),
                           static_cast<int>(std::trunc(d)), call.evaluator().context().Date1904());
  if (!serial) return Value::Error(ErrorCode::Num);
  return Value::Number(*serial);
}

template <int YearMonthDay::*part>
Value DatePart(FunctionCall& call) {
  std::optional<ErrorCode> error;
  double serial = call.Number(0, error);
  if (error) return Value::Error(*error);
  auto date = SerialToDate(serial, call.evaluator().context().Date1904());
  if (!date) return Value::Error(ErrorCode::Num);
  return Value::Number((*date).*part);
}

}  // namespace

void AddDateFunctions(FunctionTable& table) {
  table.push_back({"TODAY", {0, 0, Today}});
  table.push_back({"DATE", {3, 3, Date, ArgMode::Scalar}});
  table.push_back({"YEAR", {1, 1, DatePart<&YearMonthDay::year>, ArgMode::Scalar}});
  table.push_back({"MONTH", {1, 1, DatePart<&YearMonthDay::month>, ArgMode::Scalar}});
  table.push_back({"DAY", {1, 1, DatePart<&YearMonthDay::day>, ArgMode::Scalar}});
}

}  // namespace vemo::wb::eval
