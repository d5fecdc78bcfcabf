// Range.Find and Range.FindNext: a search through the range's cells in row
// order that walks the sheet's compact rows, so empty cells cost nothing.
#include <algorithm>

#include "foundation/host_error.h"
#include "host/spreadsheet/cell_content.h"
#include "host/spreadsheet/surface_objects.h"
#include "workbook/shared_strings.h"

namespace vemo::host {
namespace {

struct Pos {
  int row, col;
};

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool Matches(std::string_view text, const FindOptions& o) {
  auto same = [&](char a, char b) { return o.matchCase ? a == b : FoldAscii(a) == FoldAscii(b); };
  if (o.lookAt == kLookAtWhole)
    return text.size() == o.what.size() && std::equal(text.begin(), text.end(), o.what.begin(), same);
  return std::search(text.begin(), text.end(), o.what.begin(), o.what.end(), same) != text.end();
}

// True when `what` could occur in the text of a number ("1234.5", "1E+15").
bool CouldMatchNumberText(std::string_view what) {
  return what.find_first_not_of("0123456789.-+Ee") == std::string_view::npos;
}

// Matches one stored cell without building its text where the stored form
// already is the text: shared strings as they are, formulas in a reused
// buffer, numbers skipped when the searched text cannot be in them.
bool CellMatches(const wb::Sheet& sheet, int r, const wb::Cell& cell, const FindOptions& o, std::string& buffer) {
  int c = static_cast<int>(cell.col);
  if (o.lookIn == kLookInValues) return Matches(CellDisplayText(sheet, r, c), o);
  if (cell.formula != wb::kNoIndex) {
    const wb::Formula& f = sheet.formulas()[cell.formula];
    if (f.kind == wb::FormulaKind::Shared && f.text.empty()) return Matches(CellFormulaText(sheet, r, c), o);
    buffer.clear();
    buffer.push_back('=');
    buffer.append(f.text.data(), f.text.size());
    return Matches(buffer, o);
  }
  switch (cell.type) {
    case wb::CellType::Blank: return false;
    case wb::CellType::Number: return CouldMatchNumberText(o.what) && Matches(CellFormulaText(sheet, r, c), o);
    case wb::CellType::SharedString: return Matches(sheet.book().sharedStrings().Text(cell.text), o);
    case wb::CellType::InlineString:
      if (cell.text < sheet.texts().size())
        if (std::optional<std::string_view> plain = wb::PlainItemText(sheet.texts()[cell.text])) return Matches(*plain, o);
      return Matches(CellFormulaText(sheet, r, c), o);
    default: return Matches(CellFormulaText(sheet, r, c), o);
  }
}

// The first cell p of `area` with begin <= p < end (row-major order) whose
// text matches.
std::optional<Pos> Scan(const wb::Sheet& sheet, const Area& area, Pos begin, Pos end, const FindOptions& o) {
  const auto& rows = sheet.rows();
  std::string buffer;
  auto row = std::lower_bound(rows.begin(), rows.end(), static_cast<std::uint32_t>(std::max(begin.row, area.top)),
                              [](const wb::Row& r, std::uint32_t n) { return r.number < n; });
  for (; row != rows.end(); ++row) {
    int r = static_cast<int>(row->number);
    if (r > area.bottom || r > end.row) break;
    int firstCol = r == begin.row ? std::max(begin.col, area.left) : area.left;
    int lastCol = r == end.row ? std::min(end.col - 1, area.right) : area.right;
    auto cell = std::lower_bound(row->cells.begin(), row->cells.end(), static_cast<std::uint32_t>(firstCol),
                                 [](const wb::Cell& c, std::uint32_t n) { return c.col < n; });
    for (; cell != row->cells.end() && static_cast<int>(cell->col) <= lastCol; ++cell) {
      if (CellMatches(sheet, r, *cell, o, buffer)) return Pos{r, static_cast<int>(cell->col)};
    }
  }
  return std::nullopt;
}

// The first match strictly after `after` in row order, wrapping to the
// range's start and ending with `after` itself.
std::optional<Pos> ScanAfter(const wb::Sheet& sheet, const Area& area, Pos after, const FindOptions& o) {
  Pos next{after.row, after.col + 1};
  Pos end{area.bottom + 1, 1};
  if (auto hit = Scan(sheet, area, next, end, o)) return hit;
  return Scan(sheet, area, Pos{area.top, area.left}, next, o);
}

Pos StartOf(const std::shared_ptr<IRange>& range) {
  auto surface = std::dynamic_pointer_cast<SurfaceRange>(range);
  if (!surface) throw HostError(HostError::kTypeMismatch, "the After cell must be a range of this application");
  const Area& a = surface->CurrentArea();
  return Pos{a.top, a.left};
}

}  // namespace

std::shared_ptr<IRange> SurfaceRange::Find(const FindOptions& options) {
  const Area& area = CurrentArea();
  const wb::Sheet& sheet = Model();
  if (options.searchOrder != kSearchByRows || options.searchDirection != kSearchNext)
    throw HostError("Find supports only searching by rows in the forward direction");
  app_->lastFind = options;
  app_->lastFind.after.reset();
  if (options.what.empty()) return nullptr;
  std::optional<Pos> hit = options.after ? ScanAfter(sheet, area, StartOf(options.after), options)
                                         : Scan(sheet, area, Pos{area.top, area.left}, Pos{area.bottom + 1, 1}, options);
  if (!hit) return nullptr;
  return MakeRange(Area{hit->row, hit->col, hit->row, hit->col});
}

std::shared_ptr<IRange> SurfaceRange::FindNext(const std::shared_ptr<IRange>& after) {
  const Area& area = CurrentArea();
  const FindOptions& options = app_->lastFind;
  if (options.what.empty()) return nullptr;
  if (!after) return Find(options);
  auto hit = ScanAfter(Model(), area, StartOf(after), options);
  if (!hit) return nullptr;
  return MakeRange(Area{hit->row, hit->col, hit->row, hit->col});
}

}  // namespace vemo::host
