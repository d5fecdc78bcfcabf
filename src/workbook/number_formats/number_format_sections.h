// The parsed form of a number format code (internal to the number formatter).
//
// A code has up to four sections separated by ';' (positive;negative;zero;
// text). Each section is a list of tokens; analysis decides its kind (number,
// fraction, scientific, date/time) and the role of every comma and slash.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vemo::wb::numfmt {

enum class TokenKind {
  Literal,          // text shown as is: quoted, escaped, _x spacing, plain characters
  Nothing,          // fill (*x), thousands separator or scaling comma: shows nothing
  Digit,            // 0 # ? placeholder (ch)
  DecimalPoint,
  Comma,            // resolved by analysis into Nothing or Literal
  Percent,
  Exponent,         // E+ / E- (plusSign)
  FractionSlash,
  TextPlaceholder,  // @
  General,          // "General" / "G/通用格式" inside a section
  Year,
  Month,
  Minute,
  Day,
  WeekdayCn,        // aaa / aaaa
  Hour,
  Second,
  SubSecond,        // .0 .00 .000 after seconds (count digits)
  ElapsedHours,
  ElapsedMinutes,
  ElapsedSeconds,
  AmPm,             // text = morning marker, alt = afternoon marker
};

struct Token {
  // NOLINTNEXTLINE(google-explicit-constructor): brace lists build tokens
  Token(TokenKind k = TokenKind::Literal, std::string t = {}, std::string a = {})
      : kind(k), text(std::move(t)), alt(std::move(a)) {}
  TokenKind kind = TokenKind::Literal;
  std::string text;
  std::string alt;
  char ch = 0;
  int count = 0;
  bool plusSign = false;
};

struct Condition {
  enum class Op { None, Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual };
  Op op = Op::None;
  double operand = 0;
  bool Matches(double value) const;
  // True when every matching value is negative or zero (like the default
  // negative section), so the section shows the magnitude without sign.
  bool SelectsOnlyNonPositive() const;
};

enum class SectionKind { Number, Fraction, Scientific, DateTime, Text };

struct Section {
  std::vector<Token> tokens;
  Condition condition;
  std::string color;  // as written ("Red", "Color10"); the display ignores it
  int dbnum = 0;      // [DBNum1] / [DBNum2] / [DBNum3]
  SectionKind kind = SectionKind::Number;
  bool hasTextPlaceholder = false;
  // Number analysis.
  int percentCount = 0;
  int scaleThousands = 0;  // trailing commas: each divides by 1000
  bool grouping = false;   // thousands separators shown
  bool hasAmPm = false;
  int subSecondDigits = 0;
  // Fraction layout (token indexes): numerator placeholders are
  // [numeratorStart, slashIndex), the denominator ends before denominatorEnd.
  int slashIndex = -1;
  int numeratorStart = -1;
  int denominatorEnd = -1;
  int fixedDenominator = 0;  // "?/8": 8; 0 when placeholders choose it
};

struct ParsedFormat {
  std::vector<Section> sections;
  std::vector<int> numberSections;  // indexes of sections used for numbers
  int textSection = -1;             // index of the section used for text, or -1
  bool isGeneral = false;           // the whole code is General
};

ParsedFormat ParseFormatCode(std::string_view code);

}  // namespace vemo::wb::numfmt
