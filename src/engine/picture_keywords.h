// The four picture keywords: "FCustOrSupplyPicture", "FICItemPicture",
// "FICItemBarCodePicture", "FICItemQRCodePicture". Each becomes the path of a
// picture file for the row being filled.
#pragma once
#include <string>
#include <string_view>

#include "engine/engine_state.h"

namespace vemo::engine {

std::string ResolvePictureKeyword(const EngineState& state, std::string_view name, int row);

}  // namespace vemo::engine
