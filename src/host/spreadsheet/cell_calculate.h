// Computing a formula cell's value now, as a spreadsheet does after a formula
// is entered, and storing it as the cell's cached value.
#pragma once
#include "workbook/sheet.h"

namespace vemo::host {

// True when the cell's formula was computed and its value stored; false when
// it could not be (the caller then asks readers to recalculate on load).
bool CalculateCell(wb::Sheet& sheet, int row, int col);

}  // namespace vemo::host
