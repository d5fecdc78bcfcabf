// Small model additions the spreadsheet surface needs.
#pragma once

namespace vemo::wb {

class Workbook;

// Asks every reader to recalculate all formulas when it opens the file
// (calcPr fullCalcOnLoad="1"): used when cells were edited whose dependent
// formulas keep stale cached values, or a formula could not be evaluated.
void RequestFullCalcOnLoad(Workbook& book);
// True when the file asks so. Saving such a workbook writes the formulas'
// results computed again (workbook_values.h), not the stale cached ones, for
// readers that show cached results without recalculating.
bool FullCalcOnLoadRequested(Workbook& book);

}  // namespace vemo::wb
