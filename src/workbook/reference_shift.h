// Rewrites references in formula text when lines are inserted, when a formula
// is copied to another cell, and when a sheet is deleted. Only the references
// that change are rewritten; every other byte of the formula is kept.
//
// Insertion rules (as spreadsheet applications apply them):
//  - a cell at or after `at` moves by `count`; absolute and relative alike;
//  - a range starting before `at` and ending at or after it grows; a range
//    starting at or after `at` moves;
//  - whole columns (A:A) ignore row insertions, whole rows (3:5) ignore column
//    insertions;
//  - a cell or a range whose start is pushed past the last row (column) becomes
//    #REF! (the sheet prefix goes with it); a range whose end alone is pushed
//    past is clipped at the last row (column), so A2:A1048576 stays as it is;
//  - 3-D references (Sheet1:Sheet3!A1), external references ([1]Sheet1!A1),
//    structured references and defined names are never changed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "workbook/reference.h"

namespace vemo::wb {

struct LineInsertion {
  enum class Axis { Rows, Columns } axis;
  int at;     // 1-based index of the first inserted line
  int count;  // number of inserted lines (>= 1)
};

// Shifts the references of `formula` (no leading '=') that point at
// `editedSheet`. A reference without sheet prefix points at `hostSheet`; pass
// an empty hostSheet for formulas that have no host (workbook-level defined
// names): their unqualified references are then left alone.
std::string ShiftFormula(std::string_view formula, std::string_view hostSheet, std::string_view editedSheet,
                         const LineInsertion& insertion);

// Moves the relative parts of every reference by (dRow, dCol), as when the
// cell holding the formula is copied (or a shared formula is expanded) that
// far; absolute parts stay. A reference moved off the sheet becomes #REF!.
// External references are not moved.
std::string TranslateFormula(std::string_view formula, int dRow, int dCol);

// Space-separated range list (sqref / ref attributes, no sheet prefixes);
// ranges pushed entirely off the sheet are dropped.
std::string ShiftRangeList(std::string_view sqref, const LineInsertion& insertion);

// Replaces every reference to sheet `deletedSheet` (sheet prefix included)
// with #REF!. 3-D and external references, and references already broken
// (Data!#REF!), are left alone.
std::string InvalidateSheetReferences(std::string_view formula, std::string_view deletedSheet);

// The area after the insertion, or nullopt when it is pushed off the sheet.
std::optional<AreaRef> ShiftArea(const AreaRef& area, const LineInsertion& insertion);

}  // namespace vemo::wb
