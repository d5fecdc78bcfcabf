#include "workbook/sheet.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "workbook/reference_shift.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/model/xml_access.h"

namespace vemo::wb {

namespace {
void CheckAddress(int row, int col) {
  if (row < 1 || row > kMaxRows || col < 1 || col > kMaxColumns)
    throw WorkbookError("cell (" + std::to_string(row) + ", " + std::to_string(col) +
                        ") is outside the sheet (rows 1.." + std::to_string(kMaxRows) + ", columns 1.." +
                        std::to_string(kMaxColumns) + ")");
}

std::string FormatNumber(double value) {
  char buffer[32];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}
}  // namespace

Sheet::Sheet(Workbook& book, std::string name, std::string partName)
    : book_(book), name_(std::move(name)), partName_(std::move(partName)), xml_(std::make_unique<XmlDocument>()) {}

Sheet::~Sheet() = default;

XmlDocument& SheetXml(Sheet& sheet) { return *sheet.xml_; }
const XmlDocument& SheetXml(const Sheet& sheet) { return *sheet.xml_; }

namespace {

// The position of the first row numbered `number` or more. Rows are mostly
// consecutive (a bill's lines are), so the row's position is at most its
// distance from the first row: start there and step back over the few gaps,
// searching only when there are many.
template <class Rows>
auto RowLowerBound(Rows& rows, std::uint32_t number) {
  if (rows.empty() || rows.front().number >= number) return rows.begin();
  std::size_t end = std::min<std::size_t>(number - rows.front().number, rows.size());
  for (int step = 0; step < 8; ++step, --end)
    if (rows[end - 1].number < number) return rows.begin() + static_cast<std::ptrdiff_t>(end);
  return std::lower_bound(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(end), number,
                          [](const Row& r, std::uint32_t n) { return r.number < n; });
}

}  // namespace

const Row* Sheet::FindRow(int row) const {
  auto it = RowLowerBound(rows_, static_cast<std::uint32_t>(row));
  return it != rows_.end() && it->number == static_cast<std::uint32_t>(row) ? &*it : nullptr;
}

Row& Sheet::GetOrAddRow(int row) {
  CheckAddress(row, 1);
  auto it = RowLowerBound(rows_, static_cast<std::uint32_t>(row));
  if (it != rows_.end() && it->number == static_cast<std::uint32_t>(row)) return *it;
  Row fresh;
  fresh.number = static_cast<std::uint32_t>(row);
  // A long sheet grows by an eighth, not by doubling: one row added to a
  // bill of 100,000 lines (the margin row) would otherwise leave room for
  // 100,000 more.
  if (rows_.size() == rows_.capacity() && rows_.size() > 4096) {
    const auto offset = it - rows_.begin();
    rows_.reserve(rows_.size() + rows_.size() / 8);
    it = rows_.begin() + offset;
  }
  return *rows_.insert(it, std::move(fresh));
}

const Cell* Sheet::FindCell(int row, int col) const {
  const Row* r = FindRow(row);
  if (!r) return nullptr;
  auto it = std::lower_bound(r->cells.begin(), r->cells.end(), static_cast<std::uint32_t>(col),
                             [](const Cell& c, std::uint32_t n) { return c.col < n; });
  return it != r->cells.end() && it->col == static_cast<std::uint32_t>(col) ? &*it : nullptr;
}

Cell& Sheet::GetOrAddCell(int row, int col) {
  CheckAddress(row, col);
  Row& r = GetOrAddRow(row);
  auto it = std::lower_bound(r.cells.begin(), r.cells.end(), static_cast<std::uint32_t>(col),
                             [](const Cell& c, std::uint32_t n) { return c.col < n; });
  if (it != r.cells.end() && it->col == static_cast<std::uint32_t>(col)) return *it;
  Cell fresh;
  fresh.col = static_cast<std::uint32_t>(col);
  // A new cell takes the row's format, else the column's, as an application would show it.
  if (r.customFormat) {
    fresh.style = r.style;
  } else {
    for (pugi::xml_node c : FirstChild(xml_->document_element(), "cols").children())
      if (c.type() == pugi::node_element && col >= c.attribute("min").as_int() && col <= c.attribute("max").as_int()) {
        fresh.style = c.attribute("style").as_uint(0);
        break;
      }
  }
  return *r.cells.insert(it, fresh);
}

CellContent Sheet::GetValue(int row, int col) const {
  CellContent value;
  const Cell* cell = FindCell(row, col);
  if (!cell) return value;
  value.type = cell->type;
  switch (cell->type) {
    case CellType::Blank: break;
    case CellType::Number:
      value.number = cell->number;
      if (cell->text != kNoIndex) value.text = texts_[cell->text];
      break;
    case CellType::Boolean:
      value.boolean = cell->number != 0;
      value.number = cell->number;
      break;
    case CellType::SharedString: value.text = book_.sharedStrings().Text(cell->text); break;
    case CellType::InlineString: value.text = StringItemText(texts_[cell->text]); break;
    case CellType::Error:
    case CellType::String:
    case CellType::Date: value.text = cell->text != kNoIndex ? texts_[cell->text] : std::string(); break;
  }
  return value;
}

const Formula* Sheet::GetFormula(int row, int col) const {
  const Cell* cell = FindCell(row, col);
  if (!cell || cell->formula == kNoIndex) return nullptr;
  return &formulas_[cell->formula];
}

std::optional<std::string> Sheet::FormulaText(int row, int col) const {
  const Formula* f = GetFormula(row, col);
  if (!f) return std::nullopt;
  if (f->kind != FormulaKind::Shared || !f->text.empty()) return f->text;
  auto master = SharedFormulaMaster(f->sharedIndex);
  if (!master) return std::string();
  return TranslateFormula(GetFormula(master->row, master->col)->text, row - master->row, col - master->col);
}

void Sheet::DetachSharedFollowers(int row, int col) {
  const Cell* cell = FindCell(row, col);
  if (!cell || cell->formula == kNoIndex) return;
  const Formula master = formulas_[cell->formula];
  if (master.kind != FormulaKind::Shared || master.text.empty()) return;
  for (Row& r : rows_)
    for (Cell& c : r.cells) {
      if (c.formula == kNoIndex || c.formula == cell->formula) continue;
      Formula& f = formulas_[c.formula];
      if (f.kind != FormulaKind::Shared || f.sharedIndex != master.sharedIndex) continue;
      f.text = TranslateFormula(master.text, static_cast<int>(r.number) - row, static_cast<int>(c.col) - col);
      f.kind = FormulaKind::Normal;
      f.sharedIndex = -1;
      f.ref.clear();
    }
}

std::optional<CellAddress> Sheet::SharedFormulaMaster(int sharedIndex) const {
  for (const Row& r : rows_)
    for (const Cell& c : r.cells)
      if (c.formula != kNoIndex) {
        const Formula& f = formulas_[c.formula];
        if (f.kind == FormulaKind::Shared && f.sharedIndex == sharedIndex && !f.ref.empty())
          return CellAddress{static_cast<int>(r.number), static_cast<int>(c.col)};
      }
  return std::nullopt;
}

namespace {
void DropValue(Cell& cell) {
  cell.type = CellType::Blank;
  cell.number = 0;
  cell.text = kNoIndex;
  cell.formula = kNoIndex;
}
}  // namespace

void Sheet::SetNumber(int row, int col, double value) {
  DetachSharedFollowers(row, col);
  Cell& cell = GetOrAddCell(row, col);
  DropValue(cell);
  cell.type = CellType::Number;
  cell.number = value;
  cellsChanged_ = true;
}

void Sheet::SetString(int row, int col, std::string_view value) {
  DetachSharedFollowers(row, col);
  Cell& cell = GetOrAddCell(row, col);
  DropValue(cell);
  cell.type = CellType::SharedString;
  cell.text = book_.sharedStrings().Add(value);
  cellsChanged_ = true;
}

void Sheet::SetBoolean(int row, int col, bool value) {
  DetachSharedFollowers(row, col);
  Cell& cell = GetOrAddCell(row, col);
  DropValue(cell);
  cell.type = CellType::Boolean;
  cell.number = value ? 1 : 0;
  cellsChanged_ = true;
}

void Sheet::SetFormula(int row, int col, std::string_view formulaWithoutEquals) {
  DetachSharedFollowers(row, col);
  Cell& cell = GetOrAddCell(row, col);
  std::uint32_t slot = cell.formula;  // each cell owns its formula entry, so it can be reused
  DropValue(cell);
  Formula f;
  f.text = std::string(formulaWithoutEquals);
  if (slot != kNoIndex) {
    f.extraAttributes = std::move(formulas_[slot].extraAttributes);
    formulas_[slot] = std::move(f);
    cell.formula = slot;
  } else {
    cell.formula = AddFormula(std::move(f));
  }
  cellsChanged_ = true;
}

void Sheet::SetStyle(int row, int col, std::uint32_t style) {
  GetOrAddCell(row, col).style = style;
  cellsChanged_ = true;
}

void Sheet::ClearValue(int row, int col) {
  if (!FindCell(row, col)) return;
  DetachSharedFollowers(row, col);
  DropValue(GetOrAddCell(row, col));
  cellsChanged_ = true;
}

std::optional<CellRange> Sheet::UsedRange() const {
  std::optional<CellRange> range;
  for (const Row& r : rows_) {
    if (r.cells.empty()) continue;
    int first = static_cast<int>(r.cells.front().col), last = static_cast<int>(r.cells.back().col);
    int n = static_cast<int>(r.number);
    if (!range) {
      range = CellRange{{n, first}, {n, last}};
      continue;
    }
    range->first.row = std::min(range->first.row, n);
    range->last.row = std::max(range->last.row, n);
    range->first.col = std::min(range->first.col, first);
    range->last.col = std::max(range->last.col, last);
  }
  return range;
}

std::vector<std::string> Sheet::MergedRanges() const {
  std::vector<std::string> ranges;
  pugi::xml_node merges = FirstChild(xml_->document_element(), "mergeCells");
  for (pugi::xml_node m : merges.children())
    if (m.type() == pugi::node_element && LocalName(m) == "mergeCell") ranges.emplace_back(m.attribute("ref").value());
  return ranges;
}

void Sheet::AddMergedRange(const CellRange& range) {
  pugi::xml_node merges = EnsureChildInOrder(xml_->document_element(), "mergeCells", kWorksheetOrder, kWorksheetOrderSize);
  pugi::xml_node m = merges.append_child((prefix_ + "mergeCell").c_str());
  m.append_attribute("ref") = FormatCellRange(range).c_str();
  std::size_t count = MergedRanges().size();
  if (pugi::xml_attribute c = merges.attribute("count")) c = count;
  else merges.append_attribute("count") = count;
}

std::optional<double> Sheet::RowHeight(int row) const {
  const Row* r = FindRow(row);
  if (r && r->hasHeight) return r->height;
  return std::nullopt;
}

void Sheet::SetRowHeight(int row, double points) {
  Row& r = GetOrAddRow(row);
  r.height = points;
  r.hasHeight = true;
  r.customHeight = true;
  cellsChanged_ = true;
}

std::optional<double> Sheet::ColumnWidth(int col) const {
  for (pugi::xml_node c : FirstChild(xml_->document_element(), "cols").children())
    if (c.type() == pugi::node_element && col >= c.attribute("min").as_int() && col <= c.attribute("max").as_int() &&
        c.attribute("width"))
      return c.attribute("width").as_double();
  return std::nullopt;
}

void Sheet::SetColumnWidth(int col, double width) {
  CheckAddress(1, col);
  pugi::xml_node cols = EnsureChildInOrder(xml_->document_element(), "cols", kWorksheetOrder, kWorksheetOrderSize);
  pugi::xml_node target;
  for (pugi::xml_node c : cols.children()) {
    if (c.type() != pugi::node_element) continue;
    int min = c.attribute("min").as_int(), max = c.attribute("max").as_int();
    if (col < min || col > max) continue;
    // Split the span so only this column changes.
    if (min < col) {
      pugi::xml_node before = cols.insert_copy_before(c, c);
      before.attribute("max") = col - 1;
    }
    if (max > col) {
      pugi::xml_node after = cols.insert_copy_after(c, c);
      after.attribute("min") = col + 1;
    }
    c.attribute("min") = col;
    c.attribute("max") = col;
    target = c;
    break;
  }
  if (!target) {
    pugi::xml_node next;
    for (pugi::xml_node c : cols.children())
      if (c.type() == pugi::node_element && c.attribute("min").as_int() > col) {
        next = c;
        break;
      }
    std::string name = prefix_ + "col";
    target = next ? cols.insert_child_before(name.c_str(), next) : cols.append_child(name.c_str());
    target.append_attribute("min") = col;
    target.append_attribute("max") = col;
  }
  std::string text = FormatNumber(width);
  if (pugi::xml_attribute w = target.attribute("width")) w = text.c_str();
  else target.append_attribute("width") = text.c_str();
  if (pugi::xml_attribute cw = target.attribute("customWidth")) cw = "1";
  else target.append_attribute("customWidth") = "1";
}

std::uint32_t Sheet::AddText(std::string text) {
  texts_.push_back(std::move(text));
  return static_cast<std::uint32_t>(texts_.size() - 1);
}

std::uint32_t Sheet::AddFormula(Formula formula) {
  formulas_.push_back(std::move(formula));
  return static_cast<std::uint32_t>(formulas_.size() - 1);
}

}  // namespace vemo::wb
