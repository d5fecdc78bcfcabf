#include "workbook/number_formats/number_format_decimal.h"

#include <cstdio>
#include <cstdlib>

namespace vemo::wb::numfmt {

Significand ToSignificand(double value) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  Significand s;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') s.digits.push_back(*p);
  }
  if (*p == 'e') s.exponent = std::atoi(p + 1);
  return s;
}

RoundedDecimal RoundSignificand(const Significand& s, int shift, int decimals) {
  // Digits before the decimal point in s x 10^shift.
  const int pointPos = s.exponent + 1 + shift;
  const int keep = pointPos + decimals;
  std::string kept;
  if (keep >= 0) {
    const int len = static_cast<int>(s.digits.size());
    kept = s.digits.substr(0, static_cast<size_t>(keep < len ? keep : len));
    if (keep > len) kept.append(static_cast<size_t>(keep - len), '0');
    const bool roundUp = keep < len && s.digits[static_cast<size_t>(keep)] >= '5';
    if (roundUp) {
      int i = static_cast<int>(kept.size()) - 1;
      while (i >= 0 && kept[static_cast<size_t>(i)] == '9') kept[static_cast<size_t>(i--)] = '0';
      if (i >= 0) {
        ++kept[static_cast<size_t>(i)];
      } else {
        kept.insert(kept.begin(), '1');
      }
    }
  }
  // kept now holds value x 10^decimals as an integer.
  if (kept.size() < static_cast<size_t>(decimals) + 1) {
    kept.insert(0, static_cast<size_t>(decimals) + 1 - kept.size(), '0');
  }
  RoundedDecimal r;
  const size_t intLen = kept.size() - static_cast<size_t>(decimals);
  r.integerDigits = kept.substr(0, intLen);
  r.fractionDigits = kept.substr(intLen);
  const size_t nz = r.integerDigits.find_first_not_of('0');
  r.integerDigits = nz == std::string::npos ? std::string() : r.integerDigits.substr(nz);
  return r;
}

RoundedDecimal RoundToDecimals(double value, int decimals) {
  if (!(value > 0)) {
    RoundedDecimal zero;
    zero.fractionDigits.assign(static_cast<size_t>(decimals), '0');
    return zero;
  }
  return RoundSignificand(ToSignificand(value), 0, decimals);
}

namespace {

std::string TrimFraction(const RoundedDecimal& r) {
  std::string out = r.integerDigits.empty() ? "0" : r.integerDigits;
  const size_t last = r.fractionDigits.find_last_not_of('0');
  if (last != std::string::npos) out += "." + r.fractionDigits.substr(0, last + 1);
  return out;
}

std::string Scientific(const Significand& s, int decimals) {
  int exponent = s.exponent;
  RoundedDecimal m = RoundSignificand(s, -exponent, decimals);
  if (m.integerDigits.size() > 1) {  // 9.999995 rounded up to 10
    ++exponent;
    m = RoundSignificand(s, -exponent, decimals);
  }
  char exp[16];
  std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
  return TrimFraction(m) + exp;
}

}  // namespace

std::string FormatGeneralMagnitude(double value) {
  if (!(value > 0)) return "0";
  const Significand s = ToSignificand(value);
  if (s.exponent >= -5 + 1 && s.exponent <= 10) {
    const int decimals = s.exponent >= 0 ? (10 - (s.exponent + 1) > 0 ? 10 - (s.exponent + 1) : 0) : 9;
    const RoundedDecimal r = RoundSignificand(s, 0, decimals);
    if (r.integerDigits.size() <= 11) return TrimFraction(r);
  }
  return Scientific(s, 5);
}

std::string FormatGeneralUnlimited(double value) {
  if (!(value > 0)) return "0";
  const Significand s = ToSignificand(value);
  if (s.exponent >= -9 && s.exponent <= 14) {
    return TrimFraction(RoundSignificand(s, 0, 14 - s.exponent));
  }
  return Scientific(s, 14);
}

std::string GroupThousands(const std::string& digits) {
  std::string out;
  const size_t n = digits.size();
  for (size_t i = 0; i < n; ++i) {
    out.push_back(digits[i]);
    const size_t left = n - 1 - i;
    if (left > 0 && left % 3 == 0) out.push_back(',');
  }
  return out;
}

}  // namespace vemo::wb::numfmt
