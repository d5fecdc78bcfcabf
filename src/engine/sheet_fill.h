// Filling the first sheet: entry row expansion before the scan, the formula
// pre-pass for entry keywords inside formulas, the entry columns, and the
// keyword scan that fills every other keyword cell.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "engine/engine_state.h"

namespace vemo::engine {

// A keyword cell whose displayed text makes it a formula cell.
bool IsFormulaCellText(const EngineVariant& variant, std::string_view text);

// Rows of a page key: the entry table's size, or the report's record count.
int EntryRowCount(const EngineState& state, std::string_view pageKey);
// Rows the formula pre-pass fills for a page key: the entry table's size
// (the report's record count in the report engine).
int FormulaEntryRowCount(const EngineState& state, std::string_view pageKey);
// An entry keyword whose name holds "EntryID" prints the line number.
bool IsEntryIdName(std::string_view name);

void ExpandEntryRows(const EngineState& state, host::IWorksheet& sheet, host::IRange& range);
void FillFormulaEntryCells(const EngineState& state, host::IRange& range);
void FillFormulaEntryRows(const EngineState& state, host::IRange& cell, const std::string& keyword);
void FillEntryColumn(const EngineState& state, host::IRange& cell, const std::string& cellText);
void ScanKeywordCells(const EngineState& state, host::IRange& range);
// Turns a cell into a live formula: General format, HasFormula (its refusal
// ignored), the formula text, Calculate.
void MakeLiveFormula(const EngineState& state, host::IRange& cell, const std::string& formula);

// Calls `visit(keyword, start, end)` for each "[$ ... ]" of a formula text,
// in order; `end` is one past the "]". Stops early when visit answers false.
template <class Visit>
void ForEachFormulaKeyword(const std::string& formula, Visit&& visit);

}  // namespace vemo::engine

#include "engine/sheet_fill_inl.h"
