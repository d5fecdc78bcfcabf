#include "engine/keyword_grammar.h"

#include "foundation/utf8_text.h"

namespace vemo::engine {
namespace {

bool IsKind(std::string_view text, std::string_view opener) {
  const std::string stripped = ReplaceAll(text, opener, "");
  return stripped.size() < text.size() && stripped.find('$') == std::string::npos;
}

std::string Strip(std::string_view text, std::string_view opener) {
  return ReplaceAll(ReplaceAll(text, opener, ""), kCloser, "");
}

// The opener the prefix and name are cut with: entry, sum, head, in the
// order the engine has always tried them.
std::string_view CuttingOpener(std::string_view text) {
  if (IsEntryKeyword(text)) return kEntryOpener;
  if (IsSumKeyword(text)) return kSumOpener;
  if (IsHeadKeyword(text)) return kHeadOpener;
  return {};
}

}  // namespace

bool IsHeadKeyword(std::string_view text) { return IsKind(text, kHeadOpener); }
bool IsEntryKeyword(std::string_view text) { return IsKind(text, kEntryOpener); }
bool IsPlainHeadKeyword(std::string_view text) { return IsKind(text, kPlainHeadOpener); }
bool IsSumKeyword(std::string_view text) { return IsKind(text, kSumOpener); }

KeywordKind ClassifyKeyword(std::string_view text) {
  if (IsPlainHeadKeyword(text)) return KeywordKind::PlainHead;
  if (IsHeadKeyword(text)) return KeywordKind::Head;
  if (IsEntryKeyword(text)) return KeywordKind::Entry;
  if (IsSumKeyword(text)) return KeywordKind::Sum;
  return KeywordKind::None;
}

std::string KeywordPrefix(std::string_view text) {
  if (IsPlainHeadKeyword(text)) return "";
  const std::string_view opener = CuttingOpener(text);
  if (opener.empty()) return "";
  const std::string stripped = Strip(text, opener);
  const std::size_t underscore = stripped.find('_');
  // "position 2 or later" counts from 1: at least one character before "_".
  if (underscore == std::string::npos || underscore < 1) return "";
  return stripped.substr(0, underscore);
}

std::string KeywordName(std::string_view text) {
  std::string name;
  if (IsPlainHeadKeyword(text)) {
    name = Strip(text, kPlainHeadOpener);
  } else if (const std::string_view opener = CuttingOpener(text); !opener.empty()) {
    const std::string stripped = Strip(text, opener);
    const std::size_t underscore = stripped.find('_');
    if (underscore != std::string::npos && underscore >= 1) name = stripped.substr(underscore + 1);
  }
  return name.empty() ? std::string(text) : name;
}

std::string PrepareCellText(std::string value) {
  if (!value.empty() && value.front() == '\'') value.insert(value.begin(), ' ');
  return value;
}

}  // namespace vemo::engine
