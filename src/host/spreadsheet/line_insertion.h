// The model edits behind Range.Insert: whole rows and whole columns.
#pragma once
#include <optional>

#include "workbook/sheet.h"

namespace vemo::host {

// Inserts `count` rows before row `at`. With a copy source each new row is a
// copy of that row (values, formulas moved, styles, merges, height, data
// validation and conditional formats extended); without, the new rows take
// the format of the row above.
void InsertModelRows(wb::Sheet& sheet, int at, int count, std::optional<int> copySourceRow);

// Inserts `count` empty columns before column `at`, formatted like the column on its left.
void InsertModelColumns(wb::Sheet& sheet, int at, int count);

}  // namespace vemo::host
