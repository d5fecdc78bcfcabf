#include "engine/picture_keywords.h"

#include "engine/field_binding.h"
#include "engine/ignore_errors.h"
#include "engine/pictures/picture_fields.h"

namespace vemo::engine {

std::string ResolvePictureKeyword(const EngineState& state, std::string_view name, int row) {
  const std::optional<PictureKeyword> keyword = PictureKeywordOf(name);
  if (!keyword) return "";
  const std::int32_t classTypeId = state.dataService ? state.dataService->classTypeID() : state.classTypeId;
  const std::string key = PictureFieldKey(*keyword, classTypeId);
  const FieldInfo* field = ValueOr<const FieldInfo*>(nullptr, [&] { return FindField(state, key); });
  const std::string value = field ? ValueOr(std::string(), [&] { return FieldText(state, *field, row); }) : "";
  return PicturePathFor(*keyword, value);
}

}  // namespace vemo::engine
