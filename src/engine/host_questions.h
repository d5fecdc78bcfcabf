// What the engine asks the host while filling that is not in the bill's own
// data: price-field rights, serial-number and settlement-account lists, and
// system profile values. All through the host components, props string first.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/engine_variant.h"

namespace vemo::engine {

// True when the user may see the field (class type's right table; a plain,
// case-insensitive substring test of the key in the hidden list).
bool PriceFieldVisible(PriceRightsTable table, std::int32_t classTypeId, std::string_view fieldKey);
// The comma-framed list of field keys hidden for this user, or "".
std::string HiddenPriceFields(PriceRightsTable table, std::int32_t classTypeId);

// The same, with the hidden list asked once per class type during a fill.
struct EngineState;
bool PriceFieldVisible(const EngineState& state, std::int32_t classTypeId, std::string_view fieldKey);

bool CheckAccessRight(const std::string& props, std::int32_t subsystem, std::int32_t objectId,
                      std::int32_t accessType, const std::string& className);

std::string BuildSerialNumberList(std::int32_t classTypeId, std::int32_t billId, std::int32_t entryIndex);
std::string BuildSettleAccountList(std::int32_t classTypeId, std::int32_t billId);

// "" for the categories "AP" and "AR" (any case) without asking the host.
std::string ReadSystemProfile(std::string_view category, std::string_view key);


}  // namespace vemo::engine
