// Number format displays, table by table: General and rounding, number
// sections, text sections, dates and times. Cross-checked with
// tests/workbook/data/number_format_crosscheck.py, except where the surface
// differs from that application on purpose: General is 11 digit characters
// wide, the phantom 1900-02-29 and 1900-01-00, seconds rounded (not cut),
// "A/P" in capitals. 46357 is 2026-12-01, a Tuesday. Last, the built-in
// codes by id.
#include "workbook/number_format.h"
#include "workbook/number_formats/builtin_formats.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <tuple>

namespace vemo::wb {
namespace {

struct FormatCase {
  double value;
  const char* code;
  const char* expected;
};

template <size_t N>
void ExpectDisplays(const FormatCase (&cases)[N]) {
  for (const FormatCase& c : cases)
    EXPECT_EQ(FormatNumber(c.value, c.code), c.expected)
        << "value " << testing::PrintToString(c.value) << " with format [" << c.code << "]";
}

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


TEST(NumberFormat, NumberSectionsDisplayAsTheSurfaceShowsThem) {
  const FormatCase cases[] = {
      // placeholders separators and scaling
      {1234567.891, "#,##0.00", "1,234,567.89"}, {0, "#,##0.00", "0.00"}, {-1234.5, "#,##0.00", "-1,234.50"},
      {0.5, "#.00", ".50"}, {0, "#,###", ""}, {5, "0,000", "0,005"}, {1234567, "#,##0,", "1,235"},
      {1234567, "0.0,,\"M\"", "1.2M"}, {12.5, ".00", "12.50"}, {1.5, "0.0#", "1.5"}, {1.25, "0.0#", "1.25"},
      {1.5, "0.??", "1.5 "}, {7, "000", "007"}, {5551234, "000-0000", "555-1234"}, {123456789, "0", "123456789"},
      {12, "#.", "12."}, {12, "?0", "12"}, {5, "??0", "  5"}, {123.456, "000.000", "123.456"}, {-0.5, "#.##", "-.5"},
      {1234.5678, "#,##0.0##", "1,234.568"}, {1e15, "#,##0", "1,000,000,000,000,000"}, {12, "0.0,", "0.0"},
      {1500, "#,##0.0,\"K\"", "1.5K"}, {3.5, "0 \"pcs\"", "4 pcs"},
      // percent multiplies by hundred
      {0.12345, "0.0%", "12.3%"}, {0.5, "0%", "50%"}, {0.125, "0.00%", "12.50%"}, {-0.05, "0%", "-5%"},
      {1.5, "#,##0%", "150%"},
      // literals escapes spacing and currency
      {-5, "\"$\"#,##0", "-$5"}, {1234.5, "[$¥-804]#,##0.00", "¥1,234.50"}, {1234.5, "[$-804]#,##0.00", "1,234.50"},
      {1234.5, "[$USD] #,##0", "USD 1,235"}, {12, "0\"件\"", "12件"}, {12, "0\\个", "12个"}, {12, "\\(0\\)", "(12)"},
      {1234, "#,##0_);(#,##0)", "1,234 "}, {1234, "_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)", " 1,234 "},
      {0, "_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)", " - "},
      {1234.5, "_ * #,##0.00_ ;_ * -#,##0.00_ ;_ * \"-\"??_ ;_ @_ ", " 1,234.50 "},
      {12, "**0", "12"},  // fill shows nothing
      {12, "[Blue]0", "12"}, {12, "[Color10]0.0", "12.0"},
      // positive negative zero sections
      {-1234.5, "#,##0.00;[Red]-#,##0.00", "-1,234.50"}, {-1234.5, "#,##0.00;(#,##0.00)", "(1,234.50)"},
      {1234.5, "#,##0.00;(#,##0.00)", "1,234.50"}, {0, "0.00;-0.00;\"zero\"", "zero"}, {0, "0.00;-0.00", "0.00"},
      {-3, "0;;", ""}, {0, "0;-0;", ""}, {-3, ";;;", ""}, {5, "0;-0;0;@", "5"},
      {-3.5, "0.0;\"minus \"0.0", "minus 3.5"}, {-1234.5, "0.00_);[Red](0.00)", "(1234.50)"},
      // conditions choose the section
      {50, "[<100]\"small\";[>=1000]\"big\";\"mid\"", "small"},
      {500, "[<100]\"small\";[>=1000]\"big\";\"mid\"", "mid"},
      {5000, "[<100]\"small\";[>=1000]\"big\";\"mid\"", "big"}, {-5, "[<100]0.0;0.00", "-5.0"},
      {150, "[>=100]0;0.00", "150"}, {50, "[>=100]0;0.00", "50.00"}, {-5, "[Red][<0]0.0;0", "5.0"},
      {7, "[=7]\"seven\";0", "seven"}, {8, "[=7]\"seven\";0", "8"},
      // mantissa and exponent
      {12345, "0.00E+00", "1.23E+04"}, {0.00012345, "0.00E+00", "1.23E-04"}, {12345, "##0.0E+0", "12.3E+3"},
      {0.00012345, "##0.0E+0", "123.5E-6"}, {0, "0.00E+00", "0.00E+00"}, {9.999, "0.0E+0", "1.0E+1"},
      {123456, "0E+0", "1E+5"}, {12345, "0.00e-00", "1.23e04"}, {-12345, "0.00E+00", "-1.23E+04"},
      {1e100, "0.00E+00", "1.00E+100"}, {1e-7, "0.00E+0", "1.00E-7"},
      // closest fractions and fixed denominators
      {1.5, "# ?/?", "1 1/2"}, {0.5, "# ?/?", " 1/2"}, {3, "# ?/?", "3    "}, {0, "# ?/?", "0    "},
      {3.14159, "# ?\?/?\?", "3 14/99"}, {0.333, "?/?", "1/3"}, {1.75, "?/?", "7/4"}, {2.3, "# ?/8", "2 2/8"},
      {0.07, "?/100", "7/100"}, {-1.5, "# ?/?", "-1 1/2"}, {5.999, "# ?/?", "6    "}, {0.25, "# ?\?/?\?", "  1/4 "},
      {0, "?/?", "0/1"}, {0.5, "0 ?/?", "0 1/2"}, {0.05, "# ?/20", " 1/20"}, {2.5, "#\" \"?/?", "2 1/2"},
      // Chinese numerals read integers
      {123, "[DBNum1]General", "一百二十三"}, {10, "[DBNum1]General", "十"}, {15, "[DBNum1]0", "十五"},
      {110, "[DBNum1]0", "一百一十"}, {1005, "[DBNum1]0", "一千〇五"}, {10001, "[DBNum1]0", "一万〇一"},
      {100010, "[DBNum1]0", "十万〇一十"}, {100001000, "[DBNum1]0", "一亿〇一千"}, {0, "[DBNum1]0", "〇"},
      {1234, "[DBNum2]0", "壹仟贰佰叁拾肆"}, {10, "[DBNum2][$-804]General", "壹拾"}, {12.5, "[DBNum1]0.0", "十二.五"},
      {12, "[DBNum1]0\"个\"", "十二个"},
      // a number under the text format shows as General
      {12, "@", "12"}, {1234567890123, "@", "1.23457E+12"},
      // unfinished parts degrade to literals
      {5, "0\"abc", "5abc"},           // quote never closed: the rest is text
      {5, "0\\", "5"},                 // escape of nothing
      {5, "0_", "5"},                  // spacing of nothing
      {5, "0[$¥-804", "5¥"},           // bracket never closed
      {5, "0;", "5"},                  // empty negative section unused for positives
      {1.5, "# ?/? 0", "1 1/2 "},      // placeholders after a fraction show nothing
      {-5, "", "-5"},                  // empty code: no format, General
  };
  ExpectDisplays(cases);
}

TEST(NumberFormatText, TextSectionAndAtSign) {
  const std::tuple<const char*, const char*, const char*> cases[] = {  // text, code, display
      {"abc", "0.00;-0.00;0;\"Text: \"@", "Text: abc"}, {"abc", "@", "abc"}, {"abc", "0.00", "abc"},
      {"abc", "\"<\"@\">\"", "<abc>"}, {"abc", "0;-0;0;[Red]\"n/a\"", "n/a"}, {"客户", "@\"先生\"", "客户先生"},
      {"x", "_(@_)", " x "},
  };
  for (const auto& [text, code, display] : cases) EXPECT_EQ(FormatText(text, code), display) << code;
}

TEST(NumberFormatObject, ParsedFormatReportsItsKind) {
  const std::pair<const char*, const char*> kinds[] = {  // code, what it is
      {"General", "general"}, {"G/通用格式", "general"}, {"0.00", ""},         {"yyyy-mm-dd", "date"},
      {"[h]:mm:ss", "date"},  {"上午/下午h\"时\"mm\"分\"", "date"},      {"0.00E+00", ""},
      {"\"d\"0", ""},         {"@", "text"},            {"0;-0;0;@", ""},
  };
  for (const auto& [code, kind] : kinds) {
    const NumberFormat f = NumberFormat::Parse(code);
    EXPECT_EQ(std::string(f.IsGeneral() ? "general" : f.IsDateTime() ? "date" : f.IsText() ? "text" : ""), kind) << code;
  }
  const NumberFormat f = NumberFormat::Parse("#,##0.00");
  EXPECT_EQ(f.Code(), "#,##0.00");
  EXPECT_EQ(f.Format(1234.5), "1,234.50");
}

constexpr double kDec1 = 46357;              // 2026-12-01
constexpr double kDec1At134510 = 46357.573032407;  // 13:45:09.99997 -> 13:45:10

TEST(NumberFormat, DatesAndTimesDisplayAsTheSurfaceShowsThem) {
  const FormatCase cases[] = {
      // date parts
      {kDec1, "yyyy-mm-dd", "2026-12-01"}, {kDec1, "yyyy/m/d", "2026/12/1"}, {kDec1, "yy.m.d", "26.12.1"},
      {kDec1, "m/d/yyyy", "12/1/2026"}, {kDec1, "d-mmm-yy", "1-Dec-26"},
      {kDec1, "dddd, mmmm d, yyyy", "Tuesday, December 1, 2026"}, {kDec1, "ddd mmm", "Tue Dec"},
      {kDec1, "mmmmm", "D"}, {kDec1, "YYYY-MM-DD", "2026-12-01"}, {kDec1 + 0.75, "yyyy/m/d h:mm", "2026/12/1 18:00"},
      {kDec1 + 0.5, "yyyy-m-d h:mm AM/PM", "2026-12-1 12:00 PM"}, {61, "yyyy-mm-dd", "1900-03-01"},
      {60, "yyyy-mm-dd", "1900-02-29"}, {0, "yyyy-mm-dd", "1900-01-00"}, {1, "dddd", "Sunday"},
      // chinese date formats
      {kDec1, "yyyy\"年\"m\"月\"d\"日\"", "2026年12月1日"}, {kDec1, "yyyy年m月d日", "2026年12月1日"},
      {kDec1, "m\"月\"d\"日\"", "12月1日"}, {kDec1, "[$-804]yyyy\"年\"mm\"月\"dd\"日\" aaaa", "2026年12月01日 星期二"},
      {kDec1, "aaa", "二"}, {kDec1 + 4, "aaaa", "星期六"}, {kDec1At134510, "上午/下午h\"时\"mm\"分\"", "下午1时45分"},
      {kDec1 + 0.375, "上午/下午h\"时\"mm\"分\"ss\"秒\"", "上午9时00分00秒"},
      {kDec1At134510, "h\"时\"mm\"分\"ss\"秒\"", "13时45分10秒"}, {kDec1, "[DBNum1]yyyy\"年\"m\"月\"d\"日\"", "二〇二六年十二月一日"},
      {kDec1, "[DBNum2]m\"月\"", "壹拾贰月"}, {kDec1At134510, "[$-F800]dddd, mmmm dd, yyyy", "2026年12月1日"},
      {kDec1At134510, "[$-x-sysdate]dddd, mmmm dd, yyyy", "2026年12月1日"},
      {kDec1At134510, "[$-F400]h:mm:ss AM/PM", "13:45:10"},
      // clock and minutes versus months
      {kDec1At134510, "yyyy-mm-dd hh:mm:ss", "2026-12-01 13:45:10"}, {kDec1At134510, "h:mm AM/PM", "1:45 PM"},
      {kDec1At134510, "hh:mm", "13:45"}, {kDec1At134510, "mm:ss", "45:10"}, {kDec1At134510, "h:m", "13:45"},
      {kDec1At134510, "m", "12"}, {0.5, "h:mm A/P", "12:00 P"}, {0.5, "h:mm a/p", "12:00 p"},
      {0, "h:mm AM/PM", "12:00 AM"}, {0.25, "h:mm:ss AM/PM", "6:00:00 AM"},
      {0.999999, "h:mm:ss", "0:00:00"},  // rounds to the next midnight
      {0.50000579, "h:mm:ss", "12:00:01"},  // 12:00:00.50026 rounds up
      // elapsed and fractional seconds
      {1.25, "[h]:mm", "30:00"}, {1.25, "[mm]:ss", "1800:00"}, {1.25, "[h]:mm:ss", "30:00:00"},
      {100.25, "[h]:mm", "2406:00"}, {0.000123, "[ss].00", "10.63"}, {0.5000011574, "hh:mm:ss.000", "12:00:00.100"},
      {0.0006, "mm:ss.0", "00:51.8"}, {0.0006, "[s]", "52"},
      // unshowable dates are hashes
      {-1, "yyyy-mm-dd", "########"}, {2958466, "yyyy-mm-dd", "########"}, {2958465, "yyyy-mm-dd", "9999-12-31"},
  };
  ExpectDisplays(cases);
}

TEST(NumberFormatDates, System1904) {
  EXPECT_EQ(FormatNumber(0, "yyyy-mm-dd", true), "1904-01-01");
  EXPECT_EQ(FormatNumber(kDec1 - 1462, "yyyy-mm-dd dddd", true), "2026-12-01 Tuesday");
}

TEST(BuiltinFormats, ChineseLocaleCodesDisplayAsTheSurfaceShowsThem) {
  struct Case {
    int id;
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {0, 1234.5, "1234.5"},          {1, 1234.5, "1235"},
      {2, 1234.5, "1234.50"},         {3, 1234.5, "1,235"},
      {4, 1234.5, "1,234.50"},        {5, -1234.5, "¥-1,235"},
      {7, 1234.5, "¥1,234.50"},       {9, 0.125, "13%"},
      {10, 0.125, "12.50%"},          {11, 12345, "1.23E+04"},
      {12, 1.5, "1 1/2"},             {14, 46357, "2026/12/1"},
      {20, 46357.573032407, "13:45"}, {22, 46357.573032407, "2026/12/1 13:45"},
      {27, 46357, "2026年12月"},      {28, 46357, "12月1日"},
      {31, 46357, "2026年12月1日"},   {32, 46357.573032407, "13时45分"},
      {33, 46357.573032407, "13时45分10秒"},
      {34, 46357.573032407, "下午1时45分"},
      {41, -1234, " -1,234 "},        {43, 0, " -   "},
      {44, 1234.5, " ¥1,234.50 "},    {46, 1.25, "30:00:00"},
      {47, 0.0006, "00:51.8"},        {48, 12345, "12.3E+3"},
      {49, 12, "12"},                 {55, 0.375, "上午9时00分"},
      {57, 46357, "2026年12月"},      {58, 46357, "12月1日"},
  };
  for (const Case& c : cases) {
    const auto code = BuiltinFormatCode(c.id);
    ASSERT_TRUE(code.has_value()) << "id " << c.id;
    EXPECT_EQ(FormatNumber(c.value, *code), c.expected) << "id " << c.id << " code " << *code;
  }
}

// Codes map back to their first id (28 and 58 share one); unknown ids have no code.
TEST(BuiltinFormats, CodesMapBackToTheirFirstId) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"General", 0}, {"G/通用格式", 0}, {"0.00", 2}, {"yyyy/m/d", 14}, {"m\"月\"d\"日\"", 28},
      {"yyyy\"年\"m\"月\"d\"日\"", 31}, {"@", 49}, {"0.000", std::nullopt},
  };
  for (const auto& [code, id] : cases) EXPECT_EQ(BuiltinFormatId(code), id) << code;
  for (int id : {-1, 23, 59, 164}) EXPECT_FALSE(BuiltinFormatCode(id).has_value()) << id;
}

TEST(BuiltinFormats, OnlyGeneralHasALocalName) {
  const std::pair<const char*, const char*> local[] = {
      {"General", "G/通用格式"}, {"general", "G/通用格式"}, {"0.00", "0.00"}, {"\"General\"0", "\"General\"0"}};
  for (const auto& [code, name] : local) EXPECT_EQ(LocalFormatName(code), name) << code;
  for (const char* code : {"General", "yyyy\"年\"m\"月\"d\"日\""}) EXPECT_EQ(CodeFromLocalName(code), code);
  EXPECT_EQ(CodeFromLocalName("G/通用格式"), "General");
}

}  // namespace
}  // namespace vemo::wb
