#include <cstdlib>
#include <cstring>

#include "capi/handles.h"

namespace vemo::capi {

Variant FromHost(const vemo_value& value) {
  switch (value.type) {
    case VEMO_EMPTY: return Variant();
    case VEMO_NULL: return Variant::Null();
    case VEMO_BOOLEAN: return Variant(value.as.boolean != 0);
    case VEMO_INTEGER: return Variant(static_cast<std::int64_t>(value.as.integer));
    case VEMO_DOUBLE: return Variant(value.as.number);
    case VEMO_DATE: return Variant(HostDate{value.as.number});
    case VEMO_TEXT: return value.as.text ? Variant(std::string(value.as.text)) : Variant(std::string());
    case VEMO_OBJECT: return Variant(value.as.object ? value.as.object->ref : ObjectRef());
    case VEMO_BYTES: {
      if (!value.as.bytes) return Variant(Bytes());
      RequireData(*value.as.bytes);
      const auto* data = static_cast<const std::uint8_t*>(value.as.bytes->data);
      return Variant(Bytes(data, data + value.as.bytes->size));
    }
  }
  throw HostError(VEMO_E_ARGUMENT, "unknown value type " + std::to_string(value.type) + "; use one of the vemo_type codes");
}

vemo_value ToHost(const Variant& value) {
  vemo_value out{};
  switch (value.Type()) {
    case VariantType::Empty: out.type = VEMO_EMPTY; break;
    case VariantType::Null: out.type = VEMO_NULL; break;
    case VariantType::Boolean:
      out.type = VEMO_BOOLEAN;
      out.as.boolean = value.ToBool() ? 1 : 0;
      break;
    case VariantType::Integer:
      out.type = VEMO_INTEGER;
      out.as.integer = value.ToInt32();
      break;
    case VariantType::Double:
      out.type = VEMO_DOUBLE;
      out.as.number = value.ToNumber();
      break;
    case VariantType::Date:
      out.type = VEMO_DATE;
      out.as.number = value.ToDate().serial;
      break;
    case VariantType::String: {
      const std::string text = value.ToText();
      char* copy = static_cast<char*>(std::malloc(text.size() + 1));
      if (!copy) throw std::bad_alloc();
      std::memcpy(copy, text.c_str(), text.size() + 1);
      out.type = VEMO_TEXT;
      out.as.text = copy;
      break;
    }
    case VariantType::Object:
      out.type = VEMO_OBJECT;
      out.as.object = value.ToObject() ? new vemo_object{value.ToObject()} : nullptr;
      break;
    case VariantType::Bytes: {
      const Bytes& bytes = value.ToBytes();
      // One block, so vemo_value_clear frees it as it frees a text.
      void* block = std::malloc(sizeof(vemo_bytes) + bytes.size());
      if (!block) throw std::bad_alloc();
      auto* header = static_cast<vemo_bytes*>(block);
      auto* data = static_cast<std::uint8_t*>(block) + sizeof(vemo_bytes);
      if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
      header->data = data;
      header->size = bytes.size();
      out.type = VEMO_BYTES;
      out.as.bytes = header;
      break;
    }
  }
  return out;
}

}  // namespace vemo::capi
