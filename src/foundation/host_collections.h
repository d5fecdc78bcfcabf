// The host's two collections.
//
// HostDictionary: values by key, in insertion order. Keys compare exactly
// (case-sensitive), as the host's own dictionary does: "FBillNo" and
// "fbillno" are two keys. Callers that want case-insensitive names (system
// variables, record-set fields) say so where they look up.
// Positions (Key(i), ItemAt(i)) are 1-based, like every host list.
// The keys live in a KeyTable shared with every dictionary of the same keys
// (key_table.h); the dictionary holds its values, exactly as many as keys.
//
// HostVector: a 1-based list; LowerBound() is 1, UpperBound() and Size() the
// count.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/host_object.h"
#include "foundation/key_table.h"
#include "foundation/small_blocks.h"
#include "foundation/variant.h"

namespace vemo {

class HostDictionary : public HostObject {
 public:
  std::string TypeName() const override { return "HostDictionary"; }

  static std::shared_ptr<HostDictionary> Create() { return Make(); }
  // A new dictionary, its object and values in pooled blocks (small_blocks.h).
  template <class... Args>
  static std::shared_ptr<HostDictionary> Make(Args&&... args) {
    return std::allocate_shared<HostDictionary>(SmallBlockAllocator<HostDictionary>(), std::forward<Args>(args)...);
  }

  HostDictionary() = default;
  // A dictionary over `keys` (which may be shared) with `values` in the
  // table's order; raises HostError unless there is one value per key.
  HostDictionary(KeyTableRef keys, std::vector<Variant> values);
  // The same, moving the values out of `values` (the JSON reader's frames).
  HostDictionary(KeyTableRef keys, std::span<Variant> values);
  // Copies share the key table until one of them adds or removes a key.
  HostDictionary(const HostDictionary& other);
  HostDictionary& operator=(const HostDictionary& other);
  ~HostDictionary() override;

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

  int Count() const { return static_cast<int>(Size()); }
  // 1-based position; raises HostError when out of range.
  const std::string& Key(int position) const;
  const Variant& ItemAt(int position) const;

  // All keys and all values, in the same order (0-based): Keys()[i] is the
  // key of Values()[i]. Valid until the dictionary changes.
  std::span<const std::string> Keys() const;
  std::span<const Variant> Values() const { return {values_, Size()}; }
  // The key table, shared with other dictionaries of the same keys.
  const KeyTableRef& KeyTableOf() const { return keys_; }

  void Reserve(std::size_t count);

 private:
  std::size_t Size() const { return keys_ ? keys_->Size() : 0; }
  // Position of `key` in values_, or Size() when absent.
  std::size_t Find(std::string_view key) const { return keys_ ? keys_->Find(key) : 0; }
  // The key table, made private (copied when shared) so it may change.
  KeyTable& OwnKeys();
  // New room for `newCount` values, the old values moved over in order
  // (leaving out the one at `skip`); the room past them holds Empty.
  void Reallocate(std::size_t oldCount, std::size_t newCount, std::size_t skip = SIZE_MAX);

  // The values, one per key of the table, in an array whose room follows
  // from the count alone (Capacity): a bill holds 700,000 dictionaries, and
  // a vector's own size and room would make each object one allocation
  // size larger.
  static std::size_t Capacity(std::size_t count);
  KeyTableRef keys_;
  Variant* values_ = nullptr;
};

class LineColumns;

class HostVector : public HostObject {
 public:
  std::string TypeName() const override { return "HostVector"; }

  static std::shared_ptr<HostVector> Create() { return std::make_shared<HostVector>(); }

  HostVector();
  explicit HostVector(std::vector<Variant> items);
  // A list of the lines of `lines`, which answers ItemField without
  // building them (line_columns.h).
  explicit HostVector(std::unique_ptr<LineColumns> lines);
  ~HostVector() override;

  int LowerBound() const { return 1; }
  int UpperBound() const { return Size(); }
  int Size() const;
  // 1-based; raises HostError when out of range.
  const Variant& Item(int index) const;
  // The value under `key` of the item at `index` (1-based) when that item
  // is a dictionary; Empty when it is not or has no such key. Raises
  // HostError when out of range. Lines held by columns are not built.
  Variant ItemField(int index, std::string_view key) const;
  void SetItem(int index, Variant value);
  void Add(Variant value);
  void Reserve(std::size_t count);

  const std::vector<Variant>& Items() const;

 private:
  // The items of lines held by columns, built on first use.
  const std::vector<Variant>& Built() const;
  // Lines held by columns become ordinary items before a change.
  void Own();

  mutable std::vector<Variant> items_;
  struct Columns;
  std::unique_ptr<Columns> columns_;
};

using DictionaryRef = std::shared_ptr<HostDictionary>;
using VectorRef = std::shared_ptr<HostVector>;

}  // namespace vemo
