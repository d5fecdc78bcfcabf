// Number sections: placeholders, separators, scaling, percent, scientific,
// fractions, literals. Cross-checked with
// tests/workbook/data/number_format_crosscheck.py.
#include "number_format_test_table.h"

#include <tuple>

namespace vemo::wb::test {
namespace {

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
  EXPECT_EQ(f.Format(-0.004), "-0.00");
}

}  // namespace
}  // namespace vemo::wb::test
