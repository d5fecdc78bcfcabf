// Drawing the pages of one laid-out worksheet onto a cairo PDF surface:
// fills, gridlines, cell text, borders, pictures, then header and footer.
#pragma once
#include <cairo.h>

#include <map>
#include <string>
#include <vector>

#include "render/cell_style.h"
#include "render/fill_pattern.h"
#include "workbook/workbook_values.h"
#include "render/conditional_formats.h"
#include "render/header_footer.h"
#include "render/merged_cells.h"
#include "render/page_layout.h"
#include "render/sheet_pictures.h"
#include "render/text_setter.h"
#include "workbook/number_format.h"

namespace vemo::wb {
class Sheet;
class Workbook;
}

namespace vemo::render {

struct SheetInput {
  const wb::Sheet& sheet;
  const PageSetup& setup;
  const SheetLayout& layout;
  const std::vector<SheetPicture>& pictures;
  const MergedCells& merges;
  const ConditionalStyles& conditional;
};

class SheetPainter {
 public:
  SheetPainter(cairo_t* cr, wb::Workbook& book, const StyleTable& styles, wb::WorkbookValues& values);
  // Draws page `index` of the sheet; `fields` give the header and footer
  // their page number, count, date and names. The page is not shown yet.
  void DrawPage(const SheetInput& in, std::size_t index, const HeaderFooterFields& fields);

 private:
  struct Area {
    double x = 0, y = 0, w = 0, h = 0;
  };
  // Rows (or columns) drawn side by side, from `at` points into the page's grid.
  struct Band {
    RowSpan span;
    double at = 0;
  };
  struct Pane {
    Band rows, cols;
  };
  void DrawPane(const SheetInput& in, const Pane& pane);
  void DrawText(const SheetInput& in, int row, int col, const Area& area, bool merged);
  // Rotated or stacked text, kept inside its cell.
  void DrawTurned(const std::string& text, const CellStyle& style, HAlign h, const Area& area);
  // Sets `runs` as one line spread over `room`, moving `x` to where it starts.
  void SpreadOneLine(const RichText& runs, double room, double& x);
  void DrawPictures(const SheetInput& in, const Pane& pane);
  void DrawHeaderFooter(const SheetInput& in, const std::string& codes, const HeaderFooterFields& fields,
                        bool header);
  std::uint32_t StyleAt(const SheetInput& in, int row, int col) const;
  // The cell's style with a conditional format that holds applied.
  CellStyle LookAt(const SheetInput& in, int row, int col) const;
  const wb::NumberFormat& FormatOf(std::uint32_t style);

  double X(const SheetInput& in, const Pane& pane, int col) const;
  double Y(const SheetInput& in, const Pane& pane, int row) const;

  cairo_t* cr_;
  const StyleTable& styles_;
  wb::WorkbookValues& values_;
  wb::Workbook& book_;
  TextSetter text_;
  FillSources fills_;
  std::map<std::uint32_t, wb::NumberFormat> formats_;
};

}  // namespace vemo::render
