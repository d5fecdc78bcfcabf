#include "foundation/creation_service.h"

#include "foundation/utf8_text.h"

namespace vemo {

std::string CreationService::Key(std::string_view progId) { return ToLowerAscii(Trim(progId)); }

void CreationService::Register(std::string_view progId, ObjectFactory factory) {
  std::lock_guard lock(mutex_);
  factories_[Key(progId)] = {std::string(progId), std::move(factory)};
}

void CreationService::Unregister(std::string_view progId) {
  std::lock_guard lock(mutex_);
  factories_.erase(Key(progId));
}

bool CreationService::IsRegistered(std::string_view progId) const {
  std::lock_guard lock(mutex_);
  return factories_.count(Key(progId)) != 0;
}

std::optional<ObjectFactory> CreationService::Factory(std::string_view progId) const {
  std::lock_guard lock(mutex_);
  auto it = factories_.find(Key(progId));
  if (it == factories_.end()) return std::nullopt;
  return it->second.second;
}

std::vector<std::string> CreationService::Identifiers() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> out;
  for (const auto& [key, entry] : factories_) out.push_back(entry.first);
  return out;
}

ObjectRef CreationService::CreateObject(std::string_view progId) const {
  auto factory = Factory(progId);
  if (!factory)
    throw HostError(HostError::kCannotCreateObject,
                    "cannot create object \"" + std::string(progId) + "\": no component is registered under that identifier");
  ObjectRef object = (*factory)();
  if (!object)
    throw HostError(HostError::kCannotCreateObject, "cannot create object \"" + std::string(progId) + "\": its factory gave nothing");
  return object;
}

CreationService& Creation() {
  static CreationService service;
  return service;
}

ScopedFactory::ScopedFactory(std::string progId, ObjectFactory factory)
    : progId_(std::move(progId)), previous_(Creation().Factory(progId_)) {
  if (factory) {
    Creation().Register(progId_, std::move(factory));
  } else {
    Creation().Unregister(progId_);
  }
}

ScopedFactory::~ScopedFactory() {
  if (previous_) {
    Creation().Register(progId_, *previous_);
  } else {
    Creation().Unregister(progId_);
  }
}

}  // namespace vemo
