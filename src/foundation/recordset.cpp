#include "foundation/recordset.h"

#include <cctype>
#include <functional>
#include <numeric>

#include "foundation/utf8_text.h"

namespace vemo {
namespace {

constexpr int kBofOrEof = 3021;

struct Clause {
  int field = -1;
  std::string op;
  Variant value;
};

// Minimal scanner over a filter text.
class FilterScanner {
 public:
  explicit FilterScanner(std::string_view text) : text_(text) {}

  void SkipBlanks() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }
  bool AtEnd() {
    SkipBlanks();
    return pos_ >= text_.size();
  }
  std::string Word() {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == '[') {
      std::size_t end = text_.find(']', pos_);
      if (end == std::string_view::npos) throw Bad("unclosed [");
      std::string w(text_.substr(pos_ + 1, end - pos_ - 1));
      pos_ = end + 1;
      return w;
    }
    std::size_t start = pos_;
    while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_' ||
                                   text_[pos_] == '.' || text_[pos_] == '-' ||
                                   static_cast<unsigned char>(text_[pos_]) >= 0x80))
      ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }
  std::string Operator() {
    SkipBlanks();
    for (std::string_view op : {"<=", ">=", "<>", "=", "<", ">"}) {
      if (text_.substr(pos_, op.size()) == op) {
        pos_ += op.size();
        return std::string(op);
      }
    }
    std::string w = Word();
    if (EqualsIgnoreCase(w, "LIKE")) return "LIKE";
    throw Bad("expected a comparison operator");
  }
  Variant Value() {
    SkipBlanks();
    if (pos_ < text_.size() && (text_[pos_] == '\'' || text_[pos_] == '#')) {
      const char quote = text_[pos_++];
      std::string out;
      while (pos_ < text_.size()) {
        if (text_[pos_] == quote) {
          if (quote == '\'' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
            out.push_back('\'');
            pos_ += 2;
            continue;
          }
          ++pos_;
          return Variant(out);
        }
        out.push_back(text_[pos_++]);
      }
      throw Bad("unclosed quote");
    }
    std::string w = Word();
    if (w.empty()) throw Bad("expected a value");
    double n;
    if (TryStrictNumber(w, n)) return Variant(n);
    return Variant(w);
  }
  bool And() {
    std::string w = Word();
    return EqualsIgnoreCase(w, "AND");
  }
  HostError Bad(const std::string& why) const {
    return HostError(HostError::kGeneric, "record set filter \"" + std::string(text_) + "\": " + why);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

bool Like(std::string_view value, std::string_view pattern) {
  // '*' and '%' match any run, '?' and '_' one character; ASCII case ignored.
  if (pattern.empty()) return value.empty();
  if (pattern[0] == '*' || pattern[0] == '%') {
    for (std::size_t i = 0; i <= value.size(); ++i)
      if (Like(value.substr(i), pattern.substr(1))) return true;
    return false;
  }
  if (value.empty()) return false;
  if (pattern[0] == '?' || pattern[0] == '_' || EqualsIgnoreCase(value.substr(0, 1), pattern.substr(0, 1)))
    return Like(value.substr(1), pattern.substr(1));
  return false;
}

bool Matches(const Variant& cell, const Clause& c) {
  if (c.op == "LIKE") return Like(cell.ToText(), c.value.ToText());
  int cmp;
  double a, b;
  if (cell.IsNumeric() && c.value.IsNumeric()) {
    a = cell.ToNumber();
    b = c.value.ToNumber();
    cmp = a < b ? -1 : (a > b ? 1 : 0);
  } else {
    cmp = CompareText(cell.ToText(), c.value.ToText(), true);
  }
  if (c.op == "=") return cmp == 0;
  if (c.op == "<>") return cmp != 0;
  if (c.op == "<") return cmp < 0;
  if (c.op == ">") return cmp > 0;
  if (c.op == "<=") return cmp <= 0;
  return cmp >= 0;
}

}  // namespace

Recordset::Recordset(std::vector<std::string> fieldNames, std::vector<std::vector<Variant>> rows)
    : fields_(std::move(fieldNames)), rows_(std::move(rows)) {
  for (auto& row : rows_) row.resize(fields_.size());
  visible_.resize(rows_.size());
  std::iota(visible_.begin(), visible_.end(), 0);
}

void Recordset::MoveNext() {
  if (Eof()) throw HostError(kBofOrEof, "Either BOF or EOF is True, or the current record has been deleted.");
  ++position_;
}

void Recordset::MovePrevious() {
  if (Bof()) throw HostError(kBofOrEof, "Either BOF or EOF is True, or the current record has been deleted.");
  --position_;
}

void Recordset::Move(int count) {
  long next = static_cast<long>(position_) + count;
  if (next < -1) next = -1;
  if (next > static_cast<long>(visible_.size())) next = static_cast<long>(visible_.size());
  position_ = static_cast<int>(next);
}

const std::string& Recordset::FieldName(int position) const {
  if (position < 0 || position >= FieldCount())
    throw HostError(HostError::kKeyNotFound, "field position " + std::to_string(position) + " out of range");
  return fields_[static_cast<std::size_t>(position)];
}

int Recordset::FieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < fields_.size(); ++i)
    if (EqualsIgnoreCase(fields_[i], name)) return static_cast<int>(i);
  return -1;
}

const std::vector<Variant>& Recordset::CurrentRow() const {
  if (Bof() || Eof())
    throw HostError(kBofOrEof, "Either BOF or EOF is True, or the current record has been deleted.");
  return rows_[visible_[static_cast<std::size_t>(position_)]];
}

const Variant& Recordset::Field(std::string_view name) const {
  const int i = FieldIndex(name);
  if (i < 0) throw HostError(HostError::kKeyNotFound, "record set has no field \"" + std::string(name) + "\"");
  return CurrentRow()[static_cast<std::size_t>(i)];
}

const Variant& Recordset::Field(int position) const {
  FieldName(position);  // range check
  return CurrentRow()[static_cast<std::size_t>(position)];
}

void Recordset::SetFilter(std::string_view filter) {
  std::vector<Clause> clauses;
  FilterScanner scan(filter);
  while (!scan.AtEnd()) {
    Clause c;
    const std::string name = scan.Word();
    c.field = FieldIndex(name);
    if (c.field < 0) throw scan.Bad("no field \"" + name + "\"");
    c.op = scan.Operator();
    c.value = scan.Value();
    clauses.push_back(std::move(c));
    if (!scan.AtEnd() && !scan.And()) throw scan.Bad("clauses must be joined with AND");
  }
  visible_.clear();
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    bool keep = true;
    for (const auto& c : clauses) keep = keep && Matches(rows_[r][static_cast<std::size_t>(c.field)], c);
    if (keep) visible_.push_back(r);
  }
  filter_ = std::string(filter);
  position_ = 0;
}

}  // namespace vemo
