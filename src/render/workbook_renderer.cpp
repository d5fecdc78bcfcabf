#include "render/workbook_renderer.h"

#include <cairo-pdf.h>

#include <cmath>
#include <ctime>
#include <stdexcept>

#include "render/cell_style.h"
#include "workbook/workbook_values.h"
#include "render/conditional_formats.h"
#include "render/merged_cells.h"
#include "render/page_layout.h"
#include "render/render_declined.h"
#include "render/sheet_painter.h"
#include "render/sheet_pictures.h"
#include "render/text_setter.h"
#include "workbook/date_serial.h"
#include "workbook/number_format.h"
#include "workbook/workbook.h"

namespace vemo::render {
namespace fs = std::filesystem;
namespace {

struct PreparedSheet {
  const wb::Sheet* sheet;
  PageSetup setup;
  MergedCells merges;
  std::vector<SheetPicture> pictures;
  SheetLayout layout;
  ConditionalStyles conditional;
};

// Cells this renderer cannot draw as they are (styles it does not know, turned rich text).
void CheckCells(const wb::Workbook& book, const wb::Sheet& sheet, const wb::CellRange& range, const StyleTable& styles) {
  for (const wb::Row& row : sheet.rows()) {
    const int r = static_cast<int>(row.number);
    if (r < range.first.row || r > range.last.row) continue;
    for (const wb::Cell& cell : row.cells) {
      const int c = static_cast<int>(cell.col);
      if (c < range.first.col || c > range.last.col) continue;
      const std::string where = sheet.name() + "!" + wb::FormatCellAddress(r, c);
      const CellStyle& style = styles.Get(cell.style);
      if (!style.unsupported.empty()) throw RenderDeclined(style.unsupported + " at " + where);
      if (style.rotation != 0 && !RichItemXml(sheet, cell).empty())
        throw RenderDeclined("turned or stacked rich text at " + where);
    }
  }
}

// Measures text for the layout before any page exists.
class Measure {
 public:
  Measure()
      : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)), cr_(cairo_create(surface_)), text_(cr_) {}
  ~Measure() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  TextSetter& text() { return text_; }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
  TextSetter text_;
};

// A row without a stored height keeps the sheet's default height unless a
// wrapped cell needs more: all its lines, rounded up to whole pixels at 96
// dpi. A larger font alone does not raise it: the file says what the row
// was when it was saved, and a taller line runs over its neighbours.
AutoRowHeight FittedRows(const wb::Sheet& sheet, const StyleTable& styles, wb::WorkbookValues& values, Measure& measure,
                         const SheetLayout& widths) {
  return [&sheet, &styles, &values, &measure, &widths](const wb::Row& row) {
    double tallest = 0;
    for (const wb::Cell& cell : row.cells) {
      const CellStyle& style = styles.Get(cell.style);
      const bool wraps = style.wrap || style.hAlign == HAlign::Justify || style.hAlign == HAlign::Distributed;
      if (!wraps || cell.col >= widths.colWidth.size()) continue;
      const wb::CellValue v = values.Get(sheet, static_cast<int>(row.number), static_cast<int>(cell.col));
      if (!v.IsText()) continue;
      const std::string rich = RichItemXml(sheet, cell);
      measure.text().Set(rich.empty() ? RichText{{v.text(), style.font}} : styles.RichRuns(rich, style.font),
                         widths.colWidth[cell.col] - 3);
      tallest = std::max(tallest, measure.text().Height());
    }
    return std::ceil(tallest / 0.75) * 0.75;
  };
}

// Without a print area the printed columns reach as far as the text of the
// last used column runs on into empty neighbours (at most this many).
constexpr int kMaxOverflowColumns = 30;

int OverflowEnd(const wb::Sheet& sheet, const wb::CellRange& range, const StyleTable& styles, wb::WorkbookValues& values,
                Measure& measure, double digitPx) {
  const SheetLayout grid =
      MeasureSheet(sheet, range, {range.last.row, range.last.col + kMaxOverflowColumns}, digitPx, nullptr);
  int end = range.last.col;
  for (const wb::Row& row : sheet.rows()) {
    if (row.cells.empty() || static_cast<int>(row.cells.back().col) != range.last.col) continue;
    const wb::Cell& cell = row.cells.back();
    const wb::CellValue v = values.Get(sheet, static_cast<int>(row.number), static_cast<int>(cell.col));
    const CellStyle& style = styles.Get(cell.style);
    if (!v.IsText() || style.wrap || (style.hAlign != HAlign::General && style.hAlign != HAlign::Left)) continue;
    const std::string rich = RichItemXml(sheet, cell);
    measure.text().Set(rich.empty() ? RichText{{v.text(), style.font}} : styles.RichRuns(rich, style.font));
    double room = grid.colWidth[cell.col] - 3;
    int c = static_cast<int>(cell.col);
    while (room < measure.text().Width() && c < range.last.col + kMaxOverflowColumns) room += grid.colWidth[++c];
    end = std::max(end, c);
  }
  return end;
}

