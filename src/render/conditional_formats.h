// Conditional formats on paper: rules that are a condition on the cell
// (formula, cell value and text rules), decided by our evaluator, whose style
// changes fill and font. Other kinds of rule (colour scales, data bars, top
// ten, above average, duplicates) decline the sheet.
#pragma once
#include <cstdint>
#include <map>
#include <utility>

namespace vemo::wb {
class Sheet;
class WorkbookValues;
}

namespace vemo::render {

// (row, column) -> the conditional style (dxf) that applies there; where
// several rules hold, the one of highest priority (lowest number).
using ConditionalStyles = std::map<std::pair<int, int>, std::uint32_t>;

// Throws RenderDeclined naming the rule when it cannot decide it.
ConditionalStyles EvaluateConditionalFormats(const wb::Sheet& sheet, wb::WorkbookValues& values);

}  // namespace vemo::render
