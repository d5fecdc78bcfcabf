// The keyword grammar of template cells.
//
//   [$Page1_FBillNo]     head keyword        (opener "[$",   prefix, "_", name)
//   [$$Page2_FQty]       entry keyword       (opener "[$$",  page key, "_", name)
//   [$$$CompanyName]     plain head keyword  (opener "[$$$", the whole name)
//   [$$$$Page2_FAmount]  sum keyword         (opener "[$$$$": value of name + ".SUM")
//
// A text is of one kind when removing every opener of that kind shortens it
// and leaves no "$": so a text mixing kinds, or holding a "$" of its own
// (US$[$Page1_FAmount]), is of no kind and its cell stays as the designer
// wrote it.
#pragma once
#include <string>
#include <string_view>

namespace vemo::engine {

inline constexpr std::string_view kHeadOpener = "[$";
inline constexpr std::string_view kEntryOpener = "[$$";
inline constexpr std::string_view kPlainHeadOpener = "[$$$";
inline constexpr std::string_view kSumOpener = "[$$$$";
inline constexpr std::string_view kCloser = "]";
// The number format the formula cells get before their new formula.
inline constexpr std::string_view kGeneralFormatLocal = "G/通用格式";

enum class KeywordKind { None, PlainHead, Head, Entry, Sum };

bool IsHeadKeyword(std::string_view text);
bool IsEntryKeyword(std::string_view text);
bool IsPlainHeadKeyword(std::string_view text);
bool IsSumKeyword(std::string_view text);

// The kind a plain cell's text is filled as: plain head, head, entry, sum,
// tested in that order (a plain head keyword also passes the head test).
KeywordKind ClassifyKeyword(std::string_view text);

// Page key of an entry or sum keyword, prefix of a head keyword; "" for a
// plain head keyword or when no "_" stands at position 2 or later.
std::string KeywordPrefix(std::string_view text);
// The name; the text unchanged when no name can be cut out of it.
std::string KeywordName(std::string_view text);

// A value beginning with "'" gets a space in front, so that the quote is
// shown rather than taken as the text-entry marker.
std::string PrepareCellText(std::string value);

}  // namespace vemo::engine
