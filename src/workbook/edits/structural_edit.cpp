#include "workbook/structural_edit.h"

#include <algorithm>
#include <map>

#include "workbook/reference_shift.h"
#include "workbook/edits/structural_edit_parts.h"
#include "workbook/workbook_error.h"
#include "workbook/edits/xml_formulas.h"
#include "workbook/model/xml_access.h"
#include "workbook/xls/xls_kept_shift.h"

namespace vemo::wb {

namespace {

using Axis = LineInsertion::Axis;

class LineInserter {
 public:
  LineInserter(Workbook& book, Sheet& sheet, LineInsertion ins, std::optional<int> copyFrom)
      : book_(book), edited_(sheet), ins_(ins), copyFrom_(copyFrom) {}

  void Run() {
    Validate();
    for (std::size_t i = 0; i < book_.SheetCount(); ++i) {
      Sheet& s = book_.GetSheet(i);
      if (s.kind() != SheetKind::Worksheet) continue;
      UnshareGroups(s, &s == &edited_);
      ShiftCellFormulas(s, &s == &edited_);
    }
    MoveCells();
    if (copyFrom_) CopyLines();
    EditSheetXml(edited_, ins_, TemplateLine(), copyFrom_.has_value());
    for (std::size_t i = 0; i < book_.SheetCount(); ++i) {
      Sheet& s = book_.GetSheet(i);
      if (&s == &edited_ || s.kind() != SheetKind::Worksheet) continue;
      RewriteFormulaElements(SheetXml(s).document_element(),
                             [&](std::string_view f) { return ShiftFormula(f, s.name(), edited_.name(), ins_); });
    }
    ShiftDefinedNames();
    EditRelatedParts(book_, edited_, ins_, TemplateLine());
    ShiftKeptXlsRecords(book_, edited_, ins_);
    edited_.MarkCellsChanged();
  }

 private:
  bool rows() const { return ins_.axis == Axis::Rows; }
  int Limit() const { return rows() ? kMaxRows : kMaxColumns; }
  // The copied line, counted after the insertion.
  int TemplateLine() const {
    if (!copyFrom_) return 0;
    return *copyFrom_ >= ins_.at ? *copyFrom_ + ins_.count : *copyFrom_;
  }

  void Validate() {
    const char* what = rows() ? "rows" : "columns";
    if (edited_.kind() != SheetKind::Worksheet)
      throw WorkbookError("cannot insert " + std::string(what) + " into sheet '" + edited_.name() +
                          "': it is not a worksheet");
    if (ins_.at < 1 || ins_.at > Limit() || ins_.count < 1 || ins_.count > Limit() - ins_.at + 1)
      throw WorkbookError("cannot insert " + std::to_string(ins_.count) + " " + what + " at " +
                          std::to_string(ins_.at) + " in sheet '" + edited_.name() + "': outside the sheet");
    if (copyFrom_ && (*copyFrom_ < 1 || *copyFrom_ > Limit()))
      throw WorkbookError("cannot copy line " + std::to_string(*copyFrom_) + ": outside the sheet");
    // Cells pushed off the end are dropped when they only carry a format
    // (files formatted out to the last row or column are common); a value or
    // a formula would be lost, so that refuses the insertion.
    for (const Row& row : edited_.rows()) {
      if (rows() && (static_cast<long>(row.number) < ins_.at ||
                     static_cast<long>(row.number) + ins_.count <= Limit()))
        continue;
      for (auto cell = row.cells.rbegin(); cell != row.cells.rend(); ++cell) {
        const long line = rows() ? static_cast<long>(row.number) : static_cast<long>(cell->col);
        if (!rows() && (line < ins_.at || line + ins_.count <= Limit())) break;
        if (cell->type == CellType::Blank && cell->formula == kNoIndex) continue;
        throw WorkbookError("cannot insert " + std::to_string(ins_.count) + " " + what + " in sheet '" +
                            edited_.name() + "': cell " +
                            FormatCellAddress(static_cast<int>(row.number), static_cast<int>(cell->col)) +
                            " holds a value or formula and would be pushed off the end of the sheet; clear it or "
                            "move it away from the sheet's edge");
      }
    }
  }

  static std::string MemberText(const Sheet& s, const Formula& master, CellAddress masterAt, int row, int col) {
    return TranslateFormula(master.text, row - masterAt.row, col - masterAt.col);
  }

