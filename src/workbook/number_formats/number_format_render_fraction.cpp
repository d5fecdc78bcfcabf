// Fraction sections: "# ?/?", "# ??/??", "?/?", "# ?/8", "?/100".
#include <cmath>
#include <string>

#include "workbook/number_formats/number_format_decimal.h"
#include "workbook/number_formats/number_format_render.h"

namespace vemo::wb::numfmt {
namespace {

struct Fraction {
  long long numerator = 0;
  long long denominator = 1;
};

// The closest fraction with a denominator of at most maxDenominator; ties go
// to the smaller denominator.
Fraction Closest(double value, long long maxDenominator) {
  Fraction best{std::llround(value), 1};
  double bestError = std::fabs(value - static_cast<double>(best.numerator));
  for (long long d = 2; d <= maxDenominator && bestError > 0; ++d) {
    const long long n = std::llround(value * static_cast<double>(d));
    const double error = std::fabs(value - static_cast<double>(n) / static_cast<double>(d));
    if (error < bestError - 1e-12) {
      best = {n, d};
      bestError = error;
    }
  }
  return best;
}

std::string DigitsOf(long long v) { return v == 0 ? std::string() : std::to_string(v); }

}  // namespace

std::string RenderFraction(const Section& s, double magnitude) {
  for (int i = 0; i < s.percentCount; ++i) magnitude *= 100;
  const auto& tokens = s.tokens;
  std::vector<char> wholeChars, numeratorChars, denominatorChars;
  for (int i = 0; i < s.denominatorEnd; ++i) {
    if (tokens[static_cast<size_t>(i)].kind != TokenKind::Digit) continue;
    const char c = tokens[static_cast<size_t>(i)].ch;
    (i < s.numeratorStart ? wholeChars : i < s.slashIndex ? numeratorChars : denominatorChars).push_back(c);
  }
  const bool hasWhole = !wholeChars.empty();
  // Work on the 15-digit decimal form so 0.1+0.2 splits like 0.3.
  const RoundedDecimal exact = RoundToDecimals(magnitude, 15);
  double whole = hasWhole ? std::floor(std::stod((exact.integerDigits.empty() ? "0" : exact.integerDigits))) : 0;
  const double rest = hasWhole ? std::stod("0." + exact.fractionDigits) : magnitude;

  Fraction f;
  if (s.fixedDenominator > 0) {
    f = {std::llround(rest * s.fixedDenominator), s.fixedDenominator};
  } else {
    long long maxDenominator = 1;
    for (size_t i = 0; i < denominatorChars.size() && i < 4; ++i) maxDenominator *= 10;
    f = Closest(rest, maxDenominator - 1 > 0 ? maxDenominator - 1 : 1);
  }
  if (hasWhole && f.numerator >= f.denominator) {
    whole += static_cast<double>(f.numerator / f.denominator);
    f.numerator %= f.denominator;
  }
  const bool blankFraction = hasWhole && f.numerator == 0;

  std::string wholeDigits = whole > 0 ? RoundToDecimals(whole, 0).integerDigits : std::string();
  if (blankFraction && wholeDigits.empty()) wholeDigits = "0";
  const auto wholeText = FillIntegerPlaceholders(wholeChars, wholeDigits, false);
  // Without a whole part a zero still shows its numerator: "0/1".
  const std::string numeratorDigits = hasWhole ? DigitsOf(f.numerator) : std::to_string(f.numerator);
  const auto numeratorText = FillIntegerPlaceholders(numeratorChars, numeratorDigits, false);
  // The denominator is left-aligned: its digits, then padding.
  std::string denominator = std::to_string(f.denominator);
  std::vector<std::string> denominatorText(denominatorChars.size());
  for (size_t k = 0; k < denominatorChars.size(); ++k) {
    if (k < denominator.size()) {
      denominatorText[k] = std::string(1, denominator[k]);
    } else if (denominatorChars[k] != '#') {
      denominatorText[k] = denominatorChars[k] == '0' ? "0" : " ";
    }
  }
  if (denominator.size() > denominatorChars.size() && !denominatorText.empty()) {
    denominatorText.back() += denominator.substr(denominatorChars.size());
  }

  std::string out;
  size_t w = 0, n = 0, d = 0;
  for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
    const Token& t = tokens[static_cast<size_t>(i)];
    const bool inFraction = i >= s.numeratorStart && i < s.denominatorEnd;
    if (blankFraction && inFraction) {
      // A whole number: the fraction's place is kept blank.
      const size_t width = t.kind == TokenKind::Literal ? t.text.size() : 1;
      out.append(t.kind == TokenKind::Digit && t.ch == '#' ? 0 : width, ' ');
      continue;
    }
    switch (t.kind) {
      case TokenKind::Digit:
        if (i < s.numeratorStart) {
          out += wholeText[w++];
        } else if (i < s.slashIndex) {
          out += numeratorText[n++];
        } else if (i < s.denominatorEnd && d < denominatorText.size()) {
          out += denominatorText[d++];
        }  // placeholders after the fraction have no digits to show
        break;
      case TokenKind::FractionSlash: out += "/"; break;
      case TokenKind::Literal: out += t.text; break;
      case TokenKind::Percent: out += "%"; break;
      case TokenKind::General: out += FormatGeneralMagnitude(magnitude); break;
      default: break;
    }
  }
  return out;
}

}  // namespace vemo::wb::numfmt
