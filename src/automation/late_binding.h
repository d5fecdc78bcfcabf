// Late binding: a creatable object's properties and methods reached by
// member name, as the host's automation reaches them. Each creatable class
// has one member table (class_members.cpp); the C interface (src/capi/) and
// the command line both go through Invoke, so a member means one thing
// whichever way it is called. Member names compare without regard to case.
//
//   auto action = CreateObject("VemoPrintExport.ExportAction");
//   Invoke(action, "DataSrv", Access::Set, {dataService});
//   bool printed = Invoke(action, "PrintBill", Access::Call, {false}).ToBool();
#pragma once
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

#include "foundation/host_object.h"
#include "foundation/variant.h"

namespace vemo::automation {

enum class Access { Get, Set, Call };

using Arguments = std::span<const Variant>;

struct Member {
  std::string name;
  Access access;
  // Optional arguments a caller may leave off are passed as Empty.
  int requiredArguments = 0;
  int maxArguments = 0;
  std::function<Variant(HostObject&, Arguments)> run;
};

// The members of one class, in the order of its dispatch interface.
class MemberTable {
 public:
  explicit MemberTable(std::string className) : className_(std::move(className)) {}
  const std::string& ClassName() const { return className_; }
  void Add(Member member) { members_.push_back(std::move(member)); }
  // nullptr when the class has no such member for that access.
  const Member* Find(std::string_view name, Access access) const;
  const std::vector<Member>& Members() const { return members_; }

 private:
  std::string className_;
  std::vector<Member> members_;
};

// Typed builder: `Members<ExportAction>(table).Set("RptID", ...)`.
template <class T>
class Members {
 public:
  explicit Members(MemberTable& table) : table_(table) {}
  Members& Get(std::string name, std::function<Variant(T&)> get) {
    table_.Add({std::move(name), Access::Get, 0, 0, [get](HostObject& o, Arguments) { return get(Self(o)); }});
    return *this;
  }
  Members& Set(std::string name, std::function<void(T&, const Variant&)> set) {
    table_.Add({std::move(name), Access::Set, 1, 1, [set](HostObject& o, Arguments a) {
                  set(Self(o), a[0]);
                  return Variant();
                }});
    return *this;
  }
  // `required` of the `max` arguments must be given.
  Members& Call(std::string name, int required, int max, std::function<Variant(T&, Arguments)> call) {
    table_.Add({std::move(name), Access::Call, required, max, [call](HostObject& o, Arguments a) {
                  return call(Self(o), a);
                }});
    return *this;
  }

 private:
  static T& Self(HostObject& object) { return dynamic_cast<T&>(object); }
  MemberTable& table_;
};

// Registers the table of the objects whose dynamic type is `type`.
void RegisterMembers(std::type_index type, MemberTable table);
// The table of `object`'s class; nullptr when it has none.
const MemberTable* MembersOf(const HostObject& object);

// Gets or sets a property or calls a method of `object`. Raises HostError
// 438 when the object has no such member, 450 for a wrong argument count,
// and passes on whatever the member raises.
Variant Invoke(const ObjectRef& object, std::string_view member, Access access, Arguments arguments = {});

// An object as a host holds it: created by identifier, used by member name.
class LateBound {
 public:
  explicit LateBound(std::string_view progId);
  void Set(std::string_view property, const Variant& value) const;
  // A method's answer as a Boolean (the actions' True/False).
  bool Call(std::string_view method, std::vector<Variant> arguments = {}) const;

 private:
  ObjectRef object_;
};

inline constexpr int kNoSuchMember = 438;
inline constexpr int kWrongArgumentCount = 450;

// Argument `index`, or Empty when the caller left it off.
inline const Variant& Arg(Arguments arguments, std::size_t index) {
  static const Variant kMissing;
  return index < arguments.size() ? arguments[index] : kMissing;
}

}  // namespace vemo::automation
