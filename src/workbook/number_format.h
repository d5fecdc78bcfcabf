// Number formats: the displayed text of a cell value under its format code.
//
// Supported: General (and its local name "G/通用格式"), digit placeholders
// 0 # ?, decimals, thousands separators, scaling commas, percent, scientific
// and engineering notation, fractions, dates and times (including elapsed
// [h] [m] [s] and fractional seconds), up to four sections with conditions,
// colours (parsed, not shown), quoted text, \x escapes, _x (one space),
// *x fill (shows nothing: the surface's fill depends on the column width,
// which a format alone does not know), @ in the text section, [$symbol-lcid]
// currency codes (the symbol is kept, the locale dropped), Chinese date
// formats and the 上午/下午 marker, [DBNum1]/[DBNum2] Chinese numerals,
// the system long date / time codes [$-F800] / [$-F400] (shown as the zh-CN
// long date yyyy"年"m"月"d"日" and h:mm:ss). Month and weekday names
// (mmm, dddd) are English, aaa/aaaa the Chinese weekday, AM/PM stays "AM"/"PM".
//
// Section choice for numbers: without conditions one section serves all
// numbers (negatives get a leading '-'); with two, the second serves
// negatives and shows the magnitude; the third serves zero. With conditions
// the first section whose condition holds is used, the last numeric section
// otherwise; a section whose condition only admits negatives ([<0], [<-5])
// shows the magnitude, any other shows the sign. A negative value under a
// date/time section shows "########", as does a date past 9999-12-31.
// General shows at most 11 digit characters, as in a cell of standard
// width (the sign is not counted): 1234567890123 -> "1.23457E+12",
// 0.1+0.2 -> "0.3", 123456.789 -> "123456.789", 1E-10 -> "1E-10"; the exact
// rule is in number_format_decimal.h.
// Rounding: 15 significant digits, then half away from zero on that decimal
// form (2.675 with 0.00 -> "2.68"); a negative that rounds to zero keeps its
// sign ("-0").
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vemo::wb {

namespace numfmt {
struct ParsedFormat;
}

class NumberFormat {
 public:
  // Parses a format code. Never fails: parts it does not understand are
  // shown literally. Parse once and reuse the object for many cells.
  static NumberFormat Parse(std::string_view code);

  std::string Format(double value, bool date1904 = false) const;
  // The display of a text value (the text section, or the text itself).
  std::string FormatText(std::string_view text) const;

  const std::string& Code() const { return code_; }
  bool IsGeneral() const;
  // The number sections show dates or times (the cell holds a date serial).
  bool IsDateTime() const;
  // The code is the text format "@" (numbers entered stay text).
  bool IsText() const;

 private:
  std::string code_;
  std::shared_ptr<const numfmt::ParsedFormat> parsed_;
};

// A number as text without a cell width (formula text conversion, "&"):
// 15 significant digits, e.g. 1234567890123 -> "1234567890123",
// 0.1+0.2 -> "0.3", 1E+15 -> "1E+15", 1234567890123456 -> "1.23456789012346E+15".
std::string NumberToText(double value);

// One-shot helpers; they keep a small per-thread cache of parsed codes.
std::string FormatNumber(double value, std::string_view formatCode, bool date1904 = false);
std::string FormatText(std::string_view text, std::string_view formatCode);

}  // namespace vemo::wb
