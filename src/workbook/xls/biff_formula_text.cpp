// Error literals and the character encodings of BIFF8 strings in formulas,
// and the lookups of the formula context.
#include <array>

#include "workbook/model/utf8.h"
#include "workbook/xls/biff_formula.h"
#include "workbook/xls/biff_formula_internal.h"

namespace vemo::wb::xls {
namespace {

struct ErrorLiteral {
  uint8_t code;
  std::string_view text;
};
constexpr std::array<ErrorLiteral, 8> kErrors = {{{0x00, "#NULL!"},
                                                  {0x07, "#DIV/0!"},
                                                  {0x0F, "#VALUE!"},
                                                  {0x17, "#REF!"},
                                                  {0x1D, "#NAME?"},
                                                  {0x24, "#NUM!"},
                                                  {0x2A, "#N/A"},
                                                  {0x2B, "#GETTING_DATA"}}};

}  // namespace

std::optional<uint8_t> ErrorCodeOf(std::string_view text) {
  for (const auto& e : kErrors)
    if (e.text == text) return e.code;
  return std::nullopt;
}

std::string_view ErrorTextOf(uint8_t code) {
  for (const auto& e : kErrors)
    if (e.code == code) return e.text;
  return {};
}

std::string Utf8FromBiff(const uint8_t* chars, std::size_t count, bool wide) {
  std::string out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (!wide) {
      AppendUtf8(out, chars[i]);
      continue;
    }
    char32_t unit = chars[2 * i] | (chars[2 * i + 1] << 8);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count) {
      char32_t low = chars[2 * i + 2] | (chars[2 * i + 3] << 8);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, (unit >= 0xD800 && unit < 0xE000) ? 0xFFFD : unit);
  }
  return out;
}

std::u16string Utf16FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    auto byte = static_cast<uint8_t>(text[i]);
    int extra = byte < 0x80 ? 0 : (byte >> 5) == 6 ? 1 : (byte >> 4) == 14 ? 2 : (byte >> 3) == 30 ? 3 : -1;
    char32_t cp = extra == 0 ? byte : extra == 1 ? (byte & 0x1F) : extra == 2 ? (byte & 0x0F) : (byte & 0x07);
    bool valid = extra >= 0;
    for (int k = 1; valid && k <= extra; ++k) {
      if (i + k >= text.size() || (static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3F);
    }
    if (!valid || cp > 0x10FFFF) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    i += extra + 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

int FormulaContext::InternalSupbook() const {
  for (std::size_t i = 0; i < supbooks.size(); ++i)
    if (supbooks[i].kind == SupbookKind::Internal) return static_cast<int>(i);
  return -1;
}

uint16_t FormulaContext::InternalXti(int firstSheet, int lastSheet) {
  int book = InternalSupbook();
  if (book < 0) {
    supbooks.push_back(Supbook{});
    book = static_cast<int>(supbooks.size() - 1);
  }
  return XtiOf(book, firstSheet, lastSheet);
}

uint16_t FormulaContext::XtiOf(int supbook, int firstSheet, int lastSheet) {
  Xti wanted{static_cast<uint16_t>(supbook), static_cast<uint16_t>(firstSheet), static_cast<uint16_t>(lastSheet)};
  for (std::size_t i = 0; i < xti.size(); ++i)
    if (xti[i].supbook == wanted.supbook && xti[i].firstSheet == wanted.firstSheet &&
        xti[i].lastSheet == wanted.lastSheet)
      return static_cast<uint16_t>(i);
  xti.push_back(wanted);
  return static_cast<uint16_t>(xti.size() - 1);
}

}  // namespace vemo::wb::xls