  // A shared formula stores its text once, in its first cell; an insertion
  // that moves or changes only some of its cells would break that, so such
  // groups become ordinary formulas first.
  void UnshareGroups(Sheet& s, bool edited) {
    struct Member {
      int row, col;
      std::uint32_t formula;
    };
    struct Group {
      std::uint32_t master = kNoIndex;
      CellAddress masterAt;
      std::vector<Member> members;
    };
    std::map<int, Group> groups;
    for (const Row& row : s.rows())
      for (const Cell& cell : row.cells) {
        if (cell.formula == kNoIndex) continue;
        const Formula& f = s.formulas()[cell.formula];
        if (f.kind != FormulaKind::Shared || f.sharedIndex < 0) continue;
        Group& g = groups[f.sharedIndex];
        g.members.push_back({static_cast<int>(row.number), static_cast<int>(cell.col), cell.formula});
        if (!f.text.empty() && g.master == kNoIndex) {
          g.master = cell.formula;
          g.masterAt = {static_cast<int>(row.number), static_cast<int>(cell.col)};
        }
      }
    std::vector<Formula>& formulas = s.mutableFormulas();
    for (auto& [si, g] : groups) {
      if (g.master == kNoIndex) continue;  // no text to expand: leave as read
      const Formula master = formulas[g.master];
      bool unshare = false;
      if (edited)
        for (const Member& m : g.members) unshare = unshare || (rows() ? m.row : m.col) >= ins_.at;
      if (!unshare && (edited || master.text.find('!') != std::string::npos))
        for (const Member& m : g.members) {
          std::string text = MemberText(s, master, g.masterAt, m.row, m.col);
          if (ShiftFormula(text, s.name(), edited_.name(), ins_) != text) {
            unshare = true;
            break;
          }
        }
      if (!unshare) continue;
      for (const Member& m : g.members) {
        Formula& f = formulas[m.formula];
        std::string text = MemberText(s, master, g.masterAt, m.row, m.col);
        f.kind = FormulaKind::Normal;
        f.ref.clear();
        f.sharedIndex = -1;
        f.text = std::move(text);
      }
      s.MarkCellsChanged();
    }
  }

  void ShiftCellFormulas(Sheet& s, bool edited) {
    for (Formula& f : s.mutableFormulas()) {
      if (!f.text.empty() && (edited || f.text.find('!') != std::string::npos)) {
        std::string shifted = ShiftFormula(f.text, s.name(), edited_.name(), ins_);
        if (shifted != f.text) {
          f.text = std::move(shifted);
          s.MarkCellsChanged();
        }
      }
      if (edited && !f.ref.empty()) {
        std::string ref = ShiftRangeList(f.ref, ins_);
        if (!ref.empty()) f.ref = std::move(ref);
      }
    }
  }

  void MoveCells() {
    std::vector<Row>& rowsOfSheet = edited_.mutableRows();
    if (rows()) {
      for (Row& row : rowsOfSheet)
        if (static_cast<int>(row.number) >= ins_.at) row.number += static_cast<std::uint32_t>(ins_.count);
      std::erase_if(rowsOfSheet, [](const Row& r) { return r.number > static_cast<std::uint32_t>(kMaxRows); });
    } else {
      for (Row& row : rowsOfSheet) {
        for (Cell& cell : row.cells)
          if (static_cast<int>(cell.col) >= ins_.at) cell.col += static_cast<std::uint32_t>(ins_.count);
        std::erase_if(row.cells, [](const Cell& c) { return c.col > static_cast<std::uint32_t>(kMaxColumns); });
      }
    }
  }

  // The formula a copy of `cell` gets when moved by (dRow, dCol).
  std::uint32_t CopyFormula(const Cell& cell, int srcRow, int dRow, int dCol) {
    const Formula& f = edited_.formulas()[cell.formula];
    std::string text = f.text;
    if (f.kind == FormulaKind::Shared && text.empty()) {
      auto masterAt = edited_.SharedFormulaMaster(f.sharedIndex);
      if (!masterAt) return kNoIndex;
      const Formula* master = edited_.GetFormula(masterAt->row, masterAt->col);
      text = TranslateFormula(master->text, srcRow - masterAt->row, static_cast<int>(cell.col) - masterAt->col);
    }
    Formula copy;
    copy.extraAttributes = f.extraAttributes;
    if (f.kind == FormulaKind::Array) {
      auto range = ParseCellRange(f.ref);
      bool single = range && range->first.row == range->last.row && range->first.col == range->last.col;
      if (!single) return kNoIndex;  // a multi-cell array is not copied cell by cell
      copy.kind = FormulaKind::Array;
      copy.ref = FormatCellAddress(srcRow + dRow, static_cast<int>(cell.col) + dCol);
    } else if (f.kind == FormulaKind::DataTable) {
      return kNoIndex;
    }
    copy.text = TranslateFormula(text, dRow, dCol);
    return edited_.AddFormula(std::move(copy));
  }

