#include "foundation/host_collections.h"

#include <mutex>

#include "foundation/line_columns.h"

namespace vemo {
namespace {

HostError OutOfRange(const char* what, int position, int count) {
  return HostError(HostError::kKeyNotFound, std::string(what) + " position " + std::to_string(position) +
                                                " is outside 1.." + std::to_string(count));
}

}  // namespace

std::size_t HostDictionary::Capacity(std::size_t count) {
  if (count <= 8) return count;
  std::size_t room = 16;
  while (room < count) room *= 2;
  return room;
}

void HostDictionary::Reallocate(std::size_t oldCount, std::size_t newCount, std::size_t skip) {
  SmallBlockAllocator<Variant> allocator;
  const std::size_t oldRoom = Capacity(oldCount), room = Capacity(newCount);
  Variant* fresh = room ? allocator.allocate(room) : nullptr;  // the one step that may fail: nothing changed yet
  std::size_t to = 0;
  for (std::size_t from = 0; from < oldCount && to < newCount; ++from)
    if (from != skip) new (fresh + to++) Variant(std::move(values_[from]));
  for (; to < room; ++to) new (fresh + to) Variant();
  for (std::size_t i = 0; i < oldRoom; ++i) values_[i].~Variant();
  if (values_) allocator.deallocate(values_, oldRoom);
  values_ = fresh;
}

HostDictionary::HostDictionary(KeyTableRef keys, std::vector<Variant> values)
    : HostDictionary(std::move(keys), std::span<Variant>(values)) {}

HostDictionary::HostDictionary(KeyTableRef keys, std::span<Variant> values) {
  const std::size_t keyCount = keys ? keys->Size() : 0;
  if (keyCount != values.size())
    throw HostError(HostError::kGeneric, "a dictionary needs one value per key: " + std::to_string(keyCount) +
                                             " keys, " + std::to_string(values.size()) + " values");
  Reallocate(0, keyCount);
  for (std::size_t i = 0; i < keyCount; ++i) values_[i] = std::move(values[i]);
  keys_ = std::move(keys);
}

HostDictionary::HostDictionary(const HostDictionary& other) : HostObject() {
  Reallocate(0, other.Size());
  for (std::size_t i = 0; i < other.Size(); ++i) values_[i] = other.values_[i];
  keys_ = other.keys_;
}

HostDictionary& HostDictionary::operator=(const HostDictionary& other) {
  if (this != &other) {
    HostDictionary copy(other);
    std::swap(keys_, copy.keys_);
    std::swap(values_, copy.values_);
  }
  return *this;
}

HostDictionary::~HostDictionary() { Reallocate(Size(), 0); }

KeyTable& HostDictionary::OwnKeys() {
  if (!keys_) {
    keys_ = KeyTableRef::Make({});
  } else if (keys_.Shared()) {
    KeyTableRef copy(new KeyTable(*keys_));
    keys_ = std::move(copy);
  }
  return *keys_;
}

bool HostDictionary::Lookup(std::string_view key) const { return Find(key) != Size(); }

const Variant* HostDictionary::Get(std::string_view key) const {
  const std::size_t at = Find(key);
  return at == Size() ? nullptr : &values_[at];
}

Variant HostDictionary::Value(std::string_view key) const {
  const std::size_t at = Find(key);
  return at == Size() ? Variant() : values_[at];
}

const Variant& HostDictionary::Item(std::string_view key) const {
  const std::size_t at = Find(key);
  if (at == Size()) throw HostError(HostError::kKeyNotFound, "key \"" + std::string(key) + "\" not found");
  return values_[at];
}

void HostDictionary::Add(std::string key, Variant value) {
  if (Lookup(key)) throw HostError(HostError::kKeyNotFound, "key \"" + key + "\" already exists");
  const std::size_t count = Size();
  KeyTable& keys = OwnKeys();
  keys.Append(std::move(key));
  if (Capacity(count + 1) != Capacity(count)) {
    try {
      Reallocate(count, count + 1);
    } catch (...) {
      keys.Erase(count);
      throw;
    }
  }
  values_[count] = std::move(value);
}

void HostDictionary::Set(std::string key, Variant value) {
  const std::size_t at = Find(key);
  if (at != Size()) {
    values_[at] = std::move(value);  // the keys stay as they are: no copy of a shared table
    return;
  }
  Add(std::move(key), std::move(value));
}

bool HostDictionary::Remove(std::string_view key) {
  const std::size_t at = Find(key);
  const std::size_t count = Size();
  if (at == count) return false;
  KeyTable& keys = OwnKeys();
  if (Capacity(count - 1) != Capacity(count)) {
    Reallocate(count, count - 1, at);
  } else {
    for (std::size_t i = at; i + 1 < count; ++i) values_[i] = std::move(values_[i + 1]);
    values_[count - 1] = Variant();
  }
  keys.Erase(at);
  return true;
}

void HostDictionary::Clear() {
  Reallocate(Size(), 0);
  keys_ = KeyTableRef();
}

void HostDictionary::Reserve(std::size_t count) {
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

struct HostVector::Columns {
  std::unique_ptr<LineColumns> lines;
  std::once_flag built;  // items_ made from lines (readers may be on several threads)
};

HostVector::HostVector() = default;
HostVector::HostVector(std::vector<Variant> items) : items_(std::move(items)) {}
HostVector::HostVector(std::unique_ptr<LineColumns> lines) : columns_(new Columns{std::move(lines), {}}) {}
HostVector::~HostVector() = default;

int HostVector::Size() const {
  return static_cast<int>(columns_ ? columns_->lines->Count() : items_.size());
}

const std::vector<Variant>& HostVector::Built() const {
  if (columns_) {
    std::call_once(columns_->built, [&] {
      items_.reserve(columns_->lines->Count());
      for (std::size_t i = 0; i < columns_->lines->Count(); ++i) items_.push_back(columns_->lines->Line(i));
    });
  }
  return items_;
}

void HostVector::Own() {
  Built();
  columns_.reset();
}

const std::vector<Variant>& HostVector::Items() const { return Built(); }

const Variant& HostVector::Item(int index) const {
  if (index < 1 || index > Size()) throw OutOfRange("vector", index, Size());
  return Built()[static_cast<std::size_t>(index - 1)];
}

Variant HostVector::ItemField(int index, std::string_view key) const {
  if (index < 1 || index > Size()) throw OutOfRange("vector", index, Size());
  if (columns_) return columns_->lines->Field(static_cast<std::size_t>(index - 1), key);
  auto line = items_[static_cast<std::size_t>(index - 1)].AsObject<HostDictionary>();
  return line ? line->Value(key) : Variant();
}

void HostVector::SetItem(int index, Variant value) {
  if (index < 1 || index > Size()) throw OutOfRange("vector", index, Size());
  Own();
  items_[static_cast<std::size_t>(index - 1)] = std::move(value);
}

void HostVector::Add(Variant value) {
  Own();
  items_.push_back(std::move(value));
}

void HostVector::Reserve(std::size_t count) {
  Own();
  items_.reserve(count);
}

}  // namespace vemo
