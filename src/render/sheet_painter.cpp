#include "render/sheet_painter.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "workbook/workbook.h"

namespace vemo::render {
namespace {

// Space between a cell's edge and its text: 2 pixels at 96 dpi.
constexpr double kPad = 1.5;

void SetColor(cairo_t* cr, Rgb c) {
  cairo_set_source_rgb(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
}

void Line(cairo_t* cr, const BorderLine& line, double x1, double y1, double x2, double y2) {
  if (line.style == LineStyle::None) return;
  static constexpr double kThin = 0.75;
  double width = kThin;
  std::vector<double> dashes;
  switch (line.style) {
    case LineStyle::Hair: width = 0.5, dashes = {0.5, 0.5}; break;
    case LineStyle::Medium: width = 2 * kThin; break;
    case LineStyle::Thick: width = 3 * kThin; break;
    case LineStyle::Dashed: dashes = {3 * kThin, kThin}; break;
    case LineStyle::Dotted: dashes = {kThin, kThin}; break;
    default: break;
  }
  SetColor(cr, line.color);
  cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
  if (line.style == LineStyle::Double) {
    // Two thin lines one thin line apart, on either side of the edge.
    const bool horizontal = y1 == y2;
    cairo_set_line_width(cr, kThin * 0.75);
    for (double offset : {-kThin, kThin}) {
      cairo_move_to(cr, x1 + (horizontal ? 0 : offset), y1 + (horizontal ? offset : 0));
      cairo_line_to(cr, x2 + (horizontal ? 0 : offset), y2 + (horizontal ? offset : 0));
      cairo_stroke(cr);
    }
    return;
  }
  cairo_set_line_width(cr, width);
  cairo_move_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
  cairo_stroke(cr);
}

// Of two lines on one edge, the heavier; on a tie, the first.
BorderLine Stronger(const BorderLine& a, const BorderLine& b) {
  static constexpr auto rank = [](LineStyle s) {
    switch (s) {
      case LineStyle::Thick: return 7;
      case LineStyle::Double: return 6;
      case LineStyle::Medium: return 5;
      case LineStyle::Thin: return 4;
      case LineStyle::Dashed: return 3;
      case LineStyle::Dotted: return 2;
      case LineStyle::Hair: return 1;
      default: return 0;
    }
  };
  return rank(b.style) > rank(a.style) ? b : a;
}

std::string Shown(const wb::CellValue& v, const wb::NumberFormat& format, bool date1904) {
  switch (v.type()) {
    case wb::CellValue::Type::Number: return format.Format(v.number(), date1904);
    case wb::CellValue::Type::Text: return format.FormatText(v.text());
    case wb::CellValue::Type::Boolean: return v.boolean() ? "TRUE" : "FALSE";
    case wb::CellValue::Type::Error: return std::string(wb::ErrorText(v.error()));
    default: return {};
  }
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t CharacterCount(const RichText& runs) {
  std::size_t n = 0;
  for (const TextRun& run : runs)
    for (char c : run.text) n += !IsContinuation(c);
  return n;
}

// Drops the last character of the runs (the first, unless `fromEnd`) and a
// run it leaves empty.
void DropCharacter(RichText& runs, bool fromEnd) {
  while (!runs.empty() && (fromEnd ? runs.back() : runs.front()).text.empty())
    fromEnd ? runs.pop_back() : void(runs.erase(runs.begin()));
  if (runs.empty()) return;
  std::string& text = (fromEnd ? runs.back() : runs.front()).text;
  if (fromEnd) {
    std::size_t end = text.size() - 1;
    while (end > 0 && IsContinuation(text[end])) --end;
    text.erase(end);
  } else {
    std::size_t start = 1;
    while (start < text.size() && IsContinuation(text[start])) ++start;
    text.erase(0, start);
  }
}

std::string DropFirstCharacter(const std::string& text) {
  std::size_t start = 1;
  while (start < text.size() && IsContinuation(text[start])) ++start;
  return text.substr(start);
}

}  // namespace

SheetPainter::SheetPainter(cairo_t* cr, wb::Workbook& book, const StyleTable& styles, wb::WorkbookValues& values)
    : cr_(cr), styles_(styles), values_(values), book_(book), text_(cr) {}

double SheetPainter::X(const SheetInput& in, const Pane& pane, int col) const {
  const int first = pane.cols.span.first;
  return pane.cols.at + (col >= first ? in.layout.ColumnsWidth(first, col - 1) : -in.layout.ColumnsWidth(col, first - 1));
}

double SheetPainter::Y(const SheetInput& in, const Pane& pane, int row) const {
  const int first = pane.rows.span.first;
  return pane.rows.at + (row >= first ? in.layout.RowsHeight(first, row - 1) : -in.layout.RowsHeight(row, first - 1));
}

std::uint32_t SheetPainter::StyleAt(const SheetInput& in, int row, int col) const {
  if (const wb::Cell* cell = in.sheet.FindCell(row, col)) return cell->style;
  if (const wb::Row* r = in.sheet.FindRow(row); r && r->customFormat) return r->style;
  return static_cast<std::size_t>(col) < in.layout.colStyle.size() ? in.layout.colStyle[col] : 0;
}

CellStyle SheetPainter::LookAt(const SheetInput& in, int row, int col) const {
  const std::uint32_t style = StyleAt(in, row, col);
  const auto it = in.conditional.find({row, col});
  return it == in.conditional.end() ? styles_.Get(style) : styles_.Differential(style, it->second);
}

const wb::NumberFormat& SheetPainter::FormatOf(std::uint32_t style) {
  auto it = formats_.find(style);
  if (it == formats_.end()) it = formats_.emplace(style, wb::NumberFormat::Parse(book_.styles().NumberFormatCode(style))).first;
  return it->second;
}

void SheetPainter::DrawPage(const SheetInput& in, std::size_t index, const HeaderFooterFields& fields) {
  const Page& page = in.layout.pages.at(index);
  const PageSetup& setup = in.setup;
  const double s = in.layout.scale;
  // The page is a grid of panes: the title rows and columns, if repeated,
  // beside and above the page's own rows and columns.
  double width = 0, height = 0;
  std::vector<Band> rowBands, colBands;
  for (const RowSpan& rows : page.rows) {
    rowBands.push_back({rows, height});
    height += in.layout.RowsHeight(rows.first, rows.last);
  }
  for (const RowSpan& cols : page.cols) {
    colBands.push_back({cols, width});
    width += in.layout.ColumnsWidth(cols.first, cols.last);
  }
  const double availW = setup.paperWidth - setup.left - setup.right;
  const double availH = setup.paperHeight - setup.top - setup.bottom;
  const double x0 = setup.left + (setup.centerH ? std::max(0.0, (availW - width * s) / 2) : 0);
  const double y0 = setup.top + (setup.centerV ? std::max(0.0, (availH - height * s) / 2) : 0);
  cairo_save(cr_);
  cairo_translate(cr_, x0, y0);
  cairo_scale(cr_, s, s);
  for (const Band& rows : rowBands)
    for (const Band& cols : colBands) {
      const Pane pane{rows, cols};
      cairo_save(cr_);
      // The clip leaves room for half the widest border line beyond the
      // pane's edges: the lines around its last row and column sit on the edge.
      constexpr double kHalfLine = 1.5;
      cairo_rectangle(cr_, cols.at - kHalfLine, rows.at - kHalfLine,
                      in.layout.ColumnsWidth(cols.span.first, cols.span.last) + 2 * kHalfLine,
                      in.layout.RowsHeight(rows.span.first, rows.span.last) + 2 * kHalfLine);
      cairo_clip(cr_);
      DrawPane(in, pane);
      DrawPictures(in, pane);
      cairo_restore(cr_);
    }
  cairo_restore(cr_);
  DrawHeaderFooter(in, setup.headerCodes, fields, true);
  DrawHeaderFooter(in, setup.footerCodes, fields, false);
}

void SheetPainter::DrawPane(const SheetInput& in, const Pane& pane) {
  const SheetLayout& layout = in.layout;
  auto cellArea = [&](int r, int c, const wb::CellRange* m) {
    if (!m) return Area{X(in, pane, c), Y(in, pane, r), layout.colWidth[c], layout.rowHeight[r]};
    return Area{X(in, pane, m->first.col), Y(in, pane, m->first.row),
                layout.ColumnsWidth(m->first.col, m->last.col), layout.RowsHeight(m->first.row, m->last.row)};
  };
  // Each merged range once, from the first of its cells the span shows.
  auto forEachCell = [&](auto&& draw) {
    std::set<const wb::CellRange*> done;
    for (int r = pane.rows.span.first; r <= pane.rows.span.last; ++r) {
      if (layout.rowHeight[r] <= 0) continue;
      for (int c = pane.cols.span.first; c <= pane.cols.span.last; ++c) {
        if (layout.colWidth[c] <= 0) continue;
        const wb::CellRange* m = in.merges.Find(r, c);
        if (m && !done.insert(m).second) continue;
        draw(m ? m->first.row : r, m ? m->first.col : c, cellArea(r, c, m), m != nullptr);
      }
    }
  };
  forEachCell([&](int r, int c, const Area& a, bool) {
    if (!fills_.Use(cr_, LookAt(in, r, c))) return;
    cairo_rectangle(cr_, a.x, a.y, a.w, a.h);
    cairo_fill(cr_);
  });
  if (in.setup.gridLines) {
    const BorderLine grid{LineStyle::Hair, 0xC0C0C0};
    const int firstCol = pane.cols.span.first, lastCol = pane.cols.span.last;
    const int firstRow = pane.rows.span.first, lastRow = pane.rows.span.last;
    const double top = Y(in, pane, firstRow), bottom = Y(in, pane, lastRow + 1);
    const double left = X(in, pane, firstCol), right = X(in, pane, lastCol + 1);
    for (int c = firstCol; c <= lastCol + 1; ++c) Line(cr_, grid, X(in, pane, c), top, X(in, pane, c), bottom);
    for (int r = firstRow; r <= lastRow + 1; ++r) Line(cr_, grid, left, Y(in, pane, r), right, Y(in, pane, r));
  }
  forEachCell([&](int r, int c, const Area& a, bool merged) { DrawText(in, r, c, a, merged); });
  // Diagonal lines run corner to corner of the cell, or of the merged range.
  forEachCell([&](int r, int c, const Area& a, bool) {
    const CellStyle& s = styles_.Get(StyleAt(in, r, c));
    if (s.diagonalDown) Line(cr_, s.diagonal, a.x, a.y, a.x + a.w, a.y + a.h);
    if (s.diagonalUp) Line(cr_, s.diagonal, a.x, a.y + a.h, a.x + a.w, a.y);
  });
  // A merged range shows the borders its edge cells carry on its outline only.
  auto edges = [&](int r, int c) {
    CellStyle s = LookAt(in, r, c);
    if (const wb::CellRange* m = in.merges.Find(r, c)) {
      if (c != m->first.col) s.left = {};
      if (c != m->last.col) s.right = {};
      if (r != m->first.row) s.top = {};
      if (r != m->last.row) s.bottom = {};
    }
    return s;
  };
  auto nextShown = [](const std::vector<double>& sizes, int i, int last) {
    while (++i <= last && sizes[i] <= 0) {
    }
    return i <= last ? i : 0;
  };
  // An edge two cells share is drawn once, with the stronger of their two
  // lines; the outer edges of the span, with the line their cell gives.
  for (int r = pane.rows.span.first; r <= pane.rows.span.last; ++r) {
    if (layout.rowHeight[r] <= 0) continue;
    const int below = nextShown(layout.rowHeight, r, pane.rows.span.last);
    for (int c = pane.cols.span.first; c <= pane.cols.span.last; ++c) {
      if (layout.colWidth[c] <= 0) continue;
      const int right = nextShown(layout.colWidth, c, pane.cols.span.last);
      const CellStyle s = edges(r, c);
      const Area a = cellArea(r, c, nullptr);
      if (nextShown(layout.colWidth, pane.cols.span.first - 1, c) == c)
        Line(cr_, s.left, a.x, a.y, a.x, a.y + a.h);
      if (nextShown(layout.rowHeight, pane.rows.span.first - 1, r) == r)
        Line(cr_, s.top, a.x, a.y, a.x + a.w, a.y);
      Line(cr_, right ? Stronger(s.right, edges(r, right).left) : s.right, a.x + a.w, a.y, a.x + a.w, a.y + a.h);
      Line(cr_, below ? Stronger(s.bottom, edges(below, c).top) : s.bottom, a.x, a.y + a.h, a.x + a.w, a.y + a.h);
    }
  }
}

void SheetPainter::DrawText(const SheetInput& in, int row, int col, const Area& area, bool merged) {
  const wb::CellValue value = values_.Get(in.sheet, row, col);
  if (value.IsEmpty()) return;
  const std::uint32_t styleIndex = StyleAt(in, row, col);
  const CellStyle style = LookAt(in, row, col);
  std::string text = Shown(value, FormatOf(styleIndex), book_.date1904());
  if (text.empty()) return;
  HAlign h = style.hAlign;
  if (h == HAlign::General)
    h = value.IsNumber() ? HAlign::Right : value.IsText() ? HAlign::Left : HAlign::Center;
  // Numbers are never spread or repeated: they stand left.
  if (value.IsNumber() && (h == HAlign::Justify || h == HAlign::Fill || h == HAlign::Distributed)) h = HAlign::Left;
  if (style.rotation != 0) return DrawTurned(text, style, h, area);  // never rich text (the renderer checks)
  const wb::Cell* cell = in.sheet.FindCell(row, col);
  const std::string rich = cell ? RichItemXml(in.sheet, *cell) : std::string();
  RichText runs = rich.empty() ? RichText{{text, style.font}} : styles_.RichRuns(rich, style.font);
  // An indent level is three spaces of the default font, from the side the
  // text is aligned to (both sides when distributed).
  double indent = 0;
  if (style.indent > 0 && (h == HAlign::Left || h == HAlign::Right || h == HAlign::Distributed)) {
    text_.Set("   ", styles_.DefaultFont());
    indent = std::min(style.indent * text_.Width(), std::max(area.w - 2 * kPad, 0.0));
    if (h == HAlign::Distributed) indent = std::min(indent, std::max(area.w / 2 - kPad, 0.0));
  }
  const double room = area.w - 2 * kPad - indent * (h == HAlign::Distributed ? 2 : 1);
  const bool spread = h == HAlign::Justify || h == HAlign::Distributed;  // text only, by now
  const bool wrap = (style.wrap || spread) && !value.IsNumber();
  text_.Set(runs, wrap ? std::max(room, 1.0) : 0);
  double width = text_.Width();
  bool staysInCell = merged;  // a merged range's text never runs on
  if (h == HAlign::Fill) {
    // Filled: the text repeated as often as it fits whole, never running on.
    const int copies = width > 0 ? std::max(1, static_cast<int>(room / width)) : 1;
    const RichText once = runs;
    for (int i = 1; i < copies; ++i) runs.insert(runs.end(), once.begin(), once.end());
    text_.Set(runs);
    width = text_.Width();
    h = HAlign::Left;
    staysInCell = true;
  }
  if (style.shrink && !wrap && width > room && room > 0) {
    // Shrink to fit: the fonts made smaller until the one line fits the cell.
    for (TextRun& run : runs) run.font.size *= room / width;
    text_.Set(runs);
    width = text_.Width();
  }
  Area clip = area;
  if (value.IsNumber() && width > room + 1e-6) {
    // A number that does not fit is never cut: the cell shows #s instead.
    text_.Set("#", style.font);
    const int count = std::max(1, static_cast<int>(room / text_.Width()));
    text_.Set(std::string(count, '#'), style.font);
    width = text_.Width();
  } else if (!staysInCell && !wrap && width > room) {
    // Text runs on into empty neighbours on the side(s) it grows towards.
    const int lastCol = static_cast<int>(in.layout.colWidth.size()) - 1;
    auto free = [&](int c) {
      return c >= 1 && c <= lastCol && !in.merges.Find(row, c) && values_.Get(in.sheet, row, c).IsEmpty();
    };
    const bool growRight = h == HAlign::Left || h == HAlign::Center;
    const bool growLeft = h == HAlign::Right || h == HAlign::Center;
    for (int c = col + 1; growRight && clip.w - 2 * kPad < width && free(c); ++c) clip.w += in.layout.colWidth[c];
    for (int c = col - 1; growLeft && clip.w - 2 * kPad < width && free(c); --c) {
      clip.x -= in.layout.colWidth[c];
      clip.w += in.layout.colWidth[c];
    }
    // What stays beyond the edge is not drawn at all: clipped glyphs would
    // still be in the PDF's text.
    const bool fromEnd = h != HAlign::Right;
    while (h != HAlign::Center && CharacterCount(runs) > 1) {
      RichText shorter = runs;
      DropCharacter(shorter, fromEnd);
      text_.Set(shorter);
      if (text_.Width() < clip.w - 2 * kPad) break;
      runs = std::move(shorter);
    }
    text_.Set(runs);
    width = text_.Width();
  }
  double x = area.x + kPad + (h == HAlign::Left || h == HAlign::Distributed ? indent : 0);
  if (!wrap && h == HAlign::Right) x = area.x + area.w - kPad - indent - width;
  if (!wrap && h == HAlign::Center) x = area.x + (area.w - width) / 2;
  if (spread) {
    text_.Justify(h == HAlign::Distributed);
    if (h == HAlign::Distributed && text_.LineCount() == 1) SpreadOneLine(runs, room, x);
  }
  const double textH = text_.Height();
  double y = area.y + area.h - textH;
  if (style.vAlign == VAlign::Top) y = area.y;
  if (style.vAlign == VAlign::Center) y = area.y + (area.h - textH) / 2;
  cairo_save(cr_);
  cairo_rectangle(cr_, clip.x, clip.y, clip.w, clip.h);
  cairo_clip(cr_);
  text_.Draw(x, y, wrap && h == HAlign::Center, wrap && h == HAlign::Right);
  cairo_restore(cr_);
}

void SheetPainter::SpreadOneLine(const RichText& runs, double room, double& x) {
  // One line distributed: the characters spaced out evenly from edge to
  // edge (space-less text, as Chinese is, has no gaps to widen), a single
  // character in the middle.
  const std::size_t characters = CharacterCount(runs);
  text_.Set(runs);
  const double width = text_.Width();
  if (characters < 2 || width >= room) {
    x += std::max(0.0, (room - width) / 2);
    return;
  }
  double gap = (room - width) / static_cast<double>(characters - 1);
  text_.SpaceLetters(gap);
  // Pango may add the space after the last character too: measure and fit.
  if (const double spaced = text_.Width(); spaced > room + 1e-6) {
    gap *= (room - width) / (spaced - width);
    text_.Set(runs);
    text_.SpaceLetters(gap);
  }
  x += std::max(0.0, (room - text_.Width()) / 2);
}

void SheetPainter::DrawTurned(const std::string& text, const CellStyle& style, HAlign h, const Area& area) {
  cairo_save(cr_);
  cairo_rectangle(cr_, area.x, area.y, area.w, area.h);
  cairo_clip(cr_);
  if (style.rotation == kStackedText) {
    // One character a line, each line centred on the others.
    std::string stacked;
    for (std::string rest = text; !rest.empty();) {
      const std::string next = DropFirstCharacter(rest);
      stacked += rest.substr(0, rest.size() - next.size()) + (next.empty() ? "" : "\n");
      rest = next;
    }
    text_.Set(stacked, style.font);
  } else {
    text_.Set(text, style.font);
  }
  const double w = text_.Width(), hgt = text_.Height();
  const double turn = style.rotation == kStackedText ? 0 : style.rotation * M_PI / 180;
  // The turned text's bounding box, placed in the cell by the alignments.
  const double boxW = w * std::abs(std::cos(turn)) + hgt * std::abs(std::sin(turn));
  const double boxH = w * std::abs(std::sin(turn)) + hgt * std::abs(std::cos(turn));
  double x = area.x + kPad;
  if (h == HAlign::Right) x = area.x + area.w - kPad - boxW;
  if (h == HAlign::Center || h == HAlign::CenterContinuous) x = area.x + (area.w - boxW) / 2;
  double y = area.y + area.h - boxH;
  if (style.vAlign == VAlign::Top) y = area.y;
  if (style.vAlign == VAlign::Center) y = area.y + (area.h - boxH) / 2;
  cairo_translate(cr_, x + boxW / 2, y + boxH / 2);
  cairo_rotate(cr_, -turn);  // anticlockwise on the page, whose y axis points down
  text_.Draw(-w / 2, -hgt / 2, style.rotation == kStackedText);
  cairo_restore(cr_);
}

void SheetPainter::DrawPictures(const SheetInput& in, const Pane& pane) {
  const int lastCol = static_cast<int>(in.layout.colWidth.size()) - 1;
  const int lastRow = static_cast<int>(in.layout.rowHeight.size()) - 1;
  for (const SheetPicture& p : in.pictures) {
    const double x1 = X(in, pane, std::min(p.from.col, lastCol)) + p.from.dx;
    const double y1 = Y(in, pane, std::min(p.from.row, lastRow)) + p.from.dy;
    const double x2 = p.to.row == 0 ? x1 + p.to.dx : X(in, pane, std::min(p.to.col, lastCol)) + p.to.dx;
    const double y2 = p.to.row == 0 ? y1 + p.to.dy : Y(in, pane, std::min(p.to.row, lastRow)) + p.to.dy;
    const int w = cairo_image_surface_get_width(p.image.get()), h = cairo_image_surface_get_height(p.image.get());
    if (x2 <= x1 || y2 <= y1 || w <= 0 || h <= 0) continue;
    cairo_save(cr_);
    cairo_translate(cr_, x1, y1);
    cairo_scale(cr_, (x2 - x1) / w, (y2 - y1) / h);
    cairo_set_source_surface(cr_, p.image.get(), 0, 0);
    cairo_paint(cr_);
    cairo_restore(cr_);
  }
}

void SheetPainter::DrawHeaderFooter(const SheetInput& in, const std::string& codes, const HeaderFooterFields& fields,
                                    bool header) {
  if (codes.empty()) return;
  const HeaderFooterLine line = ExpandHeaderFooter(codes, fields);
  const PageSetup& setup = in.setup;
  int position = 0;
  for (const HeaderFooterSection* section : {&line.left, &line.center, &line.right}) {
    const int where = position++;
    if (section->text.empty()) continue;
    FontStyle font = styles_.DefaultFont();
    if (!section->fontName.empty()) font.name = section->fontName;
    if (section->fontSize > 0) font.size = section->fontSize;
    font.bold = section->bold, font.italic = section->italic, font.underline = section->underline ? 1 : 0;
    font.color = 0;
    text_.Set(section->text, font);
    const double w = text_.Width(), h = text_.Height();
    const double x = where == 0   ? setup.left
                     : where == 1 ? (setup.paperWidth - w) / 2
                                  : setup.paperWidth - setup.right - w;
    const double y = header ? setup.header : setup.paperHeight - setup.footer - h;
    text_.Draw(x, y, where == 1, where == 2);
  }
}

}  // namespace vemo::render
