// The lines of a long table held by columns.
//
// A request of a million bill lines is an array of a million dictionaries of
// the same keys (the line's fields), each field itself a dictionary of the
// same keys ({FFLD, FDSP, FFND}). As dictionaries that is nine objects and
// 24 values a line (about 1.1 KiB); most of those values repeat from line to
// line (an empty FDSP, FFND). Held as one column of values per (field, key),
// a column whose values are all the same holds that value once: 240 bytes a
// line for a sales invoice. The JSON reader builds such a table for an array
// of lines of one shape, and HostVector answers from it; a line is built as
// the dictionaries it was read from only when someone asks for the line
// itself.
#pragma once
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "foundation/key_table.h"
#include "foundation/variant.h"

namespace vemo {

class LineColumns {
 public:
  // A table starting with `line` when it is a dictionary (with at least one
  // key) whose values are all dictionaries of one key table; nullptr when not.
  static std::unique_ptr<LineColumns> StartWith(const Variant& line);

  // Adds `line` when it has the table's shape (the same two key tables);
  // false, and nothing added, when it has not.
  bool Append(const Variant& line);
  // Gives back the room the columns grew into.
  void Shrink();

  std::size_t Count() const { return count_; }
  // Line `index` (0-based) as the dictionaries it was read from.
  Variant Line(std::size_t index) const;
  // The field `key` of line `index` as its own dictionary; Empty when the
  // lines have no such field.
  Variant Field(std::size_t index, std::string_view key) const;

 private:
  // `values` stays empty while every value equals `first`.
  struct Column {
    Variant first;
    std::vector<Variant> values;
  };
  LineColumns(KeyTableRef lineKeys, KeyTableRef fieldKeys);
  const Variant& At(const Column& column, std::size_t index) const {
    return column.values.empty() ? column.first : column.values[index];
  }
  Variant FieldAt(std::size_t index, std::size_t field) const;

  KeyTableRef lineKeys_, fieldKeys_;
  std::vector<Column> columns_;  // field f, key k at f * fieldKeys_->Size() + k
  std::size_t count_ = 0;
};

}  // namespace vemo
