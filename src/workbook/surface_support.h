// Small model additions the spreadsheet surface needs.
#pragma once

namespace vemo::wb {

class Sheet;
class Workbook;

// Asks every reader to recalculate all formulas when it opens the file
// (calcPr fullCalcOnLoad="1"): used when cells were edited whose dependent
// formulas keep stale cached values, or a formula could not be evaluated.
void RequestFullCalcOnLoad(Workbook& book);
// True when the file asks so.
bool FullCalcOnLoadRequested(Workbook& book);
// True when cells were edited and the file asks to recalculate: saving then
// writes the formulas' results computed again (workbook_values.h) instead of
// the stale cached ones, for readers that show cached results without
// recalculating. A file saved unedited keeps its producer's results.
bool ResultsToComputeOnSave(Workbook& book);

// The height of rows and the width of columns the sheet gives no size of their
// own (sheetFormatPr: points, characters); `fallback` when the sheet does not say.
double DefaultRowHeight(const Sheet& sheet, double fallback);
double DefaultColumnWidth(const Sheet& sheet, double fallback);

}  // namespace vemo::wb
