// The JSON type by name only, for headers that pass JSON along: the whole
// JSON library (json_convert.h) costs every file that includes it seconds of
// compile time, so headers include this and their .cpp files the real one.
#pragma once
#include <nlohmann/json_fwd.hpp>

namespace vemo {

using Json = nlohmann::ordered_json;

}  // namespace vemo
