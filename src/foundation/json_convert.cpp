#include "foundation/json_convert.h"

#include <array>
#include <string>

#include "foundation/host_error.h"
#include "foundation/json_scanner.h"

namespace vemo {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string Base64Encode(const Bytes& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    for (int s : {18, 12, 6, 0}) out.push_back(kAlphabet[(v >> s) & 63]);
  }
  const std::size_t rest = bytes.size() - i;
  if (rest == 1) {
    const unsigned v = bytes[i] << 16;
    out.push_back(kAlphabet[(v >> 18) & 63]);
    out.push_back(kAlphabet[(v >> 12) & 63]);
    out += "==";
  } else if (rest == 2) {
    const unsigned v = (bytes[i] << 16) | (bytes[i + 1] << 8);
    out.push_back(kAlphabet[(v >> 18) & 63]);
    out.push_back(kAlphabet[(v >> 12) & 63]);
    out.push_back(kAlphabet[(v >> 6) & 63]);
    out.push_back('=');
  }
  return out;
}

Bytes Base64Decode(std::string_view text) {
  Bytes out;
  unsigned buffer = 0;
  int bits = 0;
  std::size_t padding = 0;
  for (char c : text) {
    if (c == '\n' || c == '\r' || c == ' ') continue;
    if (c == '=') {
      ++padding;
      continue;
    }
    const int v = Base64Value(c);
    if (v < 0 || padding > 0) throw HostError(HostError::kTypeMismatch, "invalid base64 text");
    buffer = (buffer << 6) | static_cast<unsigned>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<std::uint8_t>((buffer >> bits) & 0xFF));
    }
  }
  if (padding > 2) throw HostError(HostError::kTypeMismatch, "invalid base64 padding");
  return out;
}

RecordsetRef RecordsetFromValues(const Variant& value) {
  const HostError shape(HostError::kTypeMismatch, "a record set needs {\"fields\": [...], \"rows\": [[...]]}");
  auto layout = value.AsObject<HostDictionary>();
  if (!layout) throw shape;
  auto fieldList = layout->Value("fields").AsObject<HostVector>();
  if (!fieldList) throw shape;
  std::vector<std::string> fields;
  for (const auto& f : fieldList->Items()) {
    if (f.Type() != VariantType::String) throw HostError(HostError::kTypeMismatch, "record set field names must be strings");
    fields.push_back(f.ToText());
  }
  std::vector<std::vector<Variant>> rows;
  if (layout->Lookup("rows")) {
    auto rowList = layout->Value("rows").AsObject<HostVector>();
    if (!rowList) throw HostError(HostError::kTypeMismatch, "record set \"rows\" must be an array");
    for (const auto& r : rowList->Items()) {
      auto row = r.AsObject<HostVector>();
      if (!row) throw HostError(HostError::kTypeMismatch, "each record set row must be an array");
      if (row->Size() > static_cast<int>(fields.size()))
        throw HostError(HostError::kTypeMismatch, "a record set row has more values than there are fields");
      rows.push_back(row->Items());
    }
  }
  return Recordset::Create(std::move(fields), std::move(rows));
}

RecordsetRef RecordsetFromJson(const Json& json) { return RecordsetFromValues(FromJson(json)); }

Variant ResolveSpecialObject(DictionaryRef dict) {
  if (dict->Count() == 1) {
    const std::string& key = dict->Key(1);
    const Variant& value = dict->ItemAt(1);
    if (key == "$bytes" && value.Type() == VariantType::String) return Variant(Base64Decode(value.ToText()));
    if (key == "$date" && value.Type() == VariantType::String) return Variant(value.ToDate());
    if (key == "$recordset") return Variant(RecordsetFromValues(value));
  }
  return Variant(std::move(dict));
}

namespace {

Variant FromJsonAt(const Json& json, std::size_t depth) {
  // Host values are freed and walked recursively: keep them as shallow as
  // the request reader keeps its own.
  if (depth > kMaxJsonDepth)
    throw HostError(HostError::kTypeMismatch, "the values are nested more than " + std::to_string(kMaxJsonDepth) +
                                                  " levels deep; the file nests objects and arrays a few levels only");
  switch (json.type()) {
    case Json::value_t::null:
      return Variant::Null();
    case Json::value_t::boolean:
      return Variant(json.get<bool>());
    case Json::value_t::number_integer:
      return Variant(json.get<std::int64_t>());
    case Json::value_t::number_unsigned: {
      const auto u = json.get<std::uint64_t>();
      return u <= static_cast<std::uint64_t>(INT64_MAX) ? Variant(static_cast<std::int64_t>(u))
                                                        : Variant(static_cast<double>(u));
    }
    case Json::value_t::number_float:
      return Variant(json.get<double>());
    case Json::value_t::string:
      return Variant(json.get<std::string>());
    case Json::value_t::array: {
      auto vec = HostVector::Create();
      for (const auto& item : json) vec->Add(FromJsonAt(item, depth + 1));
      return Variant(vec);
    }
    case Json::value_t::object: {
      auto dict = HostDictionary::Create();
      dict->Reserve(json.size());
      for (const auto& [key, value] : json.items()) dict->Set(key, FromJsonAt(value, depth + 1));
      return ResolveSpecialObject(std::move(dict));
    }
    case Json::value_t::binary: {
      const auto& bin = json.get_binary();
      return Variant(Bytes(bin.begin(), bin.end()));
    }
    case Json::value_t::discarded:
      break;
  }
  return Variant();
}

}  // namespace

Variant FromJson(const Json& json) { return FromJsonAt(json, 1); }

Json ToJson(const Variant& value) {
  switch (value.Type()) {
    case VariantType::Empty:
    case VariantType::Null:
      return nullptr;
    case VariantType::Boolean:
      return value.ToBool();
    case VariantType::Integer:
      return value.ToInt32();
    case VariantType::Double:
      return value.ToNumber();
    case VariantType::String:
      return value.ToText();
    case VariantType::Date:
      return Json{{"$date", value.ToDate().ToText()}};
    case VariantType::Bytes:
      return Json{{"$bytes", Base64Encode(value.ToBytes())}};
    case VariantType::Object:
      break;
  }
  if (auto dict = value.AsObject<HostDictionary>()) {
    Json out = Json::object();
    const auto keys = dict->Keys();
    const auto values = dict->Values();
    for (std::size_t i = 0; i < keys.size(); ++i) out[keys[i]] = ToJson(values[i]);
    return out;
  }
  if (auto vec = value.AsObject<HostVector>()) {
    Json out = Json::array();
    for (const auto& v : vec->Items()) out.push_back(ToJson(v));
    return out;
  }
  if (auto rs = value.AsObject<Recordset>()) {
    Json rows = Json::array();
    for (const auto& r : rs->AllRows()) {
      Json row = Json::array();
      for (const auto& v : r) row.push_back(ToJson(v));
      rows.push_back(std::move(row));
    }
    return Json{{"$recordset", Json{{"fields", rs->FieldNames()}, {"rows", std::move(rows)}}}};
  }
  throw HostError(HostError::kTypeMismatch, "a " + value.ToObject()->TypeName() + " cannot be written as JSON");
}

}  // namespace vemo
