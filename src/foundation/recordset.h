// Recordset: the part of a database record set that the system reads.
// A forward/backward cursor over rows of Variants with named fields.
//   - Fields by name (ignoring case, as database field names do) or by
//     0-based position.
//   - A new record set stands on its first row; an empty one has BOF and EOF
//     both True. Reading a field while BOF or EOF is True raises.
//   - Filter: "" shows every row again; otherwise clauses "Field op value"
//     joined by AND, op one of = <> < > <= >= LIKE, value 'text' (with ''
//     for a quote), a number, or a bare word; LIKE takes * or % as wildcards.
//     Setting a filter moves to the first visible row.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "foundation/host_object.h"
#include "foundation/variant.h"

namespace vemo {

class Recordset : public HostObject {
 public:
  Recordset(std::vector<std::string> fieldNames, std::vector<std::vector<Variant>> rows);
  static std::shared_ptr<Recordset> Create(std::vector<std::string> fieldNames, std::vector<std::vector<Variant>> rows) {
    return std::make_shared<Recordset>(std::move(fieldNames), std::move(rows));
  }
  std::string TypeName() const override { return "Recordset"; }

  bool Eof() const { return position_ >= static_cast<int>(visible_.size()); }
  bool Bof() const { return position_ < 0 || visible_.empty(); }
  int RecordCount() const { return static_cast<int>(visible_.size()); }

  void MoveFirst() { position_ = 0; }
  void MoveLast() { position_ = static_cast<int>(visible_.size()) - 1; }
  // Raises when already at EOF.
  void MoveNext();
  void MovePrevious();
  // Moves `count` rows from the current one; the cursor stops at BOF or EOF.
  void Move(int count);

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  const std::string& FieldName(int position) const;
  // -1 when there is no such field.
  int FieldIndex(std::string_view name) const;
  bool HasField(std::string_view name) const { return FieldIndex(name) >= 0; }
  // The current row's value; raises on an unknown field or at BOF/EOF.
  const Variant& Field(std::string_view name) const;
  const Variant& Field(int position) const;

  void SetFilter(std::string_view filter);
  const std::string& Filter() const { return filter_; }

  const std::vector<std::string>& FieldNames() const { return fields_; }
  const std::vector<std::vector<Variant>>& AllRows() const { return rows_; }

 private:
  const std::vector<Variant>& CurrentRow() const;

  std::vector<std::string> fields_;
  std::vector<std::vector<Variant>> rows_;
  std::vector<std::size_t> visible_;  // indices into rows_ that pass the filter
  int position_ = 0;
  std::string filter_;
};

using RecordsetRef = std::shared_ptr<Recordset>;

}  // namespace vemo
