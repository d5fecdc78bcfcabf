#include "foundation/host_collections.h"

namespace vemo {
namespace {

HostError OutOfRange(const char* what, int position, int count) {
  return HostError(HostError::kKeyNotFound, std::string(what) + " position " + std::to_string(position) +
                                                " is outside 1.." + std::to_string(count));
}

}  // namespace

std::size_t HostDictionary::Find(std::string_view key) const {
  if (index_) {
    auto it = index_->find(key);
    return it == index_->end() ? entries_.size() : it->second;
  }
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].first == key) return i;
  return entries_.size();
}

void HostDictionary::RebuildIndex() {
  index_.reset();
  if (entries_.size() < kIndexFrom) return;
  index_ = std::make_unique<std::unordered_map<std::string_view, std::size_t>>();
  index_->reserve(entries_.size() * 2);
  for (std::size_t i = 0; i < entries_.size(); ++i) index_->emplace(entries_[i].first, i);
}

bool HostDictionary::Lookup(std::string_view key) const { return Find(key) != entries_.size(); }

const Variant* HostDictionary::Get(std::string_view key) const {
  const std::size_t at = Find(key);
  return at == entries_.size() ? nullptr : &entries_[at].second;
}

Variant HostDictionary::Value(std::string_view key) const {
  const std::size_t at = Find(key);
  return at == entries_.size() ? Variant() : entries_[at].second;
}

const Variant& HostDictionary::Item(std::string_view key) const {
  const std::size_t at = Find(key);
  if (at == entries_.size()) throw HostError(HostError::kKeyNotFound, "key \"" + std::string(key) + "\" not found");
  return entries_[at].second;
}

void HostDictionary::Add(std::string key, Variant value) {
  if (Lookup(key)) throw HostError(HostError::kKeyNotFound, "key \"" + key + "\" already exists");
  const bool reallocates = entries_.size() == entries_.capacity();
  entries_.emplace_back(std::move(key), std::move(value));
  // The index holds views of the keys: a reallocation moves them.
  if (reallocates || entries_.size() == kIndexFrom) {
    RebuildIndex();
  } else if (index_) {
    index_->emplace(entries_.back().first, entries_.size() - 1);
  }
}

void HostDictionary::Set(std::string key, Variant value) {
  const std::size_t at = Find(key);
  if (at != entries_.size()) {
    entries_[at].second = std::move(value);
    return;
  }
  Add(std::move(key), std::move(value));
}

bool HostDictionary::Remove(std::string_view key) {
  const std::size_t at = Find(key);
  if (at == entries_.size()) return false;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
  RebuildIndex();
  return true;
}

void HostDictionary::Clear() {
  entries_.clear();
  index_.reset();
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
