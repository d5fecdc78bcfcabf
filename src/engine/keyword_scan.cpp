// The keyword scan: every cell holding "[$", in row order, filled as a
// plain cell (the whole cell is one keyword) or a formula cell (keywords
// spliced into the formula text).
#include <string>

#include "context/spreadsheet_detection.h"
#include "engine/cell_search.h"
#include "engine/head_values.h"
#include "engine/ignore_errors.h"
#include "engine/keyword_grammar.h"
#include "engine/sheet_fill.h"
#include "foundation/utf8_text.h"

namespace vemo::engine {
namespace {

void SetCellText(host::IRange& cell, const std::string& value) {
  IgnoreErrors([&] { cell.Cells(1, 1)->SetValue(Variant(PrepareCellText(value))); });
}

void FillPlainCell(const EngineState& state, host::IRange& cell, const std::string& text) {
  switch (ClassifyKeyword(text)) {
    case KeywordKind::PlainHead:
    case KeywordKind::Head:
      SetCellText(cell, GetKeywordValue(state, KeywordName(text), 1, 1));
      break;
    case KeywordKind::Entry:
      FillEntryColumn(state, cell, text);
      break;
    case KeywordKind::Sum:
      SetCellText(cell, GetKeywordValue(state, KeywordName(text) + ".SUM", 1, 1));
      break;
    case KeywordKind::None:
      break;
  }
}

// Answers false when the formula still holds an entry keyword: the scan ends
// there, as it always has (the formula pre-pass empties such cells first, so
// this happens only when the pre-pass failed on the cell).
bool FillFormulaCell(const EngineState& state, host::IRange& cell) {
  const std::string formula = ValueOr(std::string(), [&] { return cell.Formula(); });
  std::string rebuilt;
  std::size_t copied = 0;
  bool endScan = false;
  ForEachFormulaKeyword(formula, [&](const std::string& keyword, std::size_t start, std::size_t end) {
    std::string value;
    switch (ClassifyKeyword(keyword)) {
      case KeywordKind::PlainHead:
      case KeywordKind::Head: value = GetKeywordValue(state, KeywordName(keyword), 1, 1); break;
      case KeywordKind::Entry: endScan = true; return false;
      case KeywordKind::Sum: value = GetKeywordValue(state, KeywordName(keyword) + ".SUM", 1, 1); break;
      case KeywordKind::None: break;
    }
    rebuilt += formula.substr(copied, start - copied) + value;
    copied = end;
    return true;
  });
  if (endScan) return false;
  if (!rebuilt.empty()) {
    rebuilt += formula.substr(copied);
    MakeLiveFormula(state, cell, rebuilt);
  }
  return true;
}

}  // namespace

bool IsFormulaCellText(const EngineVariant& variant, std::string_view text) {
  if (text.find('=') == std::string_view::npos) return false;
  return !variant.formulaCellNeedsNoDollarAtThree || MidChars(text, 3, 1) != "$";
}

void ScanKeywordCells(const EngineState& state, host::IRange& range) {
  VisitedCells visited;
  const WalkRules rules{kHeadOpener, true, context::IsMsExcel()};
  WalkFoundCells(range, rules, visited, [&](const std::shared_ptr<host::IRange>& cell) {
    const std::string text = ValueOr(std::string(), [&] { return cell->Text(); });
    if (IsFormulaCellText(state.variant, text)) {
      if (!FillFormulaCell(state, *cell)) return WalkStep::Stop;
    } else {
      FillPlainCell(state, *cell, text);
    }
    return WalkStep::Next;
  });
}

}  // namespace vemo::engine
