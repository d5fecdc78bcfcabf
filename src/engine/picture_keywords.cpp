#include "engine/picture_keywords.h"

namespace vemo::engine {

// Wired to the picture layer when it lands; until then the keywords are empty.
std::string ResolvePictureKeyword(const EngineState&, std::string_view, int) { return ""; }

}  // namespace vemo::engine