// Without a print area, the cells that show something: a value, a border
// or a fill. Cells that only carry a style (a whole formatted column) do
// not widen the printout.
std::optional<wb::CellRange> PrintedCells(const wb::Sheet& sheet, const StyleTable& styles, wb::WorkbookValues& values) {
  std::optional<wb::CellRange> shown;
  for (const wb::Row& row : sheet.rows())
    for (const wb::Cell& cell : row.cells) {
      const int r = static_cast<int>(row.number), c = static_cast<int>(cell.col);
      const CellStyle& s = styles.Get(cell.style);
      const bool drawn = s.pattern != FillPattern::None || s.left.style != LineStyle::None ||
                         s.right.style != LineStyle::None || s.top.style != LineStyle::None ||
                         s.bottom.style != LineStyle::None;
      if (!drawn && values.Get(sheet, r, c).IsEmpty()) continue;
      if (!shown) shown = wb::CellRange{{r, c}, {r, c}};
      shown->first = {std::min(shown->first.row, r), std::min(shown->first.col, c)};
      shown->last = {std::max(shown->last.row, r), std::max(shown->last.col, c)};
    }
  return shown;
}

std::optional<PreparedSheet> Prepare(wb::Workbook& book, std::size_t index, const StyleTable& styles,
                                     wb::WorkbookValues& values, double digitPx, Measure& measure) {
  const wb::Sheet& sheet = book.GetSheet(index);
  if (sheet.visibility() != wb::SheetVisibility::Visible) return std::nullopt;
  if (sheet.kind() != wb::SheetKind::Worksheet) throw RenderDeclined("a chart sheet (" + sheet.name() + ")");
  if (const std::vector<std::string> kept = book.PrintedContentNotInModel(sheet); !kept.empty())
    throw RenderDeclined(kept.front() + " kept as .xls records on sheet " + sheet.name());
  PageSetup setup = ReadPageSetup(sheet, static_cast<int>(index));
  if (!setup.unsupported.empty()) throw RenderDeclined(setup.unsupported + " on sheet " + sheet.name());
  for (const std::string* codes : {&setup.headerCodes, &setup.footerCodes})
    if (codes->find("&G") != std::string::npos) throw RenderDeclined("a picture in a header or footer");
  MergedCells merges(sheet);
  std::vector<SheetPicture> pictures = ReadSheetPictures(book, sheet);
  std::optional<wb::CellRange> range;  // all that is printed
  wb::CellAddress extent{1, 1};
  auto reach = [&](int row, int col) {
    extent.row = std::max(extent.row, row), extent.col = std::max(extent.col, col);
  };
  // Whole rows or columns print as far as the sheet shows something.
  std::optional<wb::CellRange> shown;
  for (wb::CellRange& area : setup.printAreas) {
    if (area.last.row < wb::kMaxRows && area.last.col < wb::kMaxColumns) continue;
    if (!shown) shown = PrintedCells(sheet, styles, values).value_or(wb::CellRange{{1, 1}, {1, 1}});
    area.last.row = std::max(area.first.row, std::min(area.last.row, shown->last.row));
    area.last.col = std::max(area.first.col, std::min(area.last.col, shown->last.col));
  }
  for (const wb::CellRange& area : setup.printAreas) {
    if (!range) range = area;
    range->first = {std::min(range->first.row, area.first.row), std::min(range->first.col, area.first.col)};
    range->last = {std::max(range->last.row, area.last.row), std::max(range->last.col, area.last.col)};
  }
  for (const wb::CellRange& m : merges.ranges()) reach(m.last.row, m.last.col);
  for (const SheetPicture& p : pictures) reach(std::max(p.from.row, p.to.row), std::max(p.from.col, p.to.col));
  if (!range) {
    range = PrintedCells(sheet, styles, values);
    if (!range && pictures.empty()) return std::nullopt;
    if (!range) range = wb::CellRange{{1, 1}, {1, 1}};
    range->first = {1, 1};  // an unset print area starts at A1
    range->last.row = std::max(range->last.row, extent.row);
    range->last.col = std::max(range->last.col, extent.col);
    range->last.col = OverflowEnd(sheet, *range, styles, values, measure, digitPx);
  }
  std::vector<wb::CellRange> areas = setup.printAreas;
  if (areas.empty()) areas.push_back(*range);
  for (const wb::CellRange& area : areas) CheckCells(book, sheet, area, styles);
  ConditionalStyles conditional = EvaluateConditionalFormats(sheet, values);
  for (const auto& [cell, dxf] : conditional)
    if (const CellStyle look = styles.Differential(0, dxf); !look.unsupported.empty())
      throw RenderDeclined(look.unsupported + " at " + sheet.name() + "!" + wb::FormatCellAddress(cell.first, cell.second));
  // Widths first: a wrapped cell's height depends on its column's width.
  const SheetLayout widths = MeasureSheet(sheet, *range, extent, digitPx, nullptr);
  SheetLayout layout = MeasureSheet(sheet, *range, extent, digitPx, FittedRows(sheet, styles, values, measure, widths));
  // Several print areas: each one paged on its own, one after the other.
  std::vector<Page> pages;
  for (const wb::CellRange& area : areas) {
    layout.range = area;
    Paginate(layout, setup);
    pages.insert(pages.end(), layout.pages.begin(), layout.pages.end());
  }
  layout.pages = std::move(pages);
  return PreparedSheet{&sheet, std::move(setup), std::move(merges), std::move(pictures), std::move(layout),
                       std::move(conditional)};
}

