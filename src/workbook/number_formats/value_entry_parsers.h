// Recognisers behind InterpretEntry (internal). Each takes text without
// surrounding spaces and answers the value and the format the surface would
// give a General cell.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vemo::wb::entry {

struct Recognised {
  double value = 0;
  std::optional<std::string> format;
};

std::optional<Recognised> RecogniseNumber(std::string_view text);
std::optional<Recognised> RecogniseDateTime(std::string_view text, bool date1904);

}  // namespace vemo::wb::entry
