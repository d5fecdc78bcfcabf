#include "foundation/host_collections.h"

namespace vemo {
namespace {

HostError OutOfRange(const char* what, int position, int count) {
  return HostError(HostError::kKeyNotFound, std::string(what) + " position " + std::to_string(position) +
                                                " is outside 1.." + std::to_string(count));
}

}  // namespace

HostDictionary::HostDictionary(KeyTableRef keys, std::vector<Variant> values)
    : keys_(std::move(keys)), values_(std::move(values)) {
  const std::size_t keyCount = keys_ ? keys_->Size() : 0;
  if (keyCount != values_.size())
    throw HostError(HostError::kGeneric, "a dictionary needs one value per key: " + std::to_string(keyCount) +
                                             " keys, " + std::to_string(values_.size()) + " values");
}

KeyTable& HostDictionary::OwnKeys() {
  if (!keys_) {
    keys_ = KeyTableRef::Make({});
  } else if (keys_.Shared()) {
    KeyTableRef copy(new KeyTable(*keys_));
    keys_ = std::move(copy);
  }
  return *keys_;
}

bool HostDictionary::Lookup(std::string_view key) const { return Find(key) != values_.size(); }

const Variant* HostDictionary::Get(std::string_view key) const {
  const std::size_t at = Find(key);
  return at == values_.size() ? nullptr : &values_[at];
}

Variant HostDictionary::Value(std::string_view key) const {
  const std::size_t at = Find(key);
  return at == values_.size() ? Variant() : values_[at];
}

const Variant& HostDictionary::Item(std::string_view key) const {
  const std::size_t at = Find(key);
  if (at == values_.size()) throw HostError(HostError::kKeyNotFound, "key \"" + std::string(key) + "\" not found");
  return values_[at];
}

void HostDictionary::Add(std::string key, Variant value) {
  if (Lookup(key)) throw HostError(HostError::kKeyNotFound, "key \"" + key + "\" already exists");
  KeyTable& keys = OwnKeys();
  values_.push_back(std::move(value));
  try {
    keys.Append(std::move(key));
  } catch (...) {
    values_.pop_back();
    throw;
  }
}

void HostDictionary::Set(std::string key, Variant value) {
  const std::size_t at = Find(key);
  if (at != values_.size()) {
    values_[at] = std::move(value);  // the keys stay as they are: no copy of a shared table
    return;
  }
  Add(std::move(key), std::move(value));
}

bool HostDictionary::Remove(std::string_view key) {
  const std::size_t at = Find(key);
  if (at == values_.size()) return false;
  OwnKeys().Erase(at);
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(at));
  return true;
}

void HostDictionary::Clear() {
  keys_ = KeyTableRef();
  values_.clear();
}

void HostDictionary::Reserve(std::size_t count) {
  values_.reserve(count);
  if (!keys_.Shared()) OwnKeys().Reserve(count);
}

std::span<const std::string> HostDictionary::Keys() const {
  return keys_ ? keys_->Keys() : std::span<const std::string>();
}

const std::string& HostDictionary::Key(int position) const {
  if (position < 1 || position > Count()) throw OutOfRange("key", position, Count());
  return (*keys_)[static_cast<std::size_t>(position - 1)];
}

const Variant& HostDictionary::ItemAt(int position) const {
  if (position < 1 || position > Count()) throw OutOfRange("item", position, Count());
  return values_[static_cast<std::size_t>(position - 1)];
}

const Variant& HostVector::Item(int index) const {
  if (index < 1 || index > Size()) throw OutOfRange("vector", index, Size());
  return items_[static_cast<std::size_t>(index - 1)];
}

void HostVector::SetItem(int index, Variant value) {
  if (index < 1 || index > Size()) throw OutOfRange("vector", index, Size());
  items_[static_cast<std::size_t>(index - 1)] = std::move(value);
}

}  // namespace vemo
