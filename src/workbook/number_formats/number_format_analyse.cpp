// Decides what each token of a parsed section means: minutes versus months,
// thousands separators versus scaling commas, fraction slashes versus literal
// slashes, sub-second digits.
#include <algorithm>

#include "workbook/number_formats/number_format_sections.h"

namespace vemo::wb::numfmt {
namespace {

bool IsDatePart(TokenKind k) {
  switch (k) {
    case TokenKind::Year:
    case TokenKind::Month:
    case TokenKind::Minute:
    case TokenKind::Day:
    case TokenKind::WeekdayCn:
    case TokenKind::Hour:
    case TokenKind::Second:
    case TokenKind::ElapsedHours:
    case TokenKind::ElapsedMinutes:
    case TokenKind::ElapsedSeconds:
      return true;
    default:
      return false;
  }
}

Token LiteralToken(std::string text) { return {TokenKind::Literal, std::move(text)}; }

// Placeholder characters and number signs mean nothing special in a date.
std::string LiteralTextOf(const Token& t) {
  switch (t.kind) {
    case TokenKind::Digit: return std::string(1, t.ch);
    case TokenKind::DecimalPoint: return ".";
    case TokenKind::Comma: return ",";
    case TokenKind::Percent: return "%";
    case TokenKind::FractionSlash: return "/";
    case TokenKind::Exponent: return std::string(1, t.ch) + (t.plusSign ? "+" : "-");
    case TokenKind::TextPlaceholder: return "@";
    default: return t.text;
  }
}

void AnalyseDateTime(Section& s) {
  auto& tokens = s.tokens;
  const int n = static_cast<int>(tokens.size());
  // "m" is minutes right after an hour or right before a second.
  for (int i = 0; i < n; ++i) {
    if (tokens[i].kind != TokenKind::Month) continue;
    int prev = i - 1;
    while (prev >= 0 && !IsDatePart(tokens[prev].kind)) --prev;
    int next = i + 1;
    while (next < n && !IsDatePart(tokens[next].kind)) ++next;
    const bool afterHour = prev >= 0 && (tokens[prev].kind == TokenKind::Hour ||
                                         tokens[prev].kind == TokenKind::ElapsedHours);
    const bool beforeSecond = next < n && (tokens[next].kind == TokenKind::Second ||
                                           tokens[next].kind == TokenKind::ElapsedSeconds);
    if (afterHour || beforeSecond) tokens[i].kind = TokenKind::Minute;
  }
  bool seenSecond = false;
  std::vector<Token> out;
  for (int i = 0; i < n; ++i) {
    const Token& t = tokens[i];
    if (t.kind == TokenKind::Second || t.kind == TokenKind::ElapsedSeconds) seenSecond = true;
    if (t.kind == TokenKind::AmPm) s.hasAmPm = true;
    if (t.kind == TokenKind::DecimalPoint && seenSecond && i + 1 < n && tokens[i + 1].kind == TokenKind::Digit &&
        tokens[i + 1].ch == '0') {
      Token sub{TokenKind::SubSecond};
      while (i + 1 < n && tokens[i + 1].kind == TokenKind::Digit && tokens[i + 1].ch == '0') {
        ++sub.count;
        ++i;
      }
      sub.count = std::min(sub.count, 3);
      s.subSecondDigits = std::max(s.subSecondDigits, sub.count);
      out.push_back(sub);
      continue;
    }
    switch (t.kind) {
      case TokenKind::Digit:
      case TokenKind::DecimalPoint:
      case TokenKind::Comma:
      case TokenKind::Percent:
      case TokenKind::FractionSlash:
      case TokenKind::Exponent:
      case TokenKind::TextPlaceholder:
        out.push_back(LiteralToken(LiteralTextOf(t)));
        break;
      default:
        out.push_back(t);
    }
  }
  tokens = std::move(out);
  s.kind = SectionKind::DateTime;
}

bool IsDigitChar(const Token& t) {
  return t.kind == TokenKind::Literal && t.text.size() == 1 && t.text[0] >= '1' && t.text[0] <= '9';
}

// Finds a fraction: placeholders right before a slash and a denominator
// (placeholders or a fixed number) right after it.
bool AnalyseFraction(Section& s, int end) {
  auto& tokens = s.tokens;
  for (int i = 1; i + 1 < end; ++i) {
    if (tokens[i].kind != TokenKind::FractionSlash || tokens[i - 1].kind != TokenKind::Digit) continue;
    int d = i + 1;
    int fixed = 0;
    if (IsDigitChar(tokens[d])) {
      while (d < end && (IsDigitChar(tokens[d]) || (tokens[d].kind == TokenKind::Digit && tokens[d].ch == '0'))) {
        fixed = fixed * 10 + (tokens[d].kind == TokenKind::Digit ? 0 : tokens[d].text[0] - '0');
        if (tokens[d].kind == TokenKind::Digit) tokens[d] = LiteralToken("0");
        ++d;
        if (fixed > 100000) break;
      }
    } else if (tokens[d].kind == TokenKind::Digit) {
      while (d < end && tokens[d].kind == TokenKind::Digit) ++d;
    } else {
      continue;
    }
    int start = i - 1;
    while (start > 0 && tokens[start - 1].kind == TokenKind::Digit) --start;
    s.slashIndex = i;
    s.numeratorStart = start;
    s.denominatorEnd = d;
    s.fixedDenominator = fixed;
    return true;
  }
  return false;
}

void AnalyseNumber(Section& s) {
  auto& tokens = s.tokens;
  const int n = static_cast<int>(tokens.size());
  int exponent = -1;
  for (int i = 0; i < n; ++i) {
    if (tokens[i].kind == TokenKind::Exponent) {
      if (exponent < 0) {
        exponent = i;
      } else {
        tokens[i] = LiteralToken(LiteralTextOf(tokens[i]));
      }
    }
    if (tokens[i].kind == TokenKind::Percent) ++s.percentCount;
    if (tokens[i].kind == TokenKind::TextPlaceholder) s.hasTextPlaceholder = true;
  }
  const int mantissaEnd = exponent >= 0 ? exponent : n;
  const bool fraction = exponent < 0 && AnalyseFraction(s, mantissaEnd);
  int point = -1;
  for (int i = 0; i < n; ++i) {
    Token& t = tokens[i];
    if (t.kind == TokenKind::FractionSlash && i != s.slashIndex) t = LiteralToken("/");
    if (t.kind == TokenKind::DecimalPoint) {
      if (point >= 0 || fraction || i > mantissaEnd) {
        t = LiteralToken(".");
      } else {
        point = i;
      }
    }
  }
  const int integerEnd = point >= 0 ? point : mantissaEnd;
  auto digitBetween = [&](int from, int to) {
    for (int i = from; i < to; ++i) {
      if (tokens[i].kind == TokenKind::Digit) return true;
    }
    return false;
  };
  for (int i = 0; i < n; ++i) {
    if (tokens[i].kind != TokenKind::Comma) continue;
    const bool digitBefore = digitBetween(0, i);
    if (!fraction && i < integerEnd && digitBefore && digitBetween(i + 1, integerEnd)) {
      s.grouping = true;
      tokens[i].kind = TokenKind::Nothing;
    } else if (!fraction && i < mantissaEnd && digitBefore && !digitBetween(i + 1, mantissaEnd)) {
      ++s.scaleThousands;
      tokens[i].kind = TokenKind::Nothing;
    } else {
      tokens[i] = LiteralToken(",");
    }
  }
  s.kind = exponent >= 0 ? SectionKind::Scientific : fraction ? SectionKind::Fraction : SectionKind::Number;
  if (s.hasTextPlaceholder && !digitBetween(0, n)) s.kind = SectionKind::Text;
}

}  // namespace

void AnalyseSection(Section& section) {
  for (const Token& t : section.tokens) {
    if (t.kind == TokenKind::TextPlaceholder) section.hasTextPlaceholder = true;
  }
  const bool isDate = std::any_of(section.tokens.begin(), section.tokens.end(), [](const Token& t) {
    return IsDatePart(t.kind) || t.kind == TokenKind::AmPm;
  });
  if (isDate && !section.hasTextPlaceholder) {
    AnalyseDateTime(section);
  } else {
    AnalyseNumber(section);
  }
}

bool Condition::Matches(double v) const {
  switch (op) {
    case Op::None: return true;
    case Op::Less: return v < operand;
    case Op::LessEqual: return v <= operand;
    case Op::Greater: return v > operand;
    case Op::GreaterEqual: return v >= operand;
    case Op::Equal: return v == operand;
    case Op::NotEqual: return v != operand;
  }
  return true;
}

bool Condition::SelectsOnlyNonPositive() const {
  return (op == Op::Less && operand <= 0) || (op == Op::LessEqual && operand < 0);
}

}  // namespace vemo::wb::numfmt
