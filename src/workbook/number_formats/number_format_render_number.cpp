// Plain decimal and scientific number sections.
#include <cmath>
#include <string>

#include "workbook/number_formats/number_format_decimal.h"
#include "workbook/number_formats/number_format_render.h"

namespace vemo::wb::numfmt {

std::vector<std::string> FillIntegerPlaceholders(const std::vector<char>& placeholders, const std::string& digits,
                                                 bool grouping) {
  const int n = static_cast<int>(placeholders.size());
  const int len = static_cast<int>(digits.size());
  std::vector<std::string> out(static_cast<size_t>(n));
  auto emit = [&](std::string& to, char digit, int position) {
    to.push_back(digit);
    if (grouping && position > 0 && position % 3 == 0) to.push_back(',');
  };
  for (int k = 0; k < n; ++k) {
    std::string& text = out[static_cast<size_t>(k)];
    const int position = n - 1 - k;  // counted from the right, 0 = units
    if (k == 0) {
      for (int q = len - 1; q >= n; --q) emit(text, digits[static_cast<size_t>(len - 1 - q)], q);
    }
    if (position < len) {
      emit(text, digits[static_cast<size_t>(len - 1 - position)], position);
    } else if (placeholders[static_cast<size_t>(k)] == '0') {
      emit(text, '0', position);
    } else if (placeholders[static_cast<size_t>(k)] == '?') {
      text.push_back(' ');
    }
  }
  return out;
}

namespace {

double Scaled(const Section& s, double magnitude) {
  for (int i = 0; i < s.percentCount; ++i) magnitude *= 100;
  for (int i = 0; i < s.scaleThousands; ++i) magnitude /= 1000;
  return magnitude;
}

// Decimal placeholders are left-aligned; trailing zeros under '#' vanish and
// under '?' become spaces.
std::vector<std::string> FillFractionPlaceholders(const std::vector<char>& placeholders, const std::string& digits) {
  std::vector<std::string> out(placeholders.size());
  int last = -1;
  for (int i = 0; i < static_cast<int>(placeholders.size()); ++i) {
    if (digits[static_cast<size_t>(i)] != '0' || placeholders[static_cast<size_t>(i)] == '0') last = i;
  }
  for (int i = 0; i < static_cast<int>(placeholders.size()); ++i) {
    if (i <= last) {
      out[static_cast<size_t>(i)] = std::string(1, digits[static_cast<size_t>(i)]);
    } else if (placeholders[static_cast<size_t>(i)] == '?') {
      out[static_cast<size_t>(i)].push_back(' ');
    }
  }
  return out;
}

struct Placeholders {
  std::vector<int> integer, fraction, exponent;  // token indexes
};

Placeholders Collect(const Section& s) {
  Placeholders p;
  int region = 0;  // 0 integer, 1 fraction, 2 exponent
  for (int i = 0; i < static_cast<int>(s.tokens.size()); ++i) {
    const Token& t = s.tokens[static_cast<size_t>(i)];
    if (t.kind == TokenKind::DecimalPoint && region == 0) region = 1;
    if (t.kind == TokenKind::Exponent) region = 2;
    if (t.kind != TokenKind::Digit) continue;
    (region == 0 ? p.integer : region == 1 ? p.fraction : p.exponent).push_back(i);
  }
  return p;
}

std::vector<char> CharsOf(const Section& s, const std::vector<int>& indexes) {
  std::vector<char> chars;
  for (int i : indexes) chars.push_back(s.tokens[static_cast<size_t>(i)].ch);
  return chars;
}

// Walks the tokens, putting the rendered text of each placeholder in place.
std::string Assemble(const Section& s, const std::vector<std::string>& byToken, double magnitude,
                     const std::string& integerWithoutPlaceholders, const std::string& exponentSign) {
  std::string out;
  for (size_t i = 0; i < s.tokens.size(); ++i) {
    const Token& t = s.tokens[i];
    switch (t.kind) {
      case TokenKind::Literal: out += t.text; break;
      case TokenKind::Digit: out += byToken[i]; break;
      case TokenKind::DecimalPoint:
        out += integerWithoutPlaceholders;
        out.push_back('.');
        break;
      case TokenKind::Percent: out += "%"; break;
      case TokenKind::Exponent:
        out.push_back(t.ch);
        out += exponentSign;
        break;
      case TokenKind::General: out += FormatGeneralMagnitude(magnitude); break;
      default: break;
    }
  }
  return out;
}

}  // namespace

std::string RenderNumber(const Section& s, double magnitude) {
  const double value = Scaled(s, magnitude);
  const Placeholders p = Collect(s);
  const RoundedDecimal r = RoundToDecimals(value, static_cast<int>(p.fraction.size()));
  std::vector<std::string> byToken(s.tokens.size());
  const auto integer = FillIntegerPlaceholders(CharsOf(s, p.integer), r.integerDigits, s.grouping);
  for (size_t k = 0; k < p.integer.size(); ++k) byToken[static_cast<size_t>(p.integer[k])] = integer[k];
  const auto fraction = FillFractionPlaceholders(CharsOf(s, p.fraction), r.fractionDigits);
  for (size_t k = 0; k < p.fraction.size(); ++k) byToken[static_cast<size_t>(p.fraction[k])] = fraction[k];
  // ".00" has no integer placeholder: the integer digits still show, before the point.
  std::string bare;
  if (p.integer.empty()) bare = s.grouping ? GroupThousands(r.integerDigits) : r.integerDigits;
  return Assemble(s, byToken, magnitude, bare, "");
}

std::string RenderScientific(const Section& s, double magnitude) {
  const double value = Scaled(s, magnitude);
  const Placeholders p = Collect(s);
  const auto intChars = CharsOf(s, p.integer);
  const int intCount = static_cast<int>(intChars.size());
  const int decimals = static_cast<int>(p.fraction.size());
  bool engineering = false;
  for (char c : intChars) engineering = engineering || (c == '#' && intCount > 1);
  const int step = engineering ? intCount : 1;
  const int width = intCount > 0 ? intCount : 1;

  int exponent = 0;
  RoundedDecimal r = RoundToDecimals(0, decimals);
  if (value > 0) {
    const Significand sig = ToSignificand(value);
    auto floorDiv = [](int a, int b) { return (a >= 0 ? a : a - b + 1) / b; };
    exponent = engineering ? floorDiv(sig.exponent, step) * step : sig.exponent - (width - 1);
    r = RoundSignificand(sig, -exponent, decimals);
    if (static_cast<int>(r.integerDigits.size()) > (engineering ? step : width)) {
      exponent += step;
      r = RoundSignificand(sig, -exponent, decimals);
    }
  }
  std::vector<std::string> byToken(s.tokens.size());
  const auto integer = FillIntegerPlaceholders(intChars, r.integerDigits, s.grouping);
  for (size_t k = 0; k < p.integer.size(); ++k) byToken[static_cast<size_t>(p.integer[k])] = integer[k];
  const auto fraction = FillFractionPlaceholders(CharsOf(s, p.fraction), r.fractionDigits);
  for (size_t k = 0; k < p.fraction.size(); ++k) byToken[static_cast<size_t>(p.fraction[k])] = fraction[k];
  const std::string expDigits = exponent == 0 ? std::string() : std::to_string(std::abs(exponent));
  const auto expText = FillIntegerPlaceholders(CharsOf(s, p.exponent), expDigits, false);
  for (size_t k = 0; k < p.exponent.size(); ++k) byToken[static_cast<size_t>(p.exponent[k])] = expText[k];

  bool plus = false;
  for (const Token& t : s.tokens) plus = plus || (t.kind == TokenKind::Exponent && t.plusSign);
  const std::string sign = exponent < 0 ? "-" : plus ? "+" : "";
  return Assemble(s, byToken, magnitude, p.integer.empty() ? r.integerDigits : "", sign);
}

}  // namespace vemo::wb::numfmt
