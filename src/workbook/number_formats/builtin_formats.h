// Built-in number formats: the codes that numFmtId values below 164 stand for
// when a workbook does not spell them out, as the Chinese (zh-CN) spreadsheet
// surface shows them.
//
// Table (ids not listed answer nullopt):
//   0 General  1 0  2 0.00  3 #,##0  4 #,##0.00
//   5..8  currency with "¥": "¥"#,##0;"¥"\-#,##0 and the [Red] / .00 variants
//   9 0%  10 0.00%  11 0.00E+00  12 # ?/?  13 # ??/??
//   14 yyyy/m/d  15 d-mmm-yy  16 d-mmm  17 mmm-yy  18 h:mm AM/PM
//   19 h:mm:ss AM/PM  20 h:mm  21 h:mm:ss  22 yyyy/m/d h:mm
//   27 yyyy"年"m"月"  28 m"月"d"日"  29 m"月"d"日"  30 m-d-yy
//   31 yyyy"年"m"月"d"日"  32 h"时"mm"分"  33 h"时"mm"分"ss"秒"
//   34 上午/下午h"时"mm"分"  35 上午/下午h"时"mm"分"ss"秒"  36 yyyy"年"m"月"
//   37..40 #,##0 ;(#,##0) family  41..44 accounting (zh-CN spacing, "¥")
//   45 mm:ss  46 [h]:mm:ss  47 mm:ss.0  48 ##0.0E+0  49 @
//   50 yyyy"年"m"月"  51 m"月"d"日"  52 yyyy"年"m"月"  53 m"月"d"日"
//   54 m"月"d"日"  55 上午/下午h"时"mm"分"  56 上午/下午h"时"mm"分"ss"秒"
//   57 yyyy"年"m"月"  58 m"月"d"日"
// Ids 14 and 22 follow the zh-CN short date (year first); 47 is the code
// the surface shows, "mm:ss.0".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vemo::wb {

std::optional<std::string_view> BuiltinFormatCode(int numFmtId);

// The built-in id whose code is exactly `code`, or nullopt (then a workbook
// writer gives the code its own id from 164 on).
std::optional<int> BuiltinFormatId(std::string_view code);

// The name the Chinese surface shows for a code: "General" <-> "G/通用格式"
// (case-insensitive on the way in); every other code passes unchanged.
std::string LocalFormatName(std::string_view code);
std::string CodeFromLocalName(std::string_view localName);

}  // namespace vemo::wb
