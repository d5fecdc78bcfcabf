#include "foundation/key_table.h"

#include <algorithm>

namespace vemo {

std::size_t KeyTable::Find(std::string_view key) const {
  if (keys_.size() >= kIndexFrom) {
    const Index& index = IndexOfKeys();
    auto it = index.find(key);
    return it == index.end() ? keys_.size() : it->second;
  }
  for (std::size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i] == key) return i;
  return keys_.size();
}

bool KeyTable::SameKeys(std::span<const std::string> keys) const {
  return std::equal(keys_.begin(), keys_.end(), keys.begin(), keys.end());
}

const KeyTable::Index& KeyTable::IndexOfKeys() const {
  if (const Index* index = index_.load(std::memory_order_acquire)) return *index;
  auto* made = new Index;
  made->reserve(keys_.size() * 2);
  for (std::size_t i = 0; i < keys_.size(); ++i) made->emplace(keys_[i], i);
  Index* expected = nullptr;
  if (index_.compare_exchange_strong(expected, made, std::memory_order_acq_rel)) return *made;
  delete made;  // another thread was first; its index is the same
  return *expected;
}

void KeyTable::Append(std::string key) {
  const bool moves = keys_.size() == keys_.capacity();
  keys_.push_back(std::move(key));
  // The index holds views of the keys, and a short key lives inside its
  // string: a reallocation moves them. Dropped, it is rebuilt on the next
  // lookup, which growth by doubling keeps rare.
  Index* index = index_.load(std::memory_order_relaxed);
  if (!index) return;
  if (moves) {
    DropIndex();
  } else {
    index->emplace(keys_.back(), keys_.size() - 1);
  }
}

void KeyTable::Erase(std::size_t position) {
  keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(position));
  DropIndex();  // positions after it moved
}

}  // namespace vemo
