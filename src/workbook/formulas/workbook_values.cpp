#include "workbook/workbook_values.h"

#include <chrono>

#include "workbook/cell_address.h"
#include "workbook/date_serial.h"
#include "workbook/formula_eval.h"
#include "workbook/number_format.h"
#include "workbook/workbook.h"

namespace vemo::wb {

class WorkbookEvalContext : public EvalContext {
 public:
  WorkbookEvalContext(WorkbookValues& values, const Sheet& sheet) : values_(values), sheet_(sheet) {}
  CellValue CellAt(std::string_view sheet, int row, int col) override {
    const Sheet* target = sheet.empty() ? &sheet_ : values_.book_.FindSheet(sheet);
    if (!target) return CellValue::Error(ErrorCode::Ref);
    return values_.Get(*target, row, col);
  }
  std::optional<std::string> NameFormula(std::string_view name, std::string_view) override {
    const auto index = values_.book_.SheetIndex(sheet_);
    std::optional<std::string> global;
    for (const DefinedName& n : values_.book_.DefinedNames()) {
      if (n.name != name) continue;
      if (index && n.localSheetId == static_cast<int>(*index)) return n.text;
      if (n.localSheetId < 0) global = n.text;
    }
    return global;
  }
  double Today() override { return TodaySerial(Date1904()); }
  bool Date1904() override { return values_.book_.date1904(); }
  Extent UsedExtent(std::string_view sheet) override {
    const Sheet* target = sheet.empty() ? &sheet_ : values_.book_.FindSheet(sheet);
    const auto used = target ? target->UsedRange() : std::nullopt;
    return used ? Extent{used->last.row, used->last.col} : Extent{0, 0};
  }

 private:
  WorkbookValues& values_;
  const Sheet& sheet_;
};

namespace {

CellValue Stored(const Sheet& sheet, int row, int col) {
  const CellContent c = sheet.GetValue(row, col);
  switch (c.type) {
    case CellType::Blank: return {};
    case CellType::Number: return CellValue::Number(c.number);
    case CellType::Boolean: return CellValue::Boolean(c.boolean);
    case CellType::Error: return CellValue::Error(ParseErrorText(c.text).value_or(ErrorCode::Value));
    default: return CellValue::Text(c.text);
  }
}

}  // namespace

bool IsConstantArithmetic(std::string_view formula) {
  bool digitBefore = false;
  for (std::size_t i = 0; i < formula.size(); ++i) {
    const char c = formula[i];
    const bool digit = c >= '0' && c <= '9';
    // An exponent follows a digit ("1E5", "2.5e-3"); any other letter is a
    // name, a function or a reference.
    const bool exponent = (c == 'E' || c == 'e') && digitBefore;
    if (!digit && !exponent && std::string_view("+-*/^.%() ").find(c) == std::string_view::npos) return false;
    digitBefore = digit || (c == '.' && digitBefore);
  }
  return !formula.empty();
}

CellValue WorkbookValues::Get(const Sheet& sheet, int row, int col) {
  const auto formula = sheet.FormulaText(row, col);
  if (!formula) return Stored(sheet, row, col);
  if (constants_ == Constants::KeepCached && IsConstantArithmetic(*formula)) {
    CellValue cached = Stored(sheet, row, col);
    if (cached.type() != CellValue::Type::Empty) return cached;
  }
  const Key key{&sheet, row, col};
  if (auto it = computed_.find(key); it != computed_.end()) return it->second;
  const std::string where = sheet.name() + "!" + FormatCellAddress(row, col);
  if (const Formula* f = sheet.GetFormula(row, col);
      f && (f->kind == FormulaKind::Array || f->kind == FormulaKind::DataTable))
    throw CannotCompute("an array formula or data table at " + where);
  if (!computing_.insert(key).second) throw CannotCompute("a circular formula at " + where);
  CellValue value = Evaluate(sheet, *formula, row, col, where);
  computing_.erase(key);
  return computed_[key] = std::move(value);
}

CellValue WorkbookValues::Evaluate(const Sheet& sheet, std::string_view formula, int row, int col,
                                   const std::string& where) {
  WorkbookEvalContext context(*this, sheet);
  EvalOptions options;
  options.row = row, options.col = col;
  options.numberFormatter = [](double v, std::string_view code, bool d1904) { return FormatNumber(v, code, d1904); };
  EvalResult result = EvaluateFormula(formula, context, options);
  if (!result.complete) throw CannotCompute("a formula it cannot compute at " + where + " (" + result.problem + ")");
  return std::move(result.value);
}

CellContent ContentOf(const CellValue& value) {
  CellContent c;
  switch (value.type()) {
    case CellValue::Type::Empty: break;
    case CellValue::Type::Number: c.type = CellType::Number, c.number = value.number(); break;
    case CellValue::Type::Boolean: c.type = CellType::Boolean, c.boolean = value.boolean(); break;
    case CellValue::Type::Error: c.type = CellType::Error, c.text = std::string(ErrorText(value.error())); break;
    case CellValue::Type::Text: c.type = CellType::String, c.text = value.text(); break;
  }
  return c;
}

double TodaySerial(bool date1904) {
  using namespace std::chrono;
  const year_month_day day{floor<days>(system_clock::now())};
  return SerialFromDate(static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
                        static_cast<int>(static_cast<unsigned>(day.day())), date1904)
      .value_or(0);
}

}  // namespace vemo::wb
