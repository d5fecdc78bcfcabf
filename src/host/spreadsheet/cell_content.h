// Reading and writing one cell of the model the way the surface's members
// see it: formula text, displayed text, value, number format.
#pragma once
#include <string>
#include <string_view>

#include "foundation/variant.h"
#include "workbook/sheet.h"

namespace vemo::host {

// The local name of the General format in this surface's locale.
inline constexpr std::string_view kGeneralLocalName = "G/通用格式";

// What the cell holds as it would be typed: "=" + formula for a formula cell
// (a shared formula translated to the cell), the constant as text otherwise
// ("12.5", "TRUE", "abc"); empty for an empty cell.
std::string CellFormulaText(const wb::Sheet& sheet, int row, int col);

// The cell's value formatted by its number format, as the grid shows it.
std::string CellDisplayText(const wb::Sheet& sheet, int row, int col);

// The cell's value: Empty, Double, String, Boolean, or Date when a number
// carries a date or time format. Errors come back as their text.
Variant CellVariant(const wb::Sheet& sheet, int row, int col);

// The format code of the cell's style ("General" when it has none).
std::string CellFormatCode(const wb::Sheet& sheet, int row, int col);
// The same code in place: valid until the workbook's styles change.
std::string_view CellFormatCodeView(const wb::Sheet& sheet, int row, int col);
bool IsGeneralCode(std::string_view code);
bool IsTextCode(std::string_view code);

// Gives the cell a style equal to its own with number format `code`.
void SetCellFormatCode(wb::Sheet& sheet, int row, int col, std::string_view code);

// The model's code for a local format name ("G/通用格式" -> "General") and back.
std::string FormatCodeFromLocal(std::string_view local);
std::string LocalFromFormatCode(std::string_view code);

}  // namespace vemo::host
