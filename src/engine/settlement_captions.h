// Offset bills (class type 1050003) print two entry tables one under the
// other in one block; the rows after each table carry a caption in the
// "FSourceBillNo2" column ("预收合计", "应收合计", ...) and nothing else.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "engine/field_binding.h"

namespace vemo::engine {

// The value of the field on a caption row (a caption or ""), or nullopt on
// every other row, where the field is looked up as usual.
std::optional<std::string> SettlementCaption(const EngineState& state, const FieldInfo& field,
                                             std::string_view name, int row);

}  // namespace vemo::engine
