#include "host/spreadsheet/cell_entry.h"

#include <cmath>
#include <iostream>

#include "foundation/host_error.h"
#include "host/spreadsheet/cell_calculate.h"
#include "host/spreadsheet/cell_content.h"
#include "workbook/cell_address.h"
#include "workbook/date_serial.h"
#include "workbook/surface_support.h"
#include "workbook/value_entry.h"
#include "workbook/workbook.h"

namespace vemo::host {

void WriteCellFormulaAndCalculate(wb::Sheet& sheet, int row, int col, std::string_view formulaWithoutEquals) {
  sheet.SetFormula(row, col, formulaWithoutEquals);
  if (!CalculateCell(sheet, row, col)) wb::RequestFullCalcOnLoad(sheet.book());
}

void WriteCellEntry(wb::Sheet& sheet, int row, int col, std::string_view text) {
  const std::string_view code = CellFormatCodeView(sheet, row, col);
  wb::EntryResult entry = wb::InterpretEntry(text, IsTextCode(code), IsGeneralCode(code), sheet.book().date1904());
  if (entry.cutFrom != 0)
    std::cerr << "vemoprint: the text written to " << sheet.name() << "!" << wb::FormatCellAddress(row, col) << " is "
              << entry.cutFrom << " characters long, more than the " << wb::kMaxCellText
              << " a cell holds; it was cut to " << wb::kMaxCellText << "\n";
  switch (entry.kind) {
    case wb::EntryResult::Kind::Empty: sheet.ClearValue(row, col); break;
    case wb::EntryResult::Kind::Text: sheet.SetString(row, col, entry.text); break;
    case wb::EntryResult::Kind::Number: sheet.SetNumber(row, col, entry.number); break;
    case wb::EntryResult::Kind::Boolean: sheet.SetBoolean(row, col, entry.boolean); break;
    case wb::EntryResult::Kind::Formula: WriteCellFormulaAndCalculate(sheet, row, col, entry.text); break;
  }
  if (entry.suggestedFormat) SetCellFormatCode(sheet, row, col, *entry.suggestedFormat);
}

void WriteCellValue(wb::Sheet& sheet, int row, int col, const Variant& value) {
  switch (value.Type()) {
    case VariantType::Empty:
    case VariantType::Null: sheet.ClearValue(row, col); return;
    case VariantType::Boolean: sheet.SetBoolean(row, col, value.ToBool()); return;
    case VariantType::Integer:
    case VariantType::Double: sheet.SetNumber(row, col, value.ToNumber()); return;
    case VariantType::String: WriteCellEntry(sheet, row, col, value.ToText()); return;
    case VariantType::Date: {
      double host = value.ToDate().serial;
      auto serial = wb::SerialFromHostDate(host, sheet.book().date1904());
      if (!serial)
        throw HostError(HostError::kTypeMismatch, "the date " + value.ToDate().ToText() +
                                                      " lies before the first date a cell can hold");
      sheet.SetNumber(row, col, *serial);
      if (IsGeneralCode(CellFormatCode(sheet, row, col)))
        SetCellFormatCode(sheet, row, col, host == std::floor(host) ? "yyyy-mm-dd" : "yyyy-mm-dd h:mm:ss");
      return;
    }
    case VariantType::Bytes:
    case VariantType::Object:
      throw HostError(HostError::kTypeMismatch, "a cell cannot hold binary data or an object; write text or a number");
  }
}

}  // namespace vemo::host
