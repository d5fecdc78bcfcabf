#include "render/page_layout.h"

#include <algorithm>
#include <cmath>

#include "workbook/sheet.h"
#include "workbook/model/xml_access.h"

namespace vemo::render {
namespace {

constexpr double kPointsPerPixel = 0.75;  // 96 dpi

// Where pages end along one axis: a page closes before the item that would
// overflow `room`, and after every manual break.
std::vector<RowSpan> Cut(int first, int last, const std::vector<double>& sizes, double scale,
                         const std::vector<int>& breaks, double firstRoom, double room) {
  std::vector<RowSpan> spans;
  int start = first;
  double used = 0, avail = firstRoom;
  for (int i = first; i <= last; ++i) {
    const double size = sizes[i] * scale;
    if (i > start && used + size > avail + 1e-6) {
      spans.push_back({start, i - 1});
      start = i, used = 0, avail = room;
    }
    used += size;
    if (i < last && std::binary_search(breaks.begin(), breaks.end(), i)) {
      spans.push_back({start, i});
      start = i + 1, used = 0, avail = room;
    }
  }
  spans.push_back({start, last});
  return spans;
}

}  // namespace

double ColumnWidthPoints(double chars, double digitPx) { return chars * digitPx * kPointsPerPixel; }

double DefaultColumnWidthPoints(double baseChars, double digitPx) {
  return std::ceil((baseChars * digitPx + 5) / 8) * 8 * kPointsPerPixel;
}

double SheetLayout::ColumnsWidth(int first, int last) const {
  double sum = 0;
  for (int c = first; c <= last; ++c) sum += colWidth[c];
  return sum;
}

double SheetLayout::RowsHeight(int first, int last) const {
  double sum = 0;
  for (int r = first; r <= last; ++r) sum += rowHeight[r];
  return sum;
}

SheetLayout MeasureSheet(const wb::Sheet& sheet, const wb::CellRange& range, wb::CellAddress extent, double digitPx,
                         const AutoRowHeight& autoHeight) {
  SheetLayout layout;
  extent.row = std::max(extent.row, range.last.row), extent.col = std::max(extent.col, range.last.col);
  layout.range = range;
  const pugi::xml_node ws = wb::SheetXml(sheet).document_element();
  const pugi::xml_node format = wb::FirstChild(ws, "sheetFormatPr");
  const double defaultWidth =
      format.attribute("defaultColWidth")
          ? ColumnWidthPoints(format.attribute("defaultColWidth").as_double(), digitPx)
          : DefaultColumnWidthPoints(format.attribute("baseColWidth").as_double(8), digitPx);
  const double defaultHeight = format.attribute("defaultRowHeight").as_double(15);
  const bool rowsHiddenByDefault = format.attribute("zeroHeight").as_bool();

  layout.colWidth.assign(extent.col + 1, defaultWidth);
  layout.colStyle.assign(extent.col + 1, 0);
  for (pugi::xml_node col : wb::FirstChild(ws, "cols").children()) {
    const int min = col.attribute("min").as_int(), max = std::min(col.attribute("max").as_int(), extent.col);
    const double width = col.attribute("hidden").as_bool() ? 0
                         : col.attribute("width")         ? ColumnWidthPoints(col.attribute("width").as_double(), digitPx)
                                                          : defaultWidth;
    for (int c = std::max(min, 1); c <= max; ++c) {
      layout.colWidth[c] = width;
      layout.colStyle[c] = col.attribute("style").as_uint();
    }
  }
  layout.rowHeight.assign(extent.row + 1, rowsHiddenByDefault ? 0 : defaultHeight);
  for (const wb::Row& row : sheet.rows()) {
    if (static_cast<int>(row.number) > extent.row) break;
    const double fitted = row.hidden || row.hasHeight || !autoHeight ? 0 : autoHeight(row);
    // A fitted row never comes out lower than the default: its empty cells
    // still show the workbook's default font.
    // A stored height is laid out in whole pixels at 96 dpi, cut down (20 pt: 26 px, 19.5 pt), as
    // the rows were placed on screen when the template was drawn.
    const double stored = std::trunc(row.height / kPointsPerPixel + 1e-6) * kPointsPerPixel;
    layout.rowHeight[row.number] = row.hidden ? 0 : row.hasHeight ? stored : std::max(fitted, defaultHeight);
  }
  return layout;
}

void Paginate(SheetLayout& layout, const PageSetup& setup) {
  const wb::CellRange& r = layout.range;
  const double availW = setup.paperWidth - setup.left - setup.right;
  const double availH = setup.paperHeight - setup.top - setup.bottom;
  const bool titles = setup.titleFirstRow > 0 && setup.titleLastRow >= setup.titleFirstRow &&
                      setup.titleLastRow < static_cast<int>(layout.rowHeight.size());
  const double titleH = titles ? layout.RowsHeight(setup.titleFirstRow, setup.titleLastRow) : 0;
  const bool titleCols = setup.titleFirstCol > 0 && setup.titleLastCol >= setup.titleFirstCol &&
                         setup.titleLastCol < static_cast<int>(layout.colWidth.size());
  const double titleW = titleCols ? layout.ColumnsWidth(setup.titleFirstCol, setup.titleLastCol) : 0;

  double scale = setup.scale / 100.0;
  if (setup.fitToPage) {
    // Fit: the largest whole percentage that fits the asked number of pages.
    scale = 1;
    const double totalW = layout.ColumnsWidth(r.first.col, r.last.col);
    const double totalH = layout.RowsHeight(r.first.row, r.last.row);
    if (setup.fitWidth > 0 && totalW > 0) scale = std::min(scale, availW * setup.fitWidth / totalW);
    if (setup.fitHeight > 0 && totalH > 0) scale = std::min(scale, availH * setup.fitHeight / totalH);
    scale = std::max(std::floor(scale * 100 + 1e-9), 10.0) / 100;
  }
  layout.scale = scale;

  // Fitting to pages ignores manual breaks, as the spreadsheet application does.
  const std::vector<int> none;
  const std::vector<int>& rowBreaks = setup.fitToPage ? none : setup.rowBreaks;
  const std::vector<int>& colBreaks = setup.fitToPage ? none : setup.colBreaks;
  // Pages after the first get the title rows repeated above them and the
  // title columns at their left, so less room (a first page that ends
  // before the titles is the one case this misses).
  const auto columns = Cut(r.first.col, r.last.col, layout.colWidth, scale, colBreaks, availW, availW - titleW * scale);
  const auto rowPages = Cut(r.first.row, r.last.row, layout.rowHeight, scale, rowBreaks, availH,
                            availH - titleH * scale);
  auto pageOf = [&](const RowSpan& rows, const RowSpan& cols) {
    Page page;
    if (titles && rows.first > setup.titleLastRow) page.rows.push_back({setup.titleFirstRow, setup.titleLastRow});
    page.rows.push_back(rows);
    if (titleCols && cols.first > setup.titleLastCol) page.cols.push_back({setup.titleFirstCol, setup.titleLastCol});
    page.cols.push_back(cols);
    return page;
  };
  layout.pages.clear();
  if (setup.overThenDown) {
    for (const RowSpan& rows : rowPages)
      for (const RowSpan& cols : columns) layout.pages.push_back(pageOf(rows, cols));
  } else {
    for (const RowSpan& cols : columns)
      for (const RowSpan& rows : rowPages) layout.pages.push_back(pageOf(rows, cols));
  }
}

}  // namespace vemo::render
