// The keys of a HostDictionary, in insertion order, case-sensitive.
//
// A request of 100,000 bill lines is 700,000 dictionaries with only two key
// sequences between them ({FFLD, FDSP, FFND} and the six fields of a line),
// so a key table is shared by every dictionary with the same keys: the JSON
// reader hands one table to all of them, and copying a dictionary shares its
// table. A shared table never changes; a dictionary that adds or removes a
// key first takes a private copy (copy on write). The hash index of a large
// table belongs to the table and is built once, on the first lookup that
// needs it, so it too is shared.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vemo {

class KeyTable {
 public:
  explicit KeyTable(std::vector<std::string> keys = {}) : keys_(std::move(keys)) {}
  // Copies the keys; the index is rebuilt when needed.
  KeyTable(const KeyTable& other) : keys_(other.keys_) {}
  KeyTable& operator=(const KeyTable&) = delete;
  ~KeyTable() { delete index_.load(std::memory_order_relaxed); }

  std::size_t Size() const { return keys_.size(); }
  const std::string& operator[](std::size_t position) const { return keys_[position]; }
  std::span<const std::string> Keys() const { return keys_; }
  // Position of `key` (0-based), or Size() when absent.
  std::size_t Find(std::string_view key) const;
  // True when the table holds exactly `keys`, in this order.
  bool SameKeys(std::span<const std::string> keys) const;

  // Changes, allowed only to the one owner of a table nobody shares.
  void Append(std::string key);
  void Erase(std::size_t position);
  void Reserve(std::size_t count) {
    if (count <= keys_.capacity()) return;
    DropIndex();  // the index holds views into the keys, which move
    keys_.reserve(count);
  }

 private:
  friend class KeyTableRef;
  // Below this size a linear search is faster than hashing and costs no
  // index memory.
  static constexpr std::size_t kIndexFrom = 12;
  using Index = std::unordered_map<std::string_view, std::size_t>;

  const Index& IndexOfKeys() const;
  void DropIndex() { delete index_.exchange(nullptr, std::memory_order_relaxed); }

  std::vector<std::string> keys_;
  // Views into keys_; made by whichever reader needs it first (tables cross
  // threads with the values that hold them, hence the atomic).
  mutable std::atomic<Index*> index_{nullptr};
  mutable std::atomic<std::uint32_t> refs_{0};
};

// A counted reference to a KeyTable (8 bytes; a shared_ptr would be 16 in
// each of 700,000 dictionaries).
class KeyTableRef {
 public:
  KeyTableRef() = default;
  explicit KeyTableRef(KeyTable* table) : table_(table) { Retain(); }
  KeyTableRef(const KeyTableRef& other) : table_(other.table_) { Retain(); }
  KeyTableRef(KeyTableRef&& other) noexcept : table_(other.table_) { other.table_ = nullptr; }
  KeyTableRef& operator=(KeyTableRef other) noexcept {
    std::swap(table_, other.table_);
    return *this;
  }
  ~KeyTableRef() { Release(); }

  static KeyTableRef Make(std::vector<std::string> keys) { return KeyTableRef(new KeyTable(std::move(keys))); }

  KeyTable* get() const { return table_; }
  KeyTable* operator->() const { return table_; }
  KeyTable& operator*() const { return *table_; }
  explicit operator bool() const { return table_ != nullptr; }
  // True when another reference holds the table too: it must not change.
  bool Shared() const { return table_ && table_->refs_.load(std::memory_order_acquire) > 1; }

 private:
  void Retain() {
    if (table_) table_->refs_.fetch_add(1, std::memory_order_relaxed);
  }
  void Release() {
    if (table_ && table_->refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete table_;
  }

  KeyTable* table_ = nullptr;
};

}  // namespace vemo
