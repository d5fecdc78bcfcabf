// Writing a cell the way typing into a spreadsheet does. Bill values arrive
// as text, so text is interpreted as an entry (numbers, dates, TRUE/FALSE,
// "=" formulas, a leading apostrophe for text) unless the cell is formatted
// as Text. The rules are listed in docs/spreadsheet-surface.md.
#pragma once
#include <string_view>

#include "foundation/variant.h"
#include "workbook/sheet.h"

namespace vemo::host {

// Range.Value = value: numbers and booleans as such, dates as date serials
// (with a date format on a General cell), text as an entry, Empty clears.
void WriteCellValue(wb::Sheet& sheet, int row, int col, const Variant& value);

// Range.Formula = text (and Value = text): the entry rules; text starting
// with "=" becomes a formula unless the cell is formatted as Text.
void WriteCellEntry(wb::Sheet& sheet, int row, int col, std::string_view text);

// Stores `formulaWithoutEquals` in the cell and computes its value at once;
// when it cannot be computed the cell keeps no cached value and the workbook
// asks readers to recalculate on load.
void WriteCellFormulaAndCalculate(wb::Sheet& sheet, int row, int col, std::string_view formulaWithoutEquals);

}  // namespace vemo::host
