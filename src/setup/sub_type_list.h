// The sub-types a bill type or report offers in the setup grid's type
// column, as one drop-down item string: an empty entry and then each name,
// every entry followed by a tab. "" when there are none.
#pragma once
#include <cstdint>
#include <string>

namespace vemo::setup {

// dataSourceType 0: by billType; 1: by rptId; anything else "". appType is
// the host application type (the AppType setting): 1 leaves the two
// transfer sub-types out of 1050003.
std::string SubTypeList(std::int32_t dataSourceType, std::int32_t billType, std::int32_t rptId, std::int32_t appType);

// The AppType setting of the session (2 when it is not published or not a number).
std::int32_t SessionAppType();

}  // namespace vemo::setup
