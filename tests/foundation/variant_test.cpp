#include "foundation/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "foundation/utf8_text.h"
#include "support/host_error_of.h"

namespace vemo {
namespace {

// The host's default conversion of a number to text is printf's "%.15G"
// (15 significant digits hide the binary error of 0.1 + 0.2). It is written
// without printf for speed, so printf is the reference it must agree with,
// digit for digit, at every magnitude and at the rounding boundaries
// (9.999...5 carrying into a new digit).
TEST(NumberToText, AgreesWithPrintfAcrossMagnitudes) {
  EXPECT_EQ(NumberToText(-0.0), "0");  // where printf would write "-0"
  std::vector<double> values = {100, 250.5, -0.25, 0.0001, 1.5e-7, 999999999999999.0, 1e15, 1.23e100, 0.1 + 0.2,
                                0.5, 1.0 / 3, 2.0 / 3, 9.9999999999999949, 9.9999999999999951, 123456789012345.6,
                                0.000099999999999999995, 1e-5, 5e-324, 1.7976931348623157e308, 4503599627370497.0};
  std::mt19937_64 random(88172645463325252ull);
  for (int i = 0; i < 2000; ++i) {  // 17 random digits, times 1e-32 .. 1e31
    const double mantissa = static_cast<double>(random() % 100000000000000000ull) / 1e17;
    values.push_back((i % 2 ? -1 : 1) * mantissa * std::pow(10.0, static_cast<int>(random() % 64) - 32));
  }
  for (double value : values) {
    if (value == 0) continue;
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.15G", value);
    EXPECT_EQ(NumberToText(value), expected) << "for " << value;
  }
}

TEST(LeadingNumber, TakesTheLongestNumericPrefix) {
  // A dangling exponent is not part of it, nor are thousands groups.
  const std::pair<const char*, double> cases[] = {{".5", 0.5},       {"12abc", 12}, {"abc", 0}, {"  -3e2x", -300},
                                                  {"4e", 4},         {"1,234", 1},  {"-", 0},   {"", 0},
                                                  {"3.5.6", 3.5}};
  for (const auto& [text, expected] : cases) EXPECT_DOUBLE_EQ(LeadingNumber(text), expected) << text;
}

TEST(StrictNumber, AcceptsWholeNumbersOnly) {
  const std::pair<const char*, std::optional<double>> cases[] = {
      {" 1,234.5 ", 1234.5}, {"-.5e1", -5}, {"12abc", std::nullopt}, {"", std::nullopt}, {",5", std::nullopt},
      {"1e999", std::nullopt}};
  for (const auto& [text, expected] : cases) {
    double n = 0;
    EXPECT_EQ(TryStrictNumber(text, n) ? std::optional(n) : std::nullopt, expected) << text;
  }
  EXPECT_THROW(StrictNumber("abc"), HostError);
}

TEST(Variant, ConvertsToInt32WithBankersRoundingAndOverflow) {
  const std::pair<Variant, int> cases[] = {{Variant(2.5), 2},   {Variant(3.5), 4},  {Variant(-2.5), -2},
                                           {Variant("41"), 41}, {Variant(true), -1}, {Variant(), 0},
                                           {Variant(2147483647.0), 2147483647}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(value.ToInt32(), expected) << value.ToText();
  EXPECT_EQ(test::RaisedBy([] { Variant(2147483648.0).ToInt32(); }).number, HostError::kOverflow);
  EXPECT_EQ(test::RaisedBy([] { Variant("twelve").ToInt32(); }).number, HostError::kTypeMismatch);
  EXPECT_THROW(Variant::Null().ToNumber(), HostError);
}

TEST(Variant, BooleansAndText) {
  const std::pair<Variant, bool> cases[] = {{Variant(-1), true},     {Variant(0.5), true},         {Variant(0), false},
                                            {Variant("true"), true}, {Variant(" False "), false}, {Variant("2"), true}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(value.ToBool(), expected) << value.ToText();
  EXPECT_THROW(Variant("yes").ToBool(), HostError);
  EXPECT_EQ(Variant(true).ToText(), "True");
  EXPECT_EQ(Variant(false).ToNumber(), 0);
  EXPECT_EQ(Variant::Null().ToText(), "");
  EXPECT_EQ(Variant(std::int64_t{5000000000}).Type(), VariantType::Double);
  EXPECT_EQ(Variant(std::int64_t{7}).Type(), VariantType::Integer);
}

TEST(Variant, NumericTestAndComparison) {
  EXPECT_TRUE(Variant("12.5").IsNumeric());
  EXPECT_FALSE(Variant("12.5kg").IsNumeric());
  EXPECT_FALSE(Variant().IsNumeric());
  EXPECT_EQ(CompareNumber(Variant("10"), Variant(9)), 1);
  EXPECT_EQ(CompareText("10", "9"), -1);  // as text, "10" sorts first
  EXPECT_EQ(CompareText("abc", "ABC", true), 0);
  EXPECT_NE(CompareText("abc", "ABC"), 0);
}

TEST(HostDate, RoundTripsThroughText) {
  const HostDate d = HostDate::FromParts(2026, 12, 1);
  EXPECT_EQ(d.serial, 46357);  // days since 1899-12-30, serial 0
  EXPECT_EQ(d.ToText(), "2026-12-01");
  EXPECT_EQ(Variant("2026-12-01 13:45:10").ToDate().ToText(), "2026-12-01 13:45:10");
  EXPECT_EQ(Variant("2026/2/3").ToDate().ToText(), "2026-02-03");
  EXPECT_THROW(Variant("2026-02-30").ToDate(), HostError);
}

// Characters, not bytes; searches ignore case.
TEST(Utf8Text, CountsCharactersSearchesAndTrims) {
  const std::string name = "销售发票ABC";
  EXPECT_EQ(CharCount(name), 7u);
  EXPECT_EQ(RightChars(name, 3), "ABC");
  EXPECT_EQ(RightChars("发票号", 2), "票号");
  EXPECT_EQ(LeftChars(name, 2), "销售");
  EXPECT_EQ(LeftChars("ab", 1024), "ab");
  EXPECT_EQ(MidChars(name, 3, 2), "发票");
  EXPECT_EQ(MidChars(name, 5), "ABC");
  std::string many;
  for (int i = 0; i < 1100; ++i) many += "号";
  EXPECT_EQ(LeftChars(many, 1024).size(), 1024u * 3);
  EXPECT_EQ(FindIgnoreCase("Data Source=x;Initial Catalog=Acc1", "initial catalog"), 14u);
  EXPECT_EQ(FindIgnoreCase("abc", "d"), std::string_view::npos);
  EXPECT_EQ(ReplaceAll("a-b-c", "-", "_"), "a_b_c");
  EXPECT_EQ(Trim("  x y \t"), "x y");
}

}  // namespace
}  // namespace vemo
