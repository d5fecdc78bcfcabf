#include "workbook/xlsx/xml_text.h"

#include <cstdint>

#include "workbook/model/utf8.h"

namespace vemo::wb {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

void AppendHexEscape(std::string& out, unsigned code) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "_x";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 0xF];
  out += '_';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The code of an _xHHHH_ escape starting at `at`, or -1.
int EscapeAt(std::string_view text, std::size_t at) {
  if (at + 7 > text.size() || text[at] != '_' || text[at + 1] != 'x' || text[at + 6] != '_') return -1;
  int code = 0;
  for (std::size_t i = at + 2; i < at + 6; ++i) {
    const int digit = HexValue(text[i]);
    if (digit < 0) return -1;
    code = code * 16 + digit;
  }
  return code;
}

// Appends the non-ASCII sequence at `at` as XML may carry it; returns its length.
std::size_t AppendNonAscii(std::string& out, std::string_view text, std::size_t at) {
  const std::size_t length = Utf8Length(text, at);
  if (length == 0) {
    out += kReplacement;
    return 1;
  }
  // U+FFFE and U+FFFF (EF BF BE, EF BF BF) are not XML characters.
  if (length == 3 && static_cast<unsigned char>(text[at]) == 0xEF && static_cast<unsigned char>(text[at + 1]) == 0xBF &&
      static_cast<unsigned char>(text[at + 2]) >= 0xBE) {
    AppendHexEscape(out, 0xFFFE + (static_cast<unsigned char>(text[at + 2]) - 0xBE));
    return 3;
  }
  out.append(text.data() + at, length);
  return length;
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
  std::size_t i = 0;
  while (i < text.size()) {
    // The run of plain ASCII up to the next byte needing care is copied at once.
    const std::size_t run = i;
    while (i < text.size()) {
      const auto c = static_cast<unsigned char>(text[i]);
      if (c < 0x20 || c >= 0x80 || c == '&' || c == '<' || c == '>' || c == '"') break;
      ++i;
    }
    out.append(text.data() + run, i - run);
    if (i >= text.size()) return;
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      i += AppendNonAscii(out, text, i);
      continue;
    }
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += attribute ? "&quot;" : "\""; break;
      case '\r': out += "&#13;"; break;
      case '\n': out += attribute ? "&#10;" : "\n"; break;
      case '\t': out += attribute ? "&#9;" : "\t"; break;
      default: AppendHexEscape(out, c); break;
    }
    ++i;
  }
}

void AppendCellText(std::string& out, std::string_view text) {
  std::size_t from = 0;
  for (std::size_t at = text.find("_x"); at != std::string_view::npos; at = text.find("_x", at + 1)) {
    if (EscapeAt(text, at) < 0) continue;
    AppendEscaped(out, text.substr(from, at - from), false);
    out += "_x005F";  // the underscore itself, escaped
    from = at;
  }
  AppendEscaped(out, text.substr(from), false);
}

std::string DecodeCellText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const int code = EscapeAt(text, i);
    if (code < 0) {
      out += text[i++];
      continue;
    }
    i += 7;
    if (code >= 0xD800 && code <= 0xDBFF) {
      const int low = EscapeAt(text, i);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((static_cast<std::uint32_t>(code) - 0xD800) << 10) + (low - 0xDC00));
        i += 7;
        continue;
      }
    }
    if (code >= 0xD800 && code <= 0xDFFF) out += kReplacement;
    else AppendUtf8(out, static_cast<std::uint32_t>(code));
  }
  return out;
}

void MakeXmlSafe(std::string& xml) {
  // Most parts need nothing: look before copying.
  bool clean = true;
  for (char ch : xml) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x80 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == '&') {
      clean = false;
      break;
    }
  }
  if (clean) return;
  std::string out;
  out.reserve(xml.size());
  std::size_t i = 0;
  while (i < xml.size()) {
    const auto c = static_cast<unsigned char>(xml[i]);
    if (c >= 0x80) {
      i += AppendNonAscii(out, xml, i);
    } else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      AppendHexEscape(out, c);
      ++i;
    } else if (c == '&' && i + 3 < xml.size() && xml[i + 1] == '#' && xml[i + 2] >= '0' && xml[i + 2] <= '9') {
      // The library writes a control character as &#N; (N decimal, below 32).
      std::size_t end = i + 2;
      unsigned code = 0;
      while (end < xml.size() && end < i + 5 && xml[end] >= '0' && xml[end] <= '9') code = code * 10 + (xml[end++] - '0');
      if (end < xml.size() && xml[end] == ';' && code < 0x20 && code != '\t' && code != '\n' && code != '\r') {
        AppendHexEscape(out, code);
        i = end + 1;
      } else {
        out += xml[i++];
      }
    } else {
      out += xml[i++];
    }
  }
  xml = std::move(out);
}

}  // namespace vemo::wb
