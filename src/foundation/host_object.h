// Base of every object the host hands over or creates by programmatic
// identifier (collections, record sets, components). Callers reach the
// concrete interface with AsObject<T>() on a Variant.
// No enable_shared_from_this here: it would add 16 bytes to each of the
// hundreds of thousands of collections a request is read into. A class that
// needs shared_from_this derives from enable_shared_from_this itself.
#pragma once
#include <memory>
#include <string>

namespace vemo {

class HostObject {
 public:
  virtual ~HostObject() = default;
  // A short type name for messages and diagnostics ("HostDictionary", "Recordset").
  virtual std::string TypeName() const = 0;
};

using ObjectRef = std::shared_ptr<HostObject>;

}  // namespace vemo
