// Row and column insertion on the records an .xls sheet keeps as they came:
// notes, picture and chart anchors, and the hyperlinks and conditional formats
// the model does not hold (xls_hyperlinks.h, xls_conditional_formats.h: the
// others are in the model and move there) move with the cells; a record the
// insertion would leave pointing at the wrong cells (moved past the last row
// or column, or a conditional format whose formulas refer to cells) is
// dropped and named for the save's warning.
#pragma once
#include "workbook/reference_shift.h"

namespace vemo::wb {

class Workbook;
class Sheet;

void ShiftKeptXlsRecords(Workbook& book, const Sheet& sheet, const LineInsertion& insertion);

}  // namespace vemo::wb
