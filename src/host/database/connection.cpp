#include "host/database/connection.h"

namespace vemo::host {

Statement& Statement::BindValue(int index, const Variant& value) {
  switch (value.Type()) {
    case VariantType::Empty:
    case VariantType::Null: return BindNull(index);
    case VariantType::Integer:
    case VariantType::Boolean: return Bind(index, static_cast<std::int64_t>(value.ToInt32()));
    case VariantType::Double: return Bind(index, value.ToNumber());
    case VariantType::Bytes: return Bind(index, value.ToBytes());
    default: return Bind(index, value.ToText());
  }
}

}  // namespace vemo::host
