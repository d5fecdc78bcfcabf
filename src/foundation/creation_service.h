// The creation service: every host component and the spreadsheet application
// are created by programmatic identifier ("VemoMClass.ClassInfo",
// "ET.Application") through this one registry of factories. A host
// integrator replaces a component by registering its own factory under the
// same identifier. Identifiers compare without regard to case.
//
//   RegisterFactory("VemoMClass.ClassInfo", [] { return std::make_shared<MyClassInfo>(); });
//   auto info = CreateObjectAs<IClassInfo>("VemoMClass.ClassInfo");
#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/host_error.h"
#include "foundation/host_object.h"

namespace vemo {

using ObjectFactory = std::function<ObjectRef()>;

class CreationService {
 public:
  // Registers (or replaces) the factory for `progId`.
  void Register(std::string_view progId, ObjectFactory factory);
  // Removes it; creating it then fails as if it were not installed.
  void Unregister(std::string_view progId);
  bool IsRegistered(std::string_view progId) const;
  std::optional<ObjectFactory> Factory(std::string_view progId) const;
  std::vector<std::string> Identifiers() const;

  // Creates the object; raises HostError(429) naming the identifier when it
  // is unknown or its factory gives nothing.
  ObjectRef CreateObject(std::string_view progId) const;

 private:
  static std::string Key(std::string_view progId);
  mutable std::mutex mutex_;
  std::map<std::string, std::pair<std::string, ObjectFactory>> factories_;
};

// The process-wide service the system creates its components through.
CreationService& Creation();

inline ObjectRef CreateObject(std::string_view progId) { return Creation().CreateObject(progId); }

// Creates the object and checks it offers interface T.
template <class T>
std::shared_ptr<T> CreateObjectAs(std::string_view progId) {
  auto object = CreateObject(progId);
  auto typed = std::dynamic_pointer_cast<T>(object);
  if (!typed)
    throw HostError(HostError::kObjectRequired,
                    "the object created for \"" + std::string(progId) + "\" does not offer the expected interface");
  return typed;
}

// Tests: registers a factory for the lifetime of the object and restores the
// previous one (or none) afterwards.
class ScopedFactory {
 public:
  ScopedFactory(std::string progId, ObjectFactory factory);
  ~ScopedFactory();
  ScopedFactory(const ScopedFactory&) = delete;
  ScopedFactory& operator=(const ScopedFactory&) = delete;

 private:
  std::string progId_;
  std::optional<ObjectFactory> previous_;
};

}  // namespace vemo
