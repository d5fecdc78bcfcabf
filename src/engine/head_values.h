// The text of a keyword name: item label values, report head values, the
// system variables (case-insensitive, most with a ".HEAD" twin), and every
// other name as a bill field.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "engine/engine_state.h"

namespace vemo::engine {

// pageNumber is 1 in every fill; row is 1 for head cells and the entry row
// for entry cells.
std::string GetKeywordValue(const EngineState& state, std::string_view name, int pageNumber, int row);
// Report head values by exact name; "" for any other name.
std::string GetReportHeadValue(const EngineState& state, std::string_view name);
// The column of the trimmed name in report row `row`; "" outside reports.
std::string GetReportRowValue(const EngineState& state, std::string_view name, int row);

// What a system variable name stands for, for the template check: where its
// value comes from ("profile General/CompanyName", "today's year"...) and
// whether asking for the value draws a picture file. nullopt for a name that
// is no system variable in this engine.
struct SystemVariableMeaning {
  std::string source;
  bool drawsPicture = false;
};
std::optional<SystemVariableMeaning> DescribeSystemVariable(const EngineState& state, std::string_view name);

}  // namespace vemo::engine
