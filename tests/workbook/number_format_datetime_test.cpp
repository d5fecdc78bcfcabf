// Date and time sections. 46357 is 2026-12-01, a Tuesday. Cross-checked with
// tests/workbook/data/number_format_crosscheck.py except where the surface
// differs from that application on purpose: the phantom 1900-02-29 and
// 1900-01-00, seconds rounded (not cut), "A/P" in capitals.
#include "number_format_test_table.h"

namespace vemo::wb::test {
namespace {

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

}  // namespace
}  // namespace vemo::wb::test
