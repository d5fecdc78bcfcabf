// The parts of an insertion outside the cells: the worksheet's own XML
// (merges, conditional formats, validations, hyperlinks, breaks, columns,
// views) and the parts it points at (tables, drawings, comments, legacy VML),
// plus the charts of the whole workbook.
#pragma once
#include "workbook/reference_shift.h"
#include "workbook/workbook.h"

namespace vemo::wb {

// `templateLine` is the copied line counted after the insertion (0 without copy).
void EditSheetXml(Sheet& sheet, const LineInsertion& ins, int templateLine, bool copy);
// With `templateLine` > 0, comments on the template line are repeated on the copies.
void EditRelatedParts(Workbook& book, Sheet& edited, const LineInsertion& ins, int templateLine);

}  // namespace vemo::wb
