// Base of every object the host hands over or creates by programmatic
// identifier (collections, record sets, components). Callers reach the
// concrete interface with AsObject<T>() on a Variant.
#pragma once
#include <memory>
#include <string>

namespace vemo {

class HostObject : public std::enable_shared_from_this<HostObject> {
 public:
  virtual ~HostObject() = default;
  // A short type name for messages and diagnostics ("HostDictionary", "Recordset").
  virtual std::string TypeName() const = 0;
};

using ObjectRef = std::shared_ptr<HostObject>;

}  // namespace vemo
