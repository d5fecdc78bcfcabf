// General display and rounding. The 11-character General rule is the
// surface's display in a normal-width cell; the other expectations were
// cross-checked with tests/workbook/data/number_format_crosscheck.py.
#include <limits>

#include "number_format_test_table.h"

namespace vemo::wb::test {
namespace {

TEST(NumberFormat, GeneralAndRoundingDisplayAsTheSurfaceShowsThem) {
  const FormatCase cases[] = {
      // shows at most eleven digit characters
      {0, "General", "0"}, {1234567890123, "General", "1.23457E+12"}, {123456789012, "General", "1.23457E+11"},
      {12345678901, "General", "12345678901"}, {99999999999.5, "General", "1E+11"}, {0.1 + 0.2, "General", "0.3"},
      {123456.789, "General", "123456.789"}, {1234567.891234, "General", "1234567.891"},
      {1.0 / 3, "General", "0.333333333"}, {100.0 / 3, "General", "33.33333333"}, {2.0 / 3, "General", "0.666666667"},
      {0.0001, "General", "0.0001"}, {0.000123456789, "General", "0.000123457"}, {0.00001, "General", "1E-05"},
      {1e-10, "General", "1E-10"}, {1e100, "General", "1E+100"}, {9.999999e20, "General", "1E+21"},
      {-1234.5, "General", "-1234.5"}, {-0.5, "General", "-0.5"}, {46357, "General", "46357"},
      // local name and case mean general
      {1234567890123, "G/通用格式", "1.23457E+12"}, {0.5, "general", "0.5"}, {-3, "GENERAL", "-3"},
      {12.5, "\"¥\"General", "¥12.5"}, {12.5, "G/通用格式\"元\"", "12.5元"}, {-7, "General;(General)", "(7)"},
      // rounds the fifteen digit decimal form half away from zero
      {2.675, "0.00", "2.68"},      // binary 2.67499999... but 2.67500000000000 at 15 digits
      {1.005, "0.00", "1.01"}, {0.125, "0.00", "0.13"}, {-0.125, "0.00", "-0.13"}, {2.5, "0", "3"}, {-2.5, "0", "-3"},
      {0.5, "0", "1"}, {9.995, "0.00", "10.00"}, {999999.5, "#,##0", "1,000,000"},
      {12345678901234567.0, "0", "12345678901234600"}, {1e-20, "0.00", "0.00"},
      // negative rounding to zero keeps the sign
      {-0.2, "0", "-0"}, {-0.001, "0.00", "-0.00"},
      // not finite values show an error
      {std::numeric_limits<double>::infinity(), "0.00", "#NUM!"},
      {std::numeric_limits<double>::quiet_NaN(), "General", "#NUM!"},
  };
  ExpectDisplays(cases);
}

TEST(NumberFormatGeneral, NumberToTextKeepsFifteenDigits) {
  const std::pair<double, const char*> cases[] = {
      {1234567890123, "1234567890123"}, {123456789012345, "123456789012345"}, {1234567890123456, "1.23456789012346E+15"},
      {1e15, "1E+15"}, {0.1 + 0.2, "0.3"}, {1.0 / 3, "0.333333333333333"}, {0.000000001, "0.000000001"},
      {1e-10, "1E-10"}, {-2.5, "-2.5"}, {0, "0"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(NumberToText(value), text) << text;
}

}  // namespace
}  // namespace vemo::wb::test
