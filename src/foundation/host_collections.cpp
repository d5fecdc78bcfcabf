#include "foundation/host_collections.h"

namespace vemo {
namespace {

HostError OutOfRange(const char* what, int position, int count) {
  return HostError(HostError::kKeyNotFound, std::string(what) + " position " + std::to_string(position) +
                                                " is outside 1.." + std::to_string(count));
}

}  // namespace

bool HostDictionary::Lookup(std::string_view key) const { return index_.count(std::string(key)) != 0; }

Variant HostDictionary::Value(std::string_view key) const {
  auto it = index_.find(std::string(key));
  return it == index_.end() ? Variant() : entries_[it->second].second;
}

const Variant& HostDictionary::Item(std::string_view key) const {
  auto it = index_.find(std::string(key));
  if (it == index_.end()) throw HostError(HostError::kKeyNotFound, "key \"" + std::string(key) + "\" not found");
  return entries_[it->second].second;
}

void HostDictionary::Add(std::string key, Variant value) {
  if (index_.count(key)) throw HostError(HostError::kKeyNotFound, "key \"" + key + "\" already exists");
  index_.emplace(key, entries_.size());
  entries_.emplace_back(std::move(key), std::move(value));
}

void HostDictionary::Set(std::string key, Variant value) {
  auto it = index_.find(key);
  if (it != index_.end()) {
    entries_[it->second].second = std::move(value);
    return;
  }
  Add(std::move(key), std::move(value));
}

bool HostDictionary::Remove(std::string_view key) {
  auto it = index_.find(std::string(key));
  if (it == index_.end()) return false;
  const std::size_t pos = it->second;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(pos));
  index_.erase(it);
  for (auto& [k, p] : index_)
    if (p > pos) --p;
  return true;
}

void HostDictionary::Clear() {
  entries_.clear();
  index_.clear();
}

const std::string& HostDictionary::Key(int position) const {
  if (position < 1 || position > Count()) throw OutOfRange("key", position, Count());
  return entries_[static_cast<std::size_t>(position - 1)].first;
}

const Variant& HostDictionary::ItemAt(int position) const {
  if (position < 1 || position > Count()) throw OutOfRange("item", position, Count());
  return entries_[static_cast<std::size_t>(position - 1)].second;
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
