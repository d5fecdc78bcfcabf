#include "render/cell_values.h"

#include <chrono>

#include "render/render_declined.h"
#include "workbook/cell_address.h"
#include "workbook/date_serial.h"
#include "workbook/formula_eval.h"
#include "workbook/number_format.h"
#include "workbook/workbook.h"

namespace vemo::render {

class EvalBridge : public wb::EvalContext {
 public:
  EvalBridge(CellValues& values, const wb::Sheet& sheet) : values_(values), sheet_(sheet) {}
  wb::CellValue CellAt(std::string_view sheet, int row, int col) override {
    const wb::Sheet* target = sheet.empty() ? &sheet_ : values_.book_.FindSheet(sheet);
    if (!target) return wb::CellValue::Error(wb::ErrorCode::Ref);
    return values_.Get(*target, row, col);
  }
  std::optional<std::string> NameFormula(std::string_view name, std::string_view) override {
    const auto index = values_.book_.SheetIndex(sheet_);
    std::optional<std::string> global;
    for (const wb::DefinedName& n : values_.book_.DefinedNames()) {
      if (n.name != name) continue;
      if (index && n.localSheetId == static_cast<int>(*index)) return n.text;
      if (n.localSheetId < 0) global = n.text;
    }
    return global;
  }
  double Today() override {
    using namespace std::chrono;
    const year_month_day day{floor<days>(system_clock::now())};
    return wb::SerialFromDate(static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
                              static_cast<int>(static_cast<unsigned>(day.day())), Date1904())
        .value_or(0);
  }
  bool Date1904() override { return values_.book_.date1904(); }
  Extent UsedExtent(std::string_view sheet) override {
    const wb::Sheet* target = sheet.empty() ? &sheet_ : values_.book_.FindSheet(sheet);
    const auto used = target ? target->UsedRange() : std::nullopt;
    return used ? Extent{used->last.row, used->last.col} : Extent{0, 0};
  }

 private:
  CellValues& values_;
  const wb::Sheet& sheet_;
};

namespace {

wb::CellValue Stored(const wb::Sheet& sheet, int row, int col) {
  const wb::CellContent c = sheet.GetValue(row, col);
  switch (c.type) {
    case wb::CellType::Blank: return {};
    case wb::CellType::Number: return wb::CellValue::Number(c.number);
    case wb::CellType::Boolean: return wb::CellValue::Boolean(c.boolean);
    case wb::CellType::Error: return wb::CellValue::Error(wb::ParseErrorText(c.text).value_or(wb::ErrorCode::Value));
    default: return wb::CellValue::Text(c.text);
  }
}

}  // namespace

wb::CellValue CellValues::Get(const wb::Sheet& sheet, int row, int col) {
  const auto formula = sheet.FormulaText(row, col);
  if (!formula) return Stored(sheet, row, col);
  const Key key{&sheet, row, col};
  if (auto it = computed_.find(key); it != computed_.end()) return it->second;
  const std::string where = sheet.name() + "!" + wb::FormatCellAddress(row, col);
  if (const wb::Formula* f = sheet.GetFormula(row, col);
      f && (f->kind == wb::FormulaKind::Array || f->kind == wb::FormulaKind::DataTable))
    throw RenderDeclined("an array formula or data table at " + where);
  if (!computing_.insert(key).second) throw RenderDeclined("a circular formula at " + where);
  wb::CellValue value = Evaluate(sheet, *formula, row, col, where);
  computing_.erase(key);
  return computed_[key] = std::move(value);
}

wb::CellValue CellValues::Evaluate(const wb::Sheet& sheet, std::string_view formula, int row, int col,
                                   const std::string& where) {
  EvalBridge bridge(*this, sheet);
  wb::EvalOptions options;
  options.row = row, options.col = col;
  options.numberFormatter = [](double v, std::string_view code, bool d1904) { return wb::FormatNumber(v, code, d1904); };
  wb::EvalResult result = wb::EvaluateFormula(formula, bridge, options);
  if (!result.complete) throw RenderDeclined("a formula it cannot compute at " + where + " (" + result.problem + ")");
  return std::move(result.value);
}

}  // namespace vemo::render
