// Cutting a worksheet into pages: column widths and row heights in points,
// the printed range, the scale, and which rows and columns each page shows.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "render/page_setup.h"

namespace vemo::wb {
class Sheet;
struct Row;
}  // namespace vemo::wb

namespace vemo::render {

// Column width in points of a width in characters as the file stores it
// (padding included), for a default font whose widest digit is `digitPx`
// pixels at 96 dpi. On paper the digit is measured at the printer's
// resolution, so it is not rounded to whole screen pixels: a substitute
// default font 9.33 px wide would otherwise lose 3.6 % of every column.
double ColumnWidthPoints(double chars, double digitPx);
// The default column width in points when the sheet gives none:
// `baseChars` digits plus 5 pixels of padding, rounded up to 8 pixels.
double DefaultColumnWidthPoints(double baseChars, double digitPx);

struct RowSpan {
  int first = 0, last = 0;  // rows, inclusive
};

struct Page {
  std::vector<RowSpan> rows;  // the repeated title rows first, if any
  std::vector<RowSpan> cols;  // the repeated title columns first, if any
};

struct SheetLayout {
  wb::CellRange range;              // what is printed
  std::vector<double> colWidth;     // points by column number (index 0 unused); hidden = 0
  std::vector<double> rowHeight;    // points by row number; hidden = 0
  std::vector<std::uint32_t> colStyle;  // the style of empty cells by column
  double scale = 1;
  std::vector<Page> pages;
  double ColumnsWidth(int first, int last) const;
  double RowsHeight(int first, int last) const;
};

// The height in points a row without a stored height takes from its
// content; 0 when it has none (it then takes the sheet's default height).
using AutoRowHeight = std::function<double(const wb::Row& row)>;

// The grid of `sheet` (widths, heights) up to `extent` (at least the end of
// `range`: merges and pictures may reach further), unpaged.
SheetLayout MeasureSheet(const wb::Sheet& sheet, const wb::CellRange& range, wb::CellAddress extent, double digitPx,
                         const AutoRowHeight& autoHeight);
// Scale and pages of a measured sheet under `setup`.
void Paginate(SheetLayout& layout, const PageSetup& setup);

}  // namespace vemo::render
