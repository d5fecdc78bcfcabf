// The page setup of a worksheet as the model keeps it (pageSetup,
// pageMargins, printOptions, headerFooter, rowBreaks, colBreaks, the
// sheet's print area and print titles), in points.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "workbook/cell_address.h"

namespace vemo::wb {
class Sheet;
}

namespace vemo::render {

struct PageSetup {
  double paperWidth = 595.28, paperHeight = 841.89;  // points, after orientation
  double left = 0.7 * 72, right = 0.7 * 72, top = 0.75 * 72, bottom = 0.75 * 72;
  double header = 0.3 * 72, footer = 0.3 * 72;
  bool centerH = false, centerV = false;
  bool gridLines = false;
  bool overThenDown = false;
  int scale = 100;                      // percent, used unless fitToPage
  bool fitToPage = false;
  int fitWidth = 1, fitHeight = 1;      // pages; 0 = as many as needed
  int firstPageNumber = 1;
  std::vector<wb::CellRange> printAreas;  // each starts on a page of its own; none: the used cells
  int titleFirstRow = 0, titleLastRow = 0;  // 0 = no repeated rows
  int titleFirstCol = 0, titleLastCol = 0;  // 0 = no repeated columns
  std::vector<int> rowBreaks, colBreaks;    // a page ends after these rows/columns
  std::string headerCodes, footerCodes;     // odd-page header and footer
  // What this renderer cannot honour ("several print areas", ...); empty
  // when the whole setup is drawable.
  std::string unsupported;
};

// Reads the setup of `sheet`, which is sheet number `sheetIndex` (0-based)
// of its workbook.
PageSetup ReadPageSetup(const wb::Sheet& sheet, int sheetIndex);

// Paper size of a paperSize code in points (portrait); nullopt for codes
// this renderer does not know.
std::optional<std::pair<double, double>> PaperSize(int code);

}  // namespace vemo::render
