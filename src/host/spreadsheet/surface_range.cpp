// Range members: position, content and number format.
#include "foundation/host_error.h"
#include "host/spreadsheet/cell_content.h"
#include "host/spreadsheet/cell_entry.h"
#include "host/spreadsheet/surface_objects.h"
#include "workbook/reference.h"

namespace vemo::host {
namespace {

// Ranges larger than this are refused for cell-by-cell edits: a whole column
// or row written by mistake would otherwise create a million cells.
constexpr long long kMaxEditedCells = 1'000'000;

std::string AbsoluteAddress(const Area& a) {
  if (a.WholeColumns())
    return "$" + wb::ColumnLetters(a.left) + ":$" + wb::ColumnLetters(a.right);
  if (a.WholeRows()) return "$" + std::to_string(a.top) + ":$" + std::to_string(a.bottom);
  std::string first = "$" + wb::ColumnLetters(a.left) + "$" + std::to_string(a.top);
  if (a.top == a.bottom && a.left == a.right) return first;
  return first + ":$" + wb::ColumnLetters(a.right) + "$" + std::to_string(a.bottom);
}

}  // namespace

const Area& SurfaceRange::CurrentArea() const {
  sheet_->Check();
  return *area_;
}

wb::Sheet& SurfaceRange::Model() const { return sheet_->Model(); }

void SurfaceRange::MarkEdited() const {
  if (sheet_->book) sheet_->book->edited = true;
}

std::shared_ptr<IRange> SurfaceRange::MakeRange(const Area& area) const {
  Model();
  return std::make_shared<SurfaceRange>(app_, book_, sheet_, sheet_->areas.Track(area));
}

template <class F>
void SurfaceRange::ForEachCell(F&& f) const {
  const Area& a = CurrentArea();
  if (static_cast<long long>(a.RowCount()) * a.ColumnCount() > kMaxEditedCells)
    throw HostError("the range " + AbsoluteAddress(a) + " is too large to edit cell by cell; use a smaller range");
  for (int r = a.top; r <= a.bottom; ++r)
    for (int c = a.left; c <= a.right; ++c) f(r, c);
}

std::shared_ptr<IWorksheet> SurfaceRange::Worksheet() {
  Model();
  return std::make_shared<SurfaceWorksheet>(app_, book_, sheet_);
}

std::string SurfaceRange::Address() const { return AbsoluteAddress(CurrentArea()); }
int SurfaceRange::Row() const { return CurrentArea().top; }
int SurfaceRange::Column() const { return CurrentArea().left; }
int SurfaceRange::RowCount() const { return CurrentArea().RowCount(); }
int SurfaceRange::ColumnCount() const { return CurrentArea().ColumnCount(); }

std::shared_ptr<IRange> SurfaceRange::Cells(int row, int column) {
  const Area& a = CurrentArea();
  int r = a.top + row - 1, c = a.left + column - 1;
  if (r < 1 || r > kSheetRows || c < 1 || c > kSheetColumns)
    throw HostError(HostError::kKeyNotFound, "Cells(" + std::to_string(row) + ", " + std::to_string(column) +
                                                 ") of " + AbsoluteAddress(a) + " lies outside the sheet");
  return MakeRange(Area{r, c, r, c});
}

std::shared_ptr<IRange> SurfaceRange::Resize(int rows, std::optional<int> columns) {
  const Area& a = CurrentArea();
  int cols = columns.value_or(a.ColumnCount());
  if (rows < 1 || cols < 1)
    throw HostError(HostError::kKeyNotFound, "Resize needs at least one row and one column (asked for " +
                                                 std::to_string(rows) + " x " + std::to_string(cols) + ")");
  Area sized{a.top, a.left, a.top + rows - 1, a.left + cols - 1};
  if (sized.bottom > kSheetRows || sized.right > kSheetColumns)
    throw HostError(HostError::kKeyNotFound, "Resize of " + AbsoluteAddress(a) + " would reach past the sheet's end");
  return MakeRange(sized);
}

std::string SurfaceRange::Text() const {
  const Area& a = CurrentArea();
  return CellDisplayText(Model(), a.top, a.left);
}

Variant SurfaceRange::Value() const {
  const Area& a = CurrentArea();
  return CellVariant(Model(), a.top, a.left);
}

void SurfaceRange::SetValue(const Variant& value) {
  wb::Sheet& sheet = Model();
  ForEachCell([&](int r, int c) { WriteCellValue(sheet, r, c, value); });
  MarkEdited();
}

std::string SurfaceRange::Formula() const {
  const Area& a = CurrentArea();
  return CellFormulaText(Model(), a.top, a.left);
}

void SurfaceRange::SetFormula(const std::string& formula) {
  wb::Sheet& sheet = Model();
  ForEachCell([&](int r, int c) { WriteCellEntry(sheet, r, c, formula); });
  MarkEdited();
}

std::string SurfaceRange::NumberFormat() const {
  const Area& a = CurrentArea();
  return CellFormatCode(Model(), a.top, a.left);
}

void SurfaceRange::SetNumberFormat(const std::string& code) {
  wb::Sheet& sheet = Model();
  ForEachCell([&](int r, int c) { SetCellFormatCode(sheet, r, c, code); });
}

std::string SurfaceRange::NumberFormatLocal() const { return LocalFromFormatCode(NumberFormat()); }

void SurfaceRange::SetNumberFormatLocal(const std::string& code) { SetNumberFormat(FormatCodeFromLocal(code)); }

bool SurfaceRange::HasFormula() const {
  const Area& a = CurrentArea();
  const wb::Cell* cell = Model().FindCell(a.top, a.left);
  return cell && cell->formula != wb::kNoIndex;
}

void SurfaceRange::SetHasFormula(bool) {
  throw HostError("HasFormula is read-only: write a formula through Formula instead");
}

}  // namespace vemo::host
