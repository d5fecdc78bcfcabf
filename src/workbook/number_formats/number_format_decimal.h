// Decimal rounding and the General display of numbers (internal to the
// number formatter).
//
// Rounding rule: a double is first written as its 15-significant-digit
// decimal form (the precision the surface keeps for numbers), and that digit
// string is rounded half away from zero. So 2.675 (stored as
// 2.67499999999999982236431605997495353221893310546875) is 2.67500000000000
// at 15 digits and shows as "2.68" with 0.00, as the surface shows it.
#pragma once

#include <string>

namespace vemo::wb::numfmt {

// A positive value as d0.d1d2...d14 x 10^exponent (15 digits, no sign).
struct Significand {
  std::string digits;
  int exponent = 0;
};

// `value` must be finite and > 0.
Significand ToSignificand(double value);

// A non-negative value rounded to a fixed number of decimals.
struct RoundedDecimal {
  std::string integerDigits;   // no leading zeros; empty when the integer part is 0
  std::string fractionDigits;  // exactly `decimals` characters
};

// Rounds significand x 10^shift to `decimals` places, half away from zero.
RoundedDecimal RoundSignificand(const Significand& s, int shift, int decimals);

// Rounds a non-negative finite value to `decimals` places.
RoundedDecimal RoundToDecimals(double value, int decimals);

// The General display of a non-negative finite value, without sign.
// Rule (a cell of standard width, 11 characters for the digits):
//  * 0 shows "0".
//  * Values from 1E-5 (exclusive of smaller) up to below 1E+11: fixed
//    notation. A value >= 1 keeps (10 - integer digits) decimals, at least 0;
//    a value below 1 keeps 9 decimals. Trailing zeros and a trailing point
//    are dropped. 123456.789 -> "123456.789", 0.1+0.2 -> "0.3",
//    12345678901 -> "12345678901", 1/3 -> "0.333333333".
//    Precisely: fixed notation is used when the 15-digit decimal exponent is
//    between -5 and 10 exclusive of -5 (1E-4 <= x < 1E+11) and the rounded
//    result still has at most 11 integer digits.
//  * Otherwise scientific with at most 6 significant digits, trailing zeros
//    dropped, an exponent of at least two digits with its sign:
//    1234567890123 -> "1.23457E+12", 1E-10 -> "1E-10", 0.00001 -> "1E-05".
std::string FormatGeneralMagnitude(double value);

// General without a cell width, as numbers become text in formulas and
// conversions: 15 significant digits, fixed notation from 1E-9 to below
// 1E+15, scientific otherwise ("1.23456789012346E+15", "1E-10").
std::string FormatGeneralUnlimited(double value);

// Adds thousands separators to a run of integer digits.
std::string GroupThousands(const std::string& digits);

}  // namespace vemo::wb::numfmt
