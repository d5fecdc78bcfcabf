// Inserting rows and columns the way a spreadsheet application does: every
// reference in the workbook that points at or past the insertion moves with
// it (cell formulas, names, merges, conditional formats, validations,
// hyperlinks, drawings, comments, tables, page breaks), and ranges that reach
// across the insertion grow.
#pragma once
#include <optional>

#include "workbook/workbook.h"

namespace vemo::wb {

// Inserts `count` rows before row `at` of `sheet`. With `copyFrom` (a row
// number counted before the insertion) every inserted row becomes a copy of
// that row: values, formulas moved by the row offset, styles, height and row
// attributes, merges lying in the row; conditional formats, validations and
// hyperlinks of the row are extended over the copies.
void InsertRows(Workbook& book, Sheet& sheet, int at, int count, std::optional<int> copyFrom = std::nullopt);

// The same for columns.
void InsertColumns(Workbook& book, Sheet& sheet, int at, int count, std::optional<int> copyFrom = std::nullopt);

}  // namespace vemo::wb
