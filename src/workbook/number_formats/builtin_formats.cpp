#include "workbook/number_formats/builtin_formats.h"

#include <array>
#include <cctype>
#include <utility>

namespace vemo::wb {
namespace {

using Entry = std::pair<int, std::string_view>;

// Listed in id order; the first entry of a code wins for the reverse lookup.
constexpr std::array kBuiltins{
    Entry{0, "General"},
    Entry{1, "0"},
    Entry{2, "0.00"},
    Entry{3, "#,##0"},
    Entry{4, "#,##0.00"},
    Entry{5, "\"¥\"#,##0;\"¥\"\\-#,##0"},
    Entry{6, "\"¥\"#,##0;[Red]\"¥\"\\-#,##0"},
    Entry{7, "\"¥\"#,##0.00;\"¥\"\\-#,##0.00"},
    Entry{8, "\"¥\"#,##0.00;[Red]\"¥\"\\-#,##0.00"},
    Entry{9, "0%"},
    Entry{10, "0.00%"},
    Entry{11, "0.00E+00"},
    Entry{12, "# ?/?"},
    Entry{13, "# ?\?/?\?"},
    Entry{14, "yyyy/m/d"},
    Entry{15, "d-mmm-yy"},
    Entry{16, "d-mmm"},
    Entry{17, "mmm-yy"},
    Entry{18, "h:mm AM/PM"},
    Entry{19, "h:mm:ss AM/PM"},
    Entry{20, "h:mm"},
    Entry{21, "h:mm:ss"},
    Entry{22, "yyyy/m/d h:mm"},
    Entry{27, "yyyy\"年\"m\"月\""},
    Entry{28, "m\"月\"d\"日\""},
    Entry{29, "m\"月\"d\"日\""},
    Entry{30, "m-d-yy"},
    Entry{31, "yyyy\"年\"m\"月\"d\"日\""},
    Entry{32, "h\"时\"mm\"分\""},
    Entry{33, "h\"时\"mm\"分\"ss\"秒\""},
    Entry{34, "上午/下午h\"时\"mm\"分\""},
    Entry{35, "上午/下午h\"时\"mm\"分\"ss\"秒\""},
    Entry{36, "yyyy\"年\"m\"月\""},
    Entry{37, "#,##0 ;(#,##0)"},
    Entry{38, "#,##0 ;[Red](#,##0)"},
    Entry{39, "#,##0.00;(#,##0.00)"},
    Entry{40, "#,##0.00;[Red](#,##0.00)"},
    Entry{41, "_ * #,##0_ ;_ * \\-#,##0_ ;_ * \"-\"_ ;_ @_ "},
    Entry{42, "_ \"¥\"* #,##0_ ;_ \"¥\"* \\-#,##0_ ;_ \"¥\"* \"-\"_ ;_ @_ "},
    Entry{43, "_ * #,##0.00_ ;_ * \\-#,##0.00_ ;_ * \"-\"??_ ;_ @_ "},
    Entry{44, "_ \"¥\"* #,##0.00_ ;_ \"¥\"* \\-#,##0.00_ ;_ \"¥\"* \"-\"??_ ;_ @_ "},
    Entry{45, "mm:ss"},
    Entry{46, "[h]:mm:ss"},
    Entry{47, "mm:ss.0"},
    Entry{48, "##0.0E+0"},
    Entry{49, "@"},
    Entry{50, "yyyy\"年\"m\"月\""},
    Entry{51, "m\"月\"d\"日\""},
    Entry{52, "yyyy\"年\"m\"月\""},
    Entry{53, "m\"月\"d\"日\""},
    Entry{54, "m\"月\"d\"日\""},
    Entry{55, "上午/下午h\"时\"mm\"分\""},
    Entry{56, "上午/下午h\"时\"mm\"分\"ss\"秒\""},
    Entry{57, "yyyy\"年\"m\"月\""},
    Entry{58, "m\"月\"d\"日\""},
};

constexpr std::string_view kLocalGeneral = "G/通用格式";

bool IsGeneralWord(std::string_view code) {
  constexpr std::string_view kGeneral = "general";
  if (code.size() != kGeneral.size()) return false;
  for (size_t i = 0; i < code.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(code[i])) != kGeneral[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string_view> BuiltinFormatCode(int numFmtId) {
  for (const Entry& e : kBuiltins) {
    if (e.first == numFmtId) return e.second;
  }
  return std::nullopt;
}

std::optional<int> BuiltinFormatId(std::string_view code) {
  if (IsGeneralWord(code) || code == kLocalGeneral) return 0;
  for (const Entry& e : kBuiltins) {
    if (e.second == code) return e.first;
  }
  return std::nullopt;
}

std::string LocalFormatName(std::string_view code) {
  return IsGeneralWord(code) ? std::string(kLocalGeneral) : std::string(code);
}

std::string CodeFromLocalName(std::string_view localName) {
  return localName == kLocalGeneral ? std::string("General") : std::string(localName);
}

}  // namespace vemo::wb