HeaderFooterFields Now(const fs::path& workbook) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  HeaderFooterFields fields;
  fields.date = std::to_string(local.tm_year + 1900) + "/" + std::to_string(local.tm_mon + 1) + "/" +
                std::to_string(local.tm_mday);
  fields.time = std::to_string(local.tm_hour) + ":" + (local.tm_min < 10 ? "0" : "") + std::to_string(local.tm_min);
  fields.file = workbook.filename().string();
  return fields;
}

}  // namespace

void RenderWorkbookToPdf(const fs::path& workbook, const fs::path& pdf) {
  std::unique_ptr<wb::Workbook> book = wb::Workbook::Open(workbook);
  const StyleTable styles(*book);
  wb::WorkbookValues values(*book);
  const double digitPx = MaxDigitWidthPixels(styles.DefaultFont());
  std::vector<PreparedSheet> sheets;
  std::size_t pages = 0;
  Measure measure;
  for (std::size_t i = 0; i < book->SheetCount(); ++i)
    if (auto prepared = Prepare(*book, i, styles, values, digitPx, measure)) {
      pages += prepared->layout.pages.size();
      sheets.push_back(std::move(*prepared));
    }
  if (pages == 0) throw RenderDeclined("nothing to print: every sheet is empty or hidden");

  const fs::path part = pdf.string() + ".part";
  cairo_surface_t* surface = cairo_pdf_surface_create(part.c_str(), sheets.front().setup.paperWidth,
                                                      sheets.front().setup.paperHeight);
  cairo_t* cr = cairo_create(surface);
  HeaderFooterFields fields = Now(workbook);
  try {
    SheetPainter painter(cr, *book, styles, values);
    for (const PreparedSheet& s : sheets) {
      fields.sheet = s.sheet->name();
      fields.pages = static_cast<int>(s.layout.pages.size());
      const SheetInput in{*s.sheet, s.setup, s.layout, s.pictures, s.merges, s.conditional};
      for (std::size_t p = 0; p < s.layout.pages.size(); ++p) {
        cairo_pdf_surface_set_size(surface, s.setup.paperWidth, s.setup.paperHeight);
        fields.page = s.setup.firstPageNumber + static_cast<int>(p);
        painter.DrawPage(in, p, fields);
        cairo_show_page(cr);
      }
    }
  } catch (...) {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    fs::remove(part);
    throw;
  }
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const cairo_status_t status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    std::error_code ignored;
    fs::remove(part, ignored);
    throw std::runtime_error("cannot write the PDF " + pdf.string() + ": " + cairo_status_to_string(status) +
                             "; check that its folder is writable and the disk has room");
  }
  fs::rename(part, pdf);
}

}  // namespace vemo::render
