// The host's two collections.
//
// HostDictionary: values by key, in insertion order. Keys compare exactly
// (case-sensitive), as the host's own dictionary does: "FBillNo" and
// "fbillno" are two keys. Callers that want case-insensitive names (system
// variables, record-set fields) say so where they look up.
// Positions (Key(i), ItemAt(i)) are 1-based, like every host list.
//
// HostVector: a 1-based list; LowerBound() is 1, UpperBound() and Size() the
// count.
#pragma once
#include <string>
#include <string_view>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/host_object.h"
#include "foundation/variant.h"

namespace vemo {

class HostDictionary : public HostObject {
 public:
  std::string TypeName() const override { return "HostDictionary"; }

  static std::shared_ptr<HostDictionary> Create() { return std::make_shared<HostDictionary>(); }

  HostDictionary() = default;
  // Copies rebuild the index: it points into the keys of its own object.
  HostDictionary(const HostDictionary& other) : HostObject(), entries_(other.entries_) { RebuildIndex(); }
  HostDictionary& operator=(const HostDictionary& other) {
    if (this != &other) {
      entries_ = other.entries_;
      RebuildIndex();
    }
    return *this;
  }

  bool Lookup(std::string_view key) const;
  // The value under `key`; Empty when absent.
  Variant Value(std::string_view key) const;
  // The value under `key` in place, or nullptr when absent: one search and
  // no copy, for callers that read many values.
  const Variant* Get(std::string_view key) const;
  // The value under `key`; raises HostError (kKeyNotFound) when absent.
  const Variant& Item(std::string_view key) const;
  // Adds a new key; raises HostError when the key exists already.
  void Add(std::string key, Variant value);
  // Sets the value, adding the key at the end when it is new.
  void Set(std::string key, Variant value);
  // Removes the key; false when it was absent.
  bool Remove(std::string_view key);
  void Clear();

  int Count() const { return static_cast<int>(entries_.size()); }
  // 1-based position; raises HostError when out of range.
  const std::string& Key(int position) const;
  const Variant& ItemAt(int position) const;

  const std::vector<std::pair<std::string, Variant>>& Entries() const { return entries_; }
  void Reserve(std::size_t count) { entries_.reserve(count); }

 private:
  // Bill data holds millions of tiny dictionaries ({FFLD, FDSP, FFND});
  // below this size a linear search is faster than hashing and costs no
  // index memory.
  static constexpr std::size_t kIndexFrom = 12;
  // Position of `key` in entries_, or entries_.size() when absent.
  std::size_t Find(std::string_view key) const;
  void RebuildIndex();

  std::vector<std::pair<std::string, Variant>> entries_;
  // Views into the keys of entries_; allocated only for large dictionaries.
  std::unique_ptr<std::unordered_map<std::string_view, std::size_t>> index_;
};

class HostVector : public HostObject {
 public:
  std::string TypeName() const override { return "HostVector"; }

  static std::shared_ptr<HostVector> Create() { return std::make_shared<HostVector>(); }

  int LowerBound() const { return 1; }
  int UpperBound() const { return Size(); }
  int Size() const { return static_cast<int>(items_.size()); }
  // 1-based; raises HostError when out of range.
  const Variant& Item(int index) const;
  void SetItem(int index, Variant value);
  void Add(Variant value) { items_.push_back(std::move(value)); }
  void Reserve(std::size_t count) { items_.reserve(count); }

  const std::vector<Variant>& Items() const { return items_; }

 private:
  std::vector<Variant> items_;
};

using DictionaryRef = std::shared_ptr<HostDictionary>;
using VectorRef = std::shared_ptr<HostVector>;

}  // namespace vemo
