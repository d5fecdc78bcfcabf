#include "automation/late_binding.h"

#include <map>
#include <mutex>

#include "foundation/creation_service.h"
#include "foundation/host_error.h"
#include "foundation/utf8_text.h"

namespace vemo::automation {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::type_index, MemberTable> tables;
};

Registry& Tables() {
  static Registry registry;
  return registry;
}

const char* AccessName(Access access) {
  switch (access) {
    case Access::Get: return "property get";
    case Access::Set: return "property set";
    case Access::Call: return "method";
  }
  return "member";
}

}  // namespace

const Member* MemberTable::Find(std::string_view name, Access access) const {
  const std::string wanted = ToLowerAscii(name);
  for (const Member& member : members_)
    if (member.access == access && ToLowerAscii(member.name) == wanted) return &member;
  return nullptr;
}

void RegisterMembers(std::type_index type, MemberTable table) {
  std::lock_guard lock(Tables().mutex);
  Tables().tables.insert_or_assign(type, std::move(table));
}

const MemberTable* MembersOf(const HostObject& object) {
  std::lock_guard lock(Tables().mutex);
  auto it = Tables().tables.find(std::type_index(typeid(object)));
  return it == Tables().tables.end() ? nullptr : &it->second;
}

Variant Invoke(const ObjectRef& object, std::string_view name, Access access, Arguments arguments) {
  if (!object) throw HostError(HostError::kObjectRequired, "object required: \"" + std::string(name) + "\" was called on nothing");
  const MemberTable* table = MembersOf(*object);
  const Member* member = table ? table->Find(name, access) : nullptr;
  if (!member)
    throw HostError(kNoSuchMember, std::string(table ? table->ClassName() : object->TypeName()) + " has no " +
                                       AccessName(access) + " \"" + std::string(name) +
                                       "\"; check the member name and whether it is a property or a method");
  const int given = static_cast<int>(arguments.size());
  if (given < member->requiredArguments || given > member->maxArguments)
    throw HostError(kWrongArgumentCount, table->ClassName() + "." + member->name + " takes " +
                                             std::to_string(member->requiredArguments) + " to " +
                                             std::to_string(member->maxArguments) + " arguments, not " +
                                             std::to_string(given));
  return member->run(*object, arguments);
}

LateBound::LateBound(std::string_view progId) : object_(CreateObject(progId)) {}

void LateBound::Set(std::string_view property, const Variant& value) const {
  Invoke(object_, property, Access::Set, {&value, 1});
}

bool LateBound::Call(std::string_view method, std::vector<Variant> arguments) const {
  return Invoke(object_, method, Access::Call, arguments).ToBool();
}

}  // namespace vemo::automation
