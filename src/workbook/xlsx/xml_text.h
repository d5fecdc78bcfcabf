// Text as the parts of a workbook carry it. XML 1.0 cannot carry most
// control characters (U+0000-U+001F other than tab, LF and CR), U+FFFE,
// U+FFFF or bytes that are not UTF-8, so nothing written may hold them raw:
// a cell text writes such a character as _xHHHH_ (its UTF-16 code in hex),
// and a literal "_xHHHH_" in a text as _x005F_xHHHH_ so it reads back as
// written; bytes that are not UTF-8 become U+FFFD.
#pragma once
#include <string>
#include <string_view>

namespace vemo::wb {

// Text for an XML element body or attribute value: markup escaped,
// characters XML cannot carry as _xHHHH_, broken UTF-8 as U+FFFD.
void AppendEscaped(std::string& out, std::string_view text, bool attribute);

// A cell text, formula or string result for an element body: AppendEscaped
// plus the escape of a literal "_xHHHH_".
void AppendCellText(std::string& out, std::string_view text);

// The text a cell holds, from the body read from a part: _xHHHH_ escapes
// decoded (a lone surrogate as U+FFFD).
std::string DecodeCellText(std::string_view text);
// Whether the text holds something DecodeCellText would change.
inline bool HasCellTextEscape(std::string_view text) { return text.find("_x") != std::string_view::npos; }

// Makes markup written by the XML library safe to read again: it writes a
// control character as a character reference (&#11;), which XML forbids.
// Such references become _xHHHH_, broken UTF-8 becomes U+FFFD.
void MakeXmlSafe(std::string& xml);

}  // namespace vemo::wb
