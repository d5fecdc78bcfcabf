#include "workbook/value_entry.h"

#include <cctype>

#include "workbook/value_entry_parsers.h"

namespace vemo::wb {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return true;
}

EntryResult TextResult(std::string_view text) {
  EntryResult r;
  r.kind = EntryResult::Kind::Text;
  r.text = std::string(text);
  return r;
}

}  // namespace

EntryResult InterpretEntry(std::string_view text, bool cellIsTextFormatted, bool cellIsGeneral, bool date1904) {
  if (text.empty()) return EntryResult{};
  if (cellIsTextFormatted) return TextResult(text);
  if (text.front() == '\'') return TextResult(text.substr(1));
  if (text.front() == '=' && text.size() > 1) {
    EntryResult r;
    r.kind = EntryResult::Kind::Formula;
    r.text = std::string(text.substr(1));
    return r;
  }
  const std::string_view trimmed = Trim(text);
  if (trimmed.empty()) return TextResult(text);
  if (EqualsNoCase(trimmed, "TRUE") || EqualsNoCase(trimmed, "FALSE")) {
    EntryResult r;
    r.kind = EntryResult::Kind::Boolean;
    r.boolean = EqualsNoCase(trimmed, "TRUE");
    return r;
  }
  auto recognised = entry::RecogniseNumber(trimmed);
  if (!recognised) recognised = entry::RecogniseDateTime(trimmed, date1904);
  if (!recognised) return TextResult(text);
  EntryResult r;
  r.kind = EntryResult::Kind::Number;
  r.number = recognised->value;
  if (cellIsGeneral) r.suggestedFormat = recognised->format;
  return r;
}

}  // namespace vemo::wb
