#include "workbook/value_entry.h"

#include <cctype>
#include <utility>

#include "workbook/formulas/formula_parser.h"
#include "workbook/number_formats/value_entry_parsers.h"

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

// Bytes of the longest start of `text` that is at most `units` UTF-16 code
// units long without splitting a character, and the text's own length in
// units (counted only as far as needed to know it is longer).
std::pair<std::size_t, std::size_t> Utf16Prefix(std::string_view text, std::size_t units) {
  std::size_t counted = 0, cut = text.size();
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t bytes = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    const std::size_t width = bytes == 4 ? 2 : 1;  // beyond U+FFFF: a surrogate pair
    if (cut == text.size() && counted + width > units) cut = i;
    counted += width;
    i += bytes;
  }
  return {cut, counted};
}

EntryResult TextResult(std::string_view text) {
  EntryResult r;
  r.kind = EntryResult::Kind::Text;
  // Checked by bytes first: a text of at most kMaxCellText bytes fits.
  if (text.size() > kMaxCellText) {
    const auto [cut, units] = Utf16Prefix(text, kMaxCellText);
    if (cut < text.size()) {
      r.cutFrom = units;
      text = text.substr(0, cut);
    }
  }
  r.text = std::string(text);
  return r;
}

}  // namespace

EntryResult InterpretEntry(std::string_view text, bool cellIsTextFormatted, bool cellIsGeneral, bool date1904) {
  if (text.empty()) return EntryResult{};
  if (cellIsTextFormatted) return TextResult(text);
  if (text.front() == '\'') return TextResult(text.substr(1));
  if (text.front() == '=' && text.size() > 1) {
    if (!ParseFormula(text).root) return TextResult(text);
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
