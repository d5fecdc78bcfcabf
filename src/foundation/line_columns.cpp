#include "foundation/line_columns.h"

#include <cstring>

#include "foundation/host_collections.h"

namespace vemo {
namespace {

// Dictionaries only (no other object that happens to derive from one).
const HostDictionary* PlainDictionary(const Variant& value) {
  if (!value.IsObject()) return nullptr;
  auto* dict = dynamic_cast<const HostDictionary*>(value.ToObject().get());
  return dict && typeid(*dict) == typeid(HostDictionary) ? dict : nullptr;
}

// The same value, kind and all: a column that holds one value for every line
// must give each line back exactly what it held (-0.0 is not 0.0 here).
bool Identical(const Variant& a, const Variant& b) {
  if (a.Type() != b.Type()) return false;
  if (a.Type() == VariantType::Double || a.Type() == VariantType::Date) {
    const double x = a.Type() == VariantType::Date ? a.ToDate().serial : a.ToNumber();
    const double y = b.Type() == VariantType::Date ? b.ToDate().serial : b.ToNumber();
    return std::memcmp(&x, &y, sizeof x) == 0;
  }
  return a == b;
}

}  // namespace

LineColumns::LineColumns(KeyTableRef lineKeys, KeyTableRef fieldKeys)
    : lineKeys_(std::move(lineKeys)), fieldKeys_(std::move(fieldKeys)) {
  columns_.resize(lineKeys_->Size() * fieldKeys_->Size());
}

std::unique_ptr<LineColumns> LineColumns::StartWith(const Variant& line) {
  const HostDictionary* dict = PlainDictionary(line);
  if (!dict || dict->Count() == 0) return nullptr;
  const HostDictionary* first = PlainDictionary(dict->Values()[0]);
  if (!first || first->Count() == 0) return nullptr;
  std::unique_ptr<LineColumns> table(new LineColumns(dict->KeyTableOf(), first->KeyTableOf()));
  if (!table->Append(line)) return nullptr;
  return table;
}

bool LineColumns::Append(const Variant& line) {
  const HostDictionary* dict = PlainDictionary(line);
  if (!dict || dict->KeyTableOf().get() != lineKeys_.get()) return false;
  const std::span<const Variant> fields = dict->Values();
  for (const Variant& field : fields) {
    const HostDictionary* values = PlainDictionary(field);
    if (!values || values->KeyTableOf().get() != fieldKeys_.get()) return false;
  }
  const std::size_t width = fieldKeys_->Size();
  for (std::size_t f = 0; f < fields.size(); ++f) {
    const std::span<const Variant> values = PlainDictionary(fields[f])->Values();
    for (std::size_t k = 0; k < width; ++k) {
      Column& column = columns_[f * width + k];
      const Variant& value = values[k];
      if (count_ == 0) {
        column.first = value;
      } else if (!column.values.empty()) {
        column.values.push_back(value);
      } else if (!Identical(value, column.first)) {
        column.values.reserve(count_ + 1);
        column.values.assign(count_, column.first);  // the first value differs here
        column.values.push_back(value);
      }
    }
  }
  ++count_;
  return true;
}

void LineColumns::Shrink() {
  for (Column& column : columns_) column.values.shrink_to_fit();
}

Variant LineColumns::FieldAt(std::size_t index, std::size_t field) const {
  const std::size_t width = fieldKeys_->Size();
  std::vector<Variant> values;
  values.reserve(width);
  for (std::size_t k = 0; k < width; ++k) values.push_back(At(columns_[field * width + k], index));
  return Variant(HostDictionary::Make(fieldKeys_, std::span<Variant>(values)));
}

Variant LineColumns::Field(std::size_t index, std::string_view key) const {
  const std::size_t field = lineKeys_->Find(key);
  return field == lineKeys_->Size() ? Variant() : FieldAt(index, field);
}

Variant LineColumns::Line(std::size_t index) const {
  std::vector<Variant> fields;
  fields.reserve(lineKeys_->Size());
  for (std::size_t f = 0; f < lineKeys_->Size(); ++f) fields.push_back(FieldAt(index, f));
  return Variant(HostDictionary::Make(lineKeys_, std::span<Variant>(fields)));
}

}  // namespace vemo
