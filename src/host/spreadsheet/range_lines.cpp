// Range members for rows and columns: Copy, Insert, RowHeight, ColumnWidth,
// and Calculate.
#include <algorithm>

#include "foundation/host_error.h"
#include "host/spreadsheet/cell_calculate.h"
#include "host/spreadsheet/line_insertion.h"
#include "host/spreadsheet/surface_objects.h"
#include "workbook/surface_support.h"

namespace vemo::host {

void SurfaceRange::Copy() {
  const Area& a = CurrentArea();
  app_->SetClipboard({sheet_, sheet_->areas.Track(a)});
}

// A row copied and inserted above itself is only counted (PendingRowCopies)
// when it continues the pending copies of that row, or starts them, and all
// of them together still fit on the sheet.
bool SurfaceRange::DeferRowCopy(const Area& a, std::optional<int> source) const {
  const BookCore& book = *sheet_->book;
  if (book.pendingCopies && (book.pendingCopies->sheet != sheet_.get() || book.pendingCopies->at != a.top))
    book.MakePendingCopies();
  if (!source || *source != a.top || a.RowCount() != 1 || sheet_->sheet->kind() != wb::SheetKind::Worksheet)
    return false;
  const int count = book.pendingCopies ? book.pendingCopies->count + 1 : 1;
  const auto& rows = sheet_->sheet->rows();
  const long lastRow = rows.empty() ? 0 : static_cast<long>(rows.back().number);
  if (lastRow >= a.top && lastRow + count > kSheetRows) return false;  // the insertion must refuse as before
  book.pendingCopies = PendingRowCopies{sheet_.get(), a.top, count};
  return true;
}

void SurfaceRange::Insert(std::optional<int> shift, std::optional<int> copyOrigin) {
  const Area a = CurrentArea();
  // An insertion ends the copy mode, as in a spreadsheet application: a
  // later insertion without a new Copy inserts empty lines.
  SurfaceApplication::Clip clip = app_->TakeClipboard();
  if (a.WholeRows()) {
    if (shift && *shift != kShiftDown)
      throw HostError("whole rows can only be inserted by shifting cells down (Shift -4121)");
    std::optional<int> source;
    if (clip.sheet && clip.sheet->sheet) {
      if (clip.sheet != sheet_ || !clip.area->WholeRows() || clip.area->RowCount() != 1)
        throw HostError("inserting copied cells needs one whole row copied from the same sheet");
      source = clip.area->top;
    }
    if (!DeferRowCopy(a, source)) InsertModelRows(Model(), a.top, a.RowCount(), source);
    sheet_->areas.RowsInserted(a.top, a.RowCount());
  } else if (a.WholeColumns()) {
    if (shift && *shift != kShiftToRight)
      throw HostError("whole columns can only be inserted by shifting cells right (Shift -4161)");
    if (clip.sheet && clip.sheet->sheet)
      throw HostError("inserting copied columns is not supported; insert empty columns");
    InsertModelColumns(Model(), a.left, a.ColumnCount());
    sheet_->areas.ColumnsInserted(a.left, a.ColumnCount());
  } else {
    throw HostError("only whole rows (Rows(r)) or whole columns (Columns(c)) can be inserted");
  }
  MarkEdited();
}

double SurfaceRange::RowHeight() const {
  const Area& a = CurrentArea();
  const wb::Sheet& sheet = Model();
  if (auto h = sheet.RowHeight(a.top)) return *h;
  return wb::DefaultRowHeight(sheet, 15.0);
}

void SurfaceRange::SetRowHeight(double points) {
  const Area& a = CurrentArea();
  if (points < 0 || points > 409)
    throw HostError("a row height must lie between 0 and 409 points (asked for " + std::to_string(points) + ")");
  if (a.RowCount() > 65536)
    throw HostError("set the height of fewer rows at a time (at most 65536), for example on Rows(r)");
  wb::Sheet& sheet = Model();
  for (int r = a.top; r <= a.bottom; ++r) sheet.SetRowHeight(r, points);
}

double SurfaceRange::ColumnWidth() const {
  const Area& a = CurrentArea();
  const wb::Sheet& sheet = Model();
  if (auto w = sheet.ColumnWidth(a.left)) return *w;
  return wb::DefaultColumnWidth(sheet, 8.43);
}

void SurfaceRange::SetColumnWidth(double characters) {
  const Area& a = CurrentArea();
  if (characters < 0 || characters > 255)
    throw HostError("a column width must lie between 0 and 255 characters (asked for " + std::to_string(characters) +
                    ")");
  if (a.ColumnCount() > 256)
    throw HostError("set the width of fewer columns at a time (at most 256), for example on Columns(c)");
  wb::Sheet& sheet = Model();
  for (int c = a.left; c <= a.right; ++c) sheet.SetColumnWidth(c, characters);
}

void SurfaceRange::Calculate() {
  wb::Sheet& sheet = Model();
  bool complete = true;
  const Area& a = CurrentArea();
  // From the area's first row on (rows are sorted): one cell's Calculate on a
  // long sheet must not walk the rows above it.
  const auto& rows = sheet.rows();
  auto first = std::lower_bound(rows.begin(), rows.end(), a.top,
                                [](const wb::Row& row, int top) { return static_cast<int>(row.number) < top; });
  for (auto row = first; row != rows.end(); ++row) {
    int r = static_cast<int>(row->number);
    if (r > a.bottom) break;
    for (const wb::Cell& cell : row->cells) {
      int c = static_cast<int>(cell.col);
      if (c < a.left || c > a.right || cell.formula == wb::kNoIndex) continue;
      if (!CalculateCell(sheet, r, c)) complete = false;
    }
  }
  if (!complete) wb::RequestFullCalcOnLoad(sheet.book());
}

}  // namespace vemo::host
