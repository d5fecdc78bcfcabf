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
#include "foundation/json_fwd.h"
#include "foundation/recordset.h"
#include "foundation/variant.h"

namespace vemo {

// Raises HostError past kMaxJsonDepth levels of nesting (json_scanner.h).
Variant FromJson(const Json& json);
Json ToJson(const Variant& value);

// JSON text straight to host values, without building a JSON document
// first: large request files (100,000 bill lines) need half the time and a
// third of the memory. Raises HostError naming the position of a syntax error.
Variant ParseJsonText(std::string_view text);
// The same for a file; raises HostError when it cannot be read.
Variant ReadJsonFile(const std::string& path);

// A dictionary that is one of the one-key forms above becomes its value;
// any other comes back as it is.
Variant ResolveSpecialObject(DictionaryRef dict);

// {"fields": [...], "rows": [[...], ...]} as a record set (rows shorter than
// the field list are padded with Empty). Raises HostError on another shape.
RecordsetRef RecordsetFromJson(const Json& json);
RecordsetRef RecordsetFromValues(const Variant& value);

std::string Base64Encode(const Bytes& bytes);
Bytes Base64Decode(std::string_view text);  // raises HostError on bad input

}  // namespace vemo
