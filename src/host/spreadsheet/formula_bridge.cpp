#include "host/spreadsheet/formula_bridge.h"

#include <cmath>

#include "workbook/formula_eval.h"
#include "workbook/number_format.h"
#include "workbook/workbook_values.h"

namespace vemo::host {
namespace {

wb::CellValue ToEvaluator(const PlainValue& v) {
  switch (v.kind) {
    case PlainValue::Kind::Empty: return {};
    case PlainValue::Kind::Number: return wb::CellValue::Number(v.number);
    case PlainValue::Kind::Text: return wb::CellValue::Text(v.text);
    case PlainValue::Kind::Boolean: return wb::CellValue::Boolean(v.boolean);
    case PlainValue::Kind::Error:
      return wb::CellValue::Error(wb::ParseErrorText(v.text).value_or(wb::ErrorCode::Value));
  }
  return {};
}

PlainValue FromEvaluator(const wb::CellValue& v) {
  PlainValue out;
  switch (v.type()) {
    case wb::CellValue::Type::Empty: break;
    case wb::CellValue::Type::Number: out.kind = PlainValue::Kind::Number; out.number = v.number(); break;
    case wb::CellValue::Type::Text: out.kind = PlainValue::Kind::Text; out.text = v.text(); break;
    case wb::CellValue::Type::Boolean: out.kind = PlainValue::Kind::Boolean; out.boolean = v.boolean(); break;
    case wb::CellValue::Type::Error:
      out.kind = PlainValue::Kind::Error;
      out.text = std::string(wb::ErrorText(v.error()));
      break;
  }
  return out;
}

class Context : public wb::EvalContext {
 public:
  explicit Context(FormulaCells& cells) : cells_(cells) {}
  wb::CellValue CellAt(std::string_view sheet, int row, int col) override {
    return ToEvaluator(cells_.Cell(sheet, row, col));
  }
  std::optional<std::string> NameFormula(std::string_view name, std::string_view sheet) override {
    return cells_.NameFormula(name, sheet);
  }
  double Today() override { return wb::TodaySerial(cells_.Date1904()); }
  bool Date1904() override { return cells_.Date1904(); }
  Extent UsedExtent(std::string_view sheet) override { return {cells_.LastRow(sheet), cells_.LastColumn(sheet)}; }

 private:
  FormulaCells& cells_;
};

}  // namespace

FormulaOutcome EvaluateWithCells(std::string_view formula, int row, int col, FormulaCells& cells) {
  Context context(cells);
  wb::EvalOptions options;
  options.row = row;
  options.col = col;
  options.numberFormatter = [](double value, std::string_view code, bool date1904) {
    return wb::FormatNumber(value, code, date1904);
  };
  wb::EvalResult result = wb::EvaluateFormula(formula, context, options);
  return FormulaOutcome{FromEvaluator(result.value), result.complete};
}

}  // namespace vemo::host
