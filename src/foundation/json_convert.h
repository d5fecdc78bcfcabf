// JSON <-> host values, both ways, so request files, session files and tests
// all speak one language:
//   object  <-> HostDictionary (key order kept)
//   array   <-> HostVector
//   integer <-> Integer when it fits in 32 bits, else Double
//   number, string, true/false, null <-> Double, String, Boolean, Null
// Values JSON has no word for are written as one-key objects and read back:
//   {"$bytes": "<base64>"}   a byte array
//   {"$date": "yyyy-mm-dd[ hh:mm:ss]"}   a host date
//   {"$recordset": {"fields": [...], "rows": [[...], ...]}}   a record set
// Empty is written as null (JSON has no "missing" inside an array).
#pragma once
#include <nlohmann/json.hpp>

#include "foundation/host_collections.h"
#include "foundation/recordset.h"
#include "foundation/variant.h"

namespace vemo {

using Json = nlohmann::ordered_json;

Variant FromJson(const Json& json);
Json ToJson(const Variant& value);

// {"fields": [...], "rows": [[...], ...]} as a record set (rows shorter than
// the field list are padded with Empty). Raises HostError on another shape.
RecordsetRef RecordsetFromJson(const Json& json);

std::string Base64Encode(const Bytes& bytes);
Bytes Base64Decode(std::string_view text);  // raises HostError on bad input

}  // namespace vemo
