#include "host/spreadsheet/cell_calculate.h"

#include <map>
#include <set>
#include <tuple>

#include "host/spreadsheet/cell_content.h"
#include "host/spreadsheet/formula_bridge.h"
#include "workbook/reference.h"
#include "workbook/workbook.h"

namespace vemo::host {
namespace {

// Formula cells a formula refers to are computed again rather than trusted
// for their cached values: the fill has usually changed their inputs.
constexpr int kMaxDepth = 64;

struct Shared {
  wb::Workbook& book;
  std::map<std::tuple<const wb::Sheet*, int, int>, PlainValue> done;
  std::set<std::tuple<const wb::Sheet*, int, int>> running;
  bool incomplete = false;
};

PlainValue StoredValue(const wb::Sheet& sheet, int row, int col) {
  wb::CellContent v = sheet.GetValue(row, col);
  PlainValue out;
  switch (v.type) {
    case wb::CellType::Blank: break;
    case wb::CellType::Number: out.kind = PlainValue::Kind::Number; out.number = v.number; break;
    case wb::CellType::Boolean: out.kind = PlainValue::Kind::Boolean; out.boolean = v.boolean; break;
    case wb::CellType::Error: out.kind = PlainValue::Kind::Error; out.text = v.text; break;
    default: out.kind = PlainValue::Kind::Text; out.text = v.text; break;
  }
  return out;
}

class ModelCells : public FormulaCells {
 public:
  ModelCells(Shared& shared, const wb::Sheet& home, int depth) : shared_(shared), home_(home), depth_(depth) {}

  PlainValue Cell(std::string_view sheetName, int row, int col) override {
    const wb::Sheet* sheet = Resolve(sheetName);
    if (!sheet) return PlainValue{PlainValue::Kind::Error, 0, false, "#REF!"};
    const wb::Cell* cell = sheet->FindCell(row, col);
    if (!cell) return {};
    if (cell->formula == wb::kNoIndex) return StoredValue(*sheet, row, col);
    auto key = std::make_tuple(sheet, row, col);
    if (auto it = shared_.done.find(key); it != shared_.done.end()) return it->second;
    if (depth_ >= kMaxDepth || shared_.running.count(key)) {
      shared_.incomplete = true;  // a circular or very deep chain: leave it to the reader
      return StoredValue(*sheet, row, col);
    }
    shared_.running.insert(key);
    std::string formula = CellFormulaText(*sheet, row, col).substr(1);
    ModelCells inner(shared_, *sheet, depth_ + 1);
    FormulaOutcome outcome = EvaluateWithCells(formula, row, col, inner);
    shared_.running.erase(key);
    if (!outcome.complete) shared_.incomplete = true;
    shared_.done[key] = outcome.value;
    return outcome.value;
  }

  std::optional<std::string> NameFormula(std::string_view name, std::string_view sheetName) override {
    const wb::Sheet* sheet = Resolve(sheetName);
    std::optional<std::size_t> local = sheet ? shared_.book.SheetIndex(*sheet) : std::nullopt;
    std::optional<std::string> global;
    for (const wb::DefinedName& n : shared_.book.DefinedNames()) {
      if (CompareText(n.name, name, true) != 0) continue;
      if (n.localSheetId < 0) global = n.text;
      else if (local && static_cast<std::size_t>(n.localSheetId) == *local) return n.text;
    }
    return global;
  }

  bool Date1904() override { return shared_.book.date1904(); }

  int LastRow(std::string_view sheetName) override {
    const wb::Sheet* sheet = Resolve(sheetName);
    auto used = sheet ? sheet->UsedRange() : std::nullopt;
    return used ? used->last.row : 1;
  }
  int LastColumn(std::string_view sheetName) override {
    const wb::Sheet* sheet = Resolve(sheetName);
    auto used = sheet ? sheet->UsedRange() : std::nullopt;
    return used ? used->last.col : 1;
  }

 private:
  const wb::Sheet* Resolve(std::string_view name) const {
    if (name.empty()) return &home_;
    for (std::size_t i = 0; i < shared_.book.SheetCount(); ++i)
      if (wb::SameSheetName(shared_.book.GetSheet(i).name(), name)) return &shared_.book.GetSheet(i);
    return nullptr;
  }
  Shared& shared_;
  const wb::Sheet& home_;
  int depth_;
};

void StoreCachedValue(wb::Sheet& sheet, int row, int col, const PlainValue& value) {
  wb::Cell& cell = sheet.GetOrAddCell(row, col);
  cell.text = wb::kNoIndex;
  cell.number = 0;
  switch (value.kind) {
    case PlainValue::Kind::Empty:  // a formula showing an empty cell shows 0
    case PlainValue::Kind::Number:
      cell.type = wb::CellType::Number;
      cell.number = value.number;
      break;
    case PlainValue::Kind::Boolean:
      cell.type = wb::CellType::Boolean;
      cell.number = value.boolean ? 1 : 0;
      break;
    case PlainValue::Kind::Text:
      cell.type = wb::CellType::String;
      cell.text = sheet.AddText(value.text);
      break;
    case PlainValue::Kind::Error:
      cell.type = wb::CellType::Error;
      cell.text = sheet.AddText(value.text);
      break;
  }
  sheet.MarkCellsChanged();
}

}  // namespace

bool CalculateCell(wb::Sheet& sheet, int row, int col) {
  const wb::Cell* cell = sheet.FindCell(row, col);
  if (!cell || cell->formula == wb::kNoIndex) return true;
  Shared shared{sheet.book(), {}, {}, false};
  ModelCells cells(shared, sheet, 0);
  shared.running.insert(std::make_tuple(&sheet, row, col));
  FormulaOutcome outcome = EvaluateWithCells(CellFormulaText(sheet, row, col).substr(1), row, col, cells);
  if (!outcome.complete || shared.incomplete) return false;
  StoreCachedValue(sheet, row, col, outcome.value);
  return true;
}

}  // namespace vemo::host
