// How the member tables turn host values into the arguments the classes take.
#pragma once
#include <memory>
#include <string>

#include "automation/late_binding.h"
#include "foundation/host_collections.h"
#include "foundation/recordset.h"

namespace vemo::automation {

// An object argument; Empty and Null give nullptr, any other value that is
// no object raises a type mismatch (a host that passed a number where an
// object belongs would otherwise only see the action answer False).
ObjectRef ObjectArg(const Variant& value);

// The bill's data service: the host's own object, or a dictionary of its
// parts ("classtype", "classTypeEntry", "classTypeID", as in a request file),
// which is made into the data service here.
ObjectRef DataServiceArg(const Variant& value);

// A record set, or rows given as a vector of dictionaries (or the request
// file's {"fields", "rows"} shape).
RecordsetRef RowsArg(const Variant& value);

// Optional text and Boolean arguments (Empty gives the default).
inline std::string TextArg(const Variant& value, std::string fallback = "") {
  return value.IsEmpty() ? fallback : value.ToText();
}
inline bool BoolArg(const Variant& value, bool fallback = false) { return value.IsEmpty() ? fallback : value.ToBool(); }

// Every creatable class that is not a HostObject itself is created as this.
template <class T>
class Hosted final : public HostObject, public T {
 public:
  explicit Hosted(std::string typeName) : typeName_(std::move(typeName)) {}
  std::string TypeName() const override { return typeName_; }

 private:
  std::string typeName_;
};

// The member tables, one function per group of classes.
void RegisterActionMembers();
void RegisterSetupMembers();
void RegisterEngineMembers();
void RegisterValueMembers();

}  // namespace vemo::automation
