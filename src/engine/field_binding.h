// Bill fields: a template name matched to a field of the bill type through
// the field dictionary ("Map" from template name to internal key such as
// _0012_FQty), its value read from the bill data for the head or an entry
// row, and turned into text by the field's kind. Suffixes after "." ask for
// totals (SUM), clause lists (UNITE), the first row (HEAD/ENTRY), number
// texts (OLDSUBNUMBER), auxiliary units and related-table columns.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "engine/engine_state.h"

namespace vemo::engine {

// The field a template name stands for, or nullptr. The answer is kept for
// the fill (as long as the same field dictionary is set): the pointer stays
// valid until the field dictionary changes.
const FieldInfo* FindField(const EngineState& state, std::string_view name);
// The field's value object ({FFLD, FDSP, FFND}) for the row, or nullptr.
DictionaryRef GetValueObject(const EngineState& state, const FieldInfo& field, int row);
// The value object turned into text by the field's kind.
std::string FieldText(const EngineState& state, const FieldInfo& field, int row);
// The text of a template name for an entry row (1 for the head).
std::string GetFieldValue(const EngineState& state, std::string_view name, int row);
// Waybills printed from the logistics screen: the name's value in row 1 of
// Data's "Page1" table; "" for a dotted name.
std::string GetScreenValue(const EngineState& state, std::string_view name);

// "_" + four-digit tab index + "_" + key: the internal key the engine builds
// itself for totals and clause lists.
std::string InternalKeyOf(const HostDictionary& info);

}  // namespace vemo::engine
