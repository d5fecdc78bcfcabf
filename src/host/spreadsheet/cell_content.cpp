#include "host/spreadsheet/cell_content.h"

#include <optional>

#include "foundation/host_error.h"
#include "foundation/utf8_text.h"
#include "workbook/date_serial.h"
#include "workbook/number_format.h"
#include "workbook/reference_shift.h"
#include "workbook/shared_strings.h"
#include "workbook/workbook.h"

namespace vemo::host {
namespace {

std::string FormulaOf(const wb::Sheet& sheet, int row, int col, const wb::Cell& cell) {
  const wb::Formula& f = sheet.formulas()[cell.formula];
  if (f.kind == wb::FormulaKind::Shared && f.text.empty()) {
    // A cell that only uses a shared formula: translate the master's text.
    auto master = sheet.SharedFormulaMaster(f.sharedIndex);
    const wb::Formula* text = master ? sheet.GetFormula(master->row, master->col) : nullptr;
    if (!master || !text) return "=";
    return "=" + wb::TranslateFormula(text->text, row - master->row, col - master->col);
  }
  return "=" + f.text;
}

}  // namespace

bool IsGeneralCode(std::string_view code) {
  return code.empty() || EqualsIgnoreCase(code, "General") || code == kGeneralLocalName;
}

bool IsTextCode(std::string_view code) { return code == "@"; }

std::string FormatCodeFromLocal(std::string_view local) {
  return IsGeneralCode(local) ? std::string("General") : std::string(local);
}

std::string LocalFromFormatCode(std::string_view code) {
  return IsGeneralCode(code) ? std::string(kGeneralLocalName) : std::string(code);
}

namespace {

std::string_view StyleFormatCode(const wb::Sheet& sheet, std::uint32_t style) {
  const std::string& code = sheet.book().styles().NumberFormatCode(style);
  return code.empty() ? std::string_view("General") : std::string_view(code);
}

}  // namespace

std::string_view CellFormatCodeView(const wb::Sheet& sheet, int row, int col) {
  const wb::Cell* cell = sheet.FindCell(row, col);
  std::uint32_t style = cell ? cell->style : 0;
  if (!cell) {
    // An empty cell shows its row's format when the row has one.
    if (const wb::Row* r = sheet.FindRow(row); r && r->customFormat) style = r->style;
  }
  return StyleFormatCode(sheet, style);
}

std::string CellFormatCode(const wb::Sheet& sheet, int row, int col) {
  return std::string(CellFormatCodeView(sheet, row, col));
}

void SetCellFormatCode(wb::Sheet& sheet, int row, int col, std::string_view code) {
  wb::Cell& cell = sheet.GetOrAddCell(row, col);
  std::string model = FormatCodeFromLocal(code);
  if (sheet.book().styles().NumberFormatCode(cell.style) == model) return;
  sheet.SetStyle(row, col, sheet.book().styles().WithNumberFormat(cell.style, model));
}

std::string CellFormulaText(const wb::Sheet& sheet, int row, int col) {
  const wb::Cell* cell = sheet.FindCell(row, col);
  if (!cell) return {};
  if (cell->formula != wb::kNoIndex) return FormulaOf(sheet, row, col, *cell);
  wb::CellContent v = sheet.GetValue(row, col);
  switch (v.type) {
    case wb::CellType::Blank: return {};
    case wb::CellType::Number: return NumberToText(v.number);
    case wb::CellType::Boolean: return v.boolean ? "TRUE" : "FALSE";
    default: return v.text;
  }
}

std::string CellDisplayText(const wb::Sheet& sheet, int row, int col) {
  const wb::Cell* cell = sheet.FindCell(row, col);
  if (!cell) return {};
  // Texts are formatted in place: the engine reads the text of every
  // keyword cell of every bill line.
  if (cell->type == wb::CellType::SharedString || cell->type == wb::CellType::InlineString) {
    const std::string_view shown = StyleFormatCode(sheet, cell->style);
    if (cell->type == wb::CellType::SharedString)
      return wb::FormatText(sheet.book().sharedStrings().Text(cell->text), shown);
    if (cell->text < sheet.texts().size())
      if (std::optional<std::string_view> plain = wb::PlainItemText(sheet.texts()[cell->text]))
        return wb::FormatText(*plain, shown);
  }
  wb::CellContent v = sheet.GetValue(row, col);
  const std::string_view code = CellFormatCodeView(sheet, row, col);
  switch (v.type) {
    case wb::CellType::Blank: return {};
    case wb::CellType::Number: return wb::FormatNumber(v.number, code, sheet.book().date1904());
    case wb::CellType::Boolean: return v.boolean ? "TRUE" : "FALSE";
    case wb::CellType::Error: return v.text;
    case wb::CellType::Date: return v.text;  // an ISO date the file stores as text
    default: return wb::FormatText(v.text, code);
  }
}

Variant CellVariant(const wb::Sheet& sheet, int row, int col) {
  wb::CellContent v = sheet.GetValue(row, col);
  switch (v.type) {
    case wb::CellType::Blank: return {};
    case wb::CellType::Number: {
      bool date1904 = sheet.book().date1904();
      if (wb::NumberFormat::Parse(CellFormatCode(sheet, row, col)).IsDateTime() && v.number >= 0)
        return HostDate{wb::HostDateFromSerial(v.number, date1904)};
      return v.number;
    }
    case wb::CellType::Boolean: return v.boolean;
    default: return v.text;
  }
}

}  // namespace vemo::host
