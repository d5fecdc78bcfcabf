// Conditional formats on paper: formula rules our evaluator decides, whose
// style changes fill and font. Other kinds of rule decline the sheet.
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
