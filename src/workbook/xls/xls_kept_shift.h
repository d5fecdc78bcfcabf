// Row and column insertion on the records an .xls sheet keeps as they came:
// hyperlinks, notes, picture and chart anchors and conditional formats move
// with the cells; a record the insertion would leave pointing at the wrong
// cells (moved past the last row or column, or a conditional format whose
// formulas refer to cells) is dropped and named for the save's warning.
#pragma once
#include "workbook/reference_shift.h"

namespace vemo::wb {

class Workbook;
class Sheet;

void ShiftKeptXlsRecords(Workbook& book, const Sheet& sheet, const LineInsertion& insertion);

}  // namespace vemo::wb
