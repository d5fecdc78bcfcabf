// Value entry: what the spreadsheet surface makes of text written into a cell
// as its value (bill values arrive as text).
//
// Rules, in order:
//  1. ""                      -> Empty.
//  2. Cell formatted as Text  -> Text, the string unchanged.
//  3. Leading apostrophe      -> Text: the rest of the string ("'007" -> "007").
//  4. "=" followed by more    -> Formula, text without the '=' ("=A1+1" -> "A1+1");
//                                "=" alone is text, and so is a text the formula
//                                reader refuses ("=1+", "=" and 5,000 "("): the
//                                cell shows what was written.
//  5. Only spaces             -> Text, unchanged.
//  6. TRUE / FALSE, any case, surrounding spaces ignored -> Boolean.
//  7. A number (surrounding spaces ignored) -> Number:
//       optional sign + or -, or parentheses for a negative: "(12)" -> -12;
//       optional leading currency symbol ¥ ￥ or $, before or after the sign
//       ("¥-12", "-¥12", "(¥12)");
//       digits with an optional point: "12", "12.5", ".5", "5.";
//       leading zeros are dropped: "007" -> 7;
//       thousands separators only in valid groups: "1,234,567.8" (not "1,23",
//       not "1234,567", not in decimals);
//       an exponent without separators or currency: "1e3", "1.5E-2";
//       a trailing percent without currency: "12%" -> 0.12, "12.5%" -> 0.125.
//     Digits past the 15th significant one are kept as zeros, as the surface
//     keeps 15 digits: an 18-digit identity number becomes a number and
//     loses its last digits ("110101199003071234" -> 110101199003071000).
//     Bill numbers such as "XS-0001" are not numbers and stay text.
//     Full-width digits ("１２３") are not numbers: they stay text.
//  8. A date and/or time (1900 date system unless date1904) -> Number (serial):
//       "2026-12-01", "2026/12/1" (year first, 4 digits; month and day 1-2
//       digits; the same separator twice), optionally followed by a space or
//       'T' and a time; "2026年12月1日"; a time alone "13:45", "13:45:10",
//       "13:45:10.5" (minutes and seconds two digits, below 60). A time
//       alone with hours above 23 is elapsed time ("25:30" -> 1.0625).
//       Impossible dates ("2026-02-30") and dates out of range stay text;
//       "1900-02-29" is the surface's serial 60. Month/day without a year,
//       time zones and AM/PM suffixes are not recognised (text).
//  9. Anything else           -> Text, unchanged (surrounding spaces kept).
//     This includes mixed fractions ("1 1/2"), month/day without a year
//     ("12/1") and times with AM/PM, which the interactive surface would
//     convert using the current date or extra rules.
//
// suggestedFormat is set only when the cell was General, for the entries
// that make the surface change the cell's format:
//   percent "0%" / "0.00%" (with decimals); thousands "#,##0" / "#,##0.00";
//   currency "¥"#,##0;"¥"\-#,##0 / with .00 (the symbol as typed);
//   exponent "0.00E+00"; dates "yyyy-mm-dd" for dash input, "yyyy/m/d" for
//   slash input, yyyy"年"m"月"d"日" for Chinese input, each followed by
//   " h:mm" or " h:mm:ss" when a time is given; times "h:mm" / "h:mm:ss",
//   elapsed times "[h]:mm:ss".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vemo::wb {

struct EntryResult {
  enum class Kind { Text, Number, Boolean, Formula, Empty };
  Kind kind = Kind::Empty;
  double number = 0;
  bool boolean = false;
  std::string text;  // Text: the text; Formula: the formula without '='
  std::optional<std::string> suggestedFormat;
  // Text longer than a cell holds is cut to kMaxCellText UTF-16 code units
  // (as a spreadsheet counts); cutFrom is then the length it had, else 0.
  std::size_t cutFrom = 0;
};

// The most a cell's text may hold, in UTF-16 code units.
inline constexpr std::size_t kMaxCellText = 32767;

EntryResult InterpretEntry(std::string_view text, bool cellIsTextFormatted, bool cellIsGeneral,
                           bool date1904 = false);

}  // namespace vemo::wb
