// Entry rows: the template row of an entry table repeated once per bill
// line, each copy filled with its line's values; formula cells that use
// entry values become one live formula per line.
#include <string>

#include "context/long_work.h"
#include "context/spreadsheet_detection.h"
#include "engine/cell_search.h"
#include "engine/head_values.h"
#include "engine/ignore_errors.h"
#include "engine/keyword_grammar.h"
#include "engine/outside_cell_handler.h"
#include "engine/sheet_fill.h"
#include "foundation/creation_service.h"
#include "foundation/utf8_text.h"

namespace vemo::engine {
namespace {

int TableSize(const EngineState& state, std::string_view pageKey) {
  if (!state.billData) return 0;
  return ValueOr(0, [&] {
    auto table = state.billData->Value(pageKey).AsObject<HostVector>();
    return table ? table->Size() : 0;
  });
}

int ReportRowCount(const EngineState& state) {
  return state.reportEntries ? state.reportEntries->RecordCount() : 0;
}


// The copied template row inserted above itself `extra` times.
void InsertCopies(const EngineState& state, host::IWorksheet& sheet, int row, int extra) {
  if (state.variant.insertRowsOneByOne) {
    for (int i = 0; i < extra; ++i) {
      IgnoreErrors([&] { sheet.Rows(row)->Copy(); });
      IgnoreErrors([&] { sheet.Rows(row)->Insert(host::kShiftDown, 0); });
    }
    return;
  }
  IgnoreErrors([&] { sheet.Rows(row)->Copy(); });
  IgnoreErrors([&] { sheet.Rows(row)->Resize(extra)->Insert(host::kShiftDown, 0); });
}

// The outside handler writes an entry cell the bill leaves empty; false (or
// a handler that cannot be created or fails) empties the cell.
void DealWithEmptyEntryCell(const EngineState& state, const std::shared_ptr<host::IRange>& target,
                            const std::string& name, int row) {
  bool written = false;
  IgnoreErrors([&] {
    std::string itemId = GetKeywordValue(state, "FItemID", 1, row);
    auto handler = CreateObjectAs<IOutsideCellHandler>(state.outsideCellHandler);
    std::string fieldName = name;
    std::int32_t classTypeId = state.classTypeId;
    std::int32_t billId = state.billId;
    std::int32_t rowNumber = row;
    written = handler->DealSetBodyCell(target, fieldName, itemId, classTypeId, billId, rowNumber);
  });
  if (!written) IgnoreErrors([&] { target->SetValue(Variant(std::string())); });
}

}  // namespace

void MakeLiveFormula(const EngineState& state, host::IRange& cell, const std::string& formula) {
  IgnoreErrors([&] { cell.SetNumberFormatLocal(std::string(kGeneralFormatLocal)); });
  if (!state.answers.hasFormulaReadOnly) {
    try {
      cell.SetHasFormula(true);
    } catch (const std::exception&) {
      state.answers.hasFormulaReadOnly = true;
    }
  }
  IgnoreErrors([&] { cell.SetFormula(formula); });
  IgnoreErrors([&] { cell.Calculate(); });
}

bool IsEntryIdName(std::string_view name) { return name.find("EntryID") != std::string_view::npos; }

int FormulaEntryRowCount(const EngineState& state, std::string_view pageKey) {
  return state.variant.entryCountFromReportRows ? ReportRowCount(state) : TableSize(state, pageKey);
}

int EntryRowCount(const EngineState& state, std::string_view pageKey) {
  if (state.variant.entryCountFromReportRows) return ReportRowCount(state);
  if (state.dataSourceType == 0) return TableSize(state, pageKey);
  if (state.dataSourceType == 1) return ReportRowCount(state);
  return 0;
}

void ExpandEntryRows(const EngineState& state, host::IWorksheet& sheet, host::IRange& range) {
  VisitedCells visited;
  int lastExpandedRow = 0;
  const WalkRules rules{kEntryOpener, true, context::IsMsExcel()};
  WalkFoundCells(range, rules, visited, [&](const std::shared_ptr<host::IRange>& cell) {
    const std::string text = ValueOr(std::string(), [&] { return cell->Text(); });
    if (!IsEntryKeyword(text)) return WalkStep::Next;
    const int row = cell->Row();
    if (row == lastExpandedRow) return WalkStep::Next;
    const int count = EntryRowCount(state, KeywordPrefix(text));
    // One row or none: nothing to insert (the host's Resize(count - 1) fails
    // there and the error is ignored).
    if (count >= 2) {
      InsertCopies(state, sheet, row, count - 1);
      visited.RowsInserted(row, count - 1);
    }
    lastExpandedRow = cell->Row();
    return WalkStep::Next;
  });
}

void FillFormulaEntryCells(const EngineState& state, host::IRange& range) {
  VisitedCells visited;
  const WalkRules rules{kHeadOpener, state.variant.prepassStopsOnWrap, context::IsMsExcel()};
  WalkFoundCells(range, rules, visited, [&](const std::shared_ptr<host::IRange>& cell) {
    const std::string text = ValueOr(std::string(), [&] { return cell->Text(); });
    if (!IsFormulaCellText(state.variant, text)) return WalkStep::Next;
    const std::string formula = ValueOr(std::string(), [&] { return cell->Formula(); });
    ForEachFormulaKeyword(formula, [&](const std::string& keyword, std::size_t, std::size_t) {
      if (IsEntryKeyword(keyword)) FillFormulaEntryRows(state, *cell, keyword);
      return true;
    });
    return WalkStep::Next;
  });
}

void FillFormulaEntryRows(const EngineState& state, host::IRange& cell, const std::string& keyword) {
  const std::string page = KeywordPrefix(keyword);
  const std::string name = KeywordName(keyword);
  const int count = FormulaEntryRowCount(state, page);
  if (count == 0) {
    IgnoreErrors([&] {
      auto target = cell.Cells(1, 1);
      target->SetValue(Variant(ReplaceAll(target->Value().ToText(), keyword, "")));
    });
    return;
  }
  context::LongWork work("filling " + std::to_string(count) + " lines", static_cast<std::size_t>(count), name);
  for (int row = 1; row <= count; ++row) {
    work.Step(static_cast<std::size_t>(row));
    IgnoreErrors([&] {
      auto target = cell.Cells(row, 1);
      const std::string value = IsEntryIdName(name) ? std::to_string(row)
                                : name.empty()      ? std::string()
                                                    : GetKeywordValue(state, name, 1, row);
      const std::string replaced = ReplaceAll(target->Value().ToText(), keyword, value);
      target->SetValue(Variant(replaced));
      if (replaced.find(kHeadOpener) == std::string::npos)
        MakeLiveFormula(state, *target, ValueOr(std::string(), [&] { return target->Text(); }));
    });
  }
}

void FillEntryColumn(const EngineState& state, host::IRange& cell, const std::string& cellText) {
  const std::string page = KeywordPrefix(cellText);
  const std::string name = KeywordName(cellText);
  const int count = EntryRowCount(state, page);
  if (count == 0) {
    IgnoreErrors([&] { cell.Cells(1, 1)->SetValue(Variant(std::string())); });
    return;
  }
  const bool handlerSet = state.variant.usesOutsideCellHandler && !state.outsideCellHandler.empty();
  context::LongWork work("filling " + std::to_string(count) + " lines", static_cast<std::size_t>(count), name);
  for (int row = 1; row <= count; ++row) {
    work.Step(static_cast<std::size_t>(row));
    IgnoreErrors([&] {
      auto target = cell.Cells(row, 1);
      if (IsEntryIdName(name)) {
        target->SetValue(Variant(row));
        return;
      }
      std::string value;
      if (!name.empty())
        value = state.IsReport() ? GetReportRowValue(state, name, row) : GetKeywordValue(state, name, 1, row);
      if (Trim(value).empty() && handlerSet) {
        DealWithEmptyEntryCell(state, target, name, row);
      } else {
        target->SetValue(Variant(PrepareCellText(value)));
      }
    });
  }
}

}  // namespace vemo::engine