  Cell CopyCell(const Cell& cell, int srcRow, int dRow, int dCol) {
    Cell copy = cell;
    copy.col = static_cast<std::uint32_t>(static_cast<int>(cell.col) + dCol);
    if (cell.formula != kNoIndex) copy.formula = CopyFormula(cell, srcRow, dRow, dCol);
    return copy;
  }

  void CopyLines() {
    const int src = TemplateLine();
    std::vector<Row>& all = edited_.mutableRows();
    if (rows()) {
      const Row* source = edited_.FindRow(src);
      if (!source) return;
      Row pattern = *source;  // copied: inserting rows below invalidates `source`
      std::vector<Row> copies;
      copies.reserve(static_cast<std::size_t>(ins_.count));
      std::size_t formulasPerRow = std::count_if(pattern.cells.begin(), pattern.cells.end(),
                                                 [](const Cell& c) { return c.formula != kNoIndex; });
      edited_.mutableFormulas().reserve(edited_.formulas().size() + formulasPerRow * ins_.count);
      for (int k = 0; k < ins_.count; ++k) {
        int target = ins_.at + k;
        Row row;
        row = pattern;
        row.number = static_cast<std::uint32_t>(target);
        row.cells.clear();
        row.cells.reserve(pattern.cells.size());
        for (const Cell& cell : pattern.cells) row.cells.push_back(CopyCell(cell, src, target - src, 0));
        copies.push_back(std::move(row));
      }
      auto at = std::lower_bound(all.begin(), all.end(), static_cast<std::uint32_t>(ins_.at),
                                 [](const Row& r, std::uint32_t n) { return r.number < n; });
      all.insert(at, std::make_move_iterator(copies.begin()), std::make_move_iterator(copies.end()));
    } else {
      for (Row& row : all) {
        auto it = std::find_if(row.cells.begin(), row.cells.end(),
                               [&](const Cell& c) { return static_cast<int>(c.col) == src; });
        if (it == row.cells.end()) continue;
        Cell pattern = *it;
        std::vector<Cell> copies;
        for (int k = 0; k < ins_.count; ++k)
          copies.push_back(CopyCell(pattern, static_cast<int>(row.number), 0, ins_.at + k - src));
        auto pos = std::lower_bound(row.cells.begin(), row.cells.end(), static_cast<std::uint32_t>(ins_.at),
                                    [](const Cell& c, std::uint32_t n) { return c.col < n; });
        row.cells.insert(pos, copies.begin(), copies.end());
      }
    }
  }

  void ShiftDefinedNames() {
    for (const DefinedName& name : book_.DefinedNames()) {
      std::string host;
      if (name.localSheetId >= 0 && static_cast<std::size_t>(name.localSheetId) < book_.SheetCount())
        host = book_.GetSheet(static_cast<std::size_t>(name.localSheetId)).name();
      std::string shifted = ShiftFormula(name.text, host, edited_.name(), ins_);
      if (shifted != name.text) book_.SetDefinedNameText(name, shifted);
    }
  }

  Workbook& book_;
  Sheet& edited_;
  LineInsertion ins_;
  std::optional<int> copyFrom_;
};

}  // namespace

void InsertRows(Workbook& book, Sheet& sheet, int at, int count, std::optional<int> copyFrom) {
  LineInserter(book, sheet, LineInsertion{Axis::Rows, at, count}, copyFrom).Run();
}

void InsertColumns(Workbook& book, Sheet& sheet, int at, int count, std::optional<int> copyFrom) {
  LineInserter(book, sheet, LineInsertion{Axis::Columns, at, count}, copyFrom).Run();
}

}  // namespace vemo::wb
