// Chinese numerals for the [DBNum1] and [DBNum2] section codes.
//
// [DBNum1] reads an integer with lower-case numerals and units
// (1234 -> 一千二百三十四, 10 -> 十, 1005 -> 一千〇五); [DBNum2] uses the
// financial capitals (1234 -> 壹仟贰佰叁拾肆, 10 -> 壹拾). Years and digits
// after a decimal point are read digit by digit (2026 -> 二〇二六). Other
// DBNum codes leave the digits unchanged.
#include <string>

#include "workbook/number_formats/number_format_render.h"

namespace vemo::wb::numfmt {
namespace {

const char* const kLower[] = {"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
const char* const kUpper[] = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};
const char* const kLowerUnits[] = {"", "十", "百", "千"};
const char* const kUpperUnits[] = {"", "拾", "佰", "仟"};
const char* const kGroupUnits[] = {"", "万", "亿", "万亿"};

// Reads one group of up to four digits; zeros between digits read as one
// zero numeral, leading and trailing zeros are silent.
std::string ReadGroup(const std::string& group, int dbnum, bool first) {
  const auto& numerals = dbnum == 2 ? kUpper : kLower;
  const auto& units = dbnum == 2 ? kUpperUnits : kLowerUnits;
  std::string out;
  bool pendingZero = false;
  const int n = static_cast<int>(group.size());
  for (int i = 0; i < n; ++i) {
    const int digit = group[static_cast<size_t>(i)] - '0';
    const int unit = n - 1 - i;
    if (digit == 0) {
      pendingZero = !out.empty();
      continue;
    }
    if (pendingZero) out += numerals[0];
    pendingZero = false;
    // 10..19 read "十..." at the very start, as usually spoken (DBNum1 only).
    const bool bareTen = dbnum != 2 && digit == 1 && unit == 1 && first && out.empty();
    if (!bareTen) out += numerals[digit];
    out += units[unit];
  }
  return out;
}

}  // namespace

std::string ChineseIntegerReading(const std::string& digitsIn, int dbnum) {
  const char* zero = dbnum == 2 ? kUpper[0] : kLower[0];
  const size_t nz = digitsIn.find_first_not_of('0');
  if (nz == std::string::npos) return zero;
  const std::string digits = digitsIn.substr(nz);
  if (digits.size() > 16) return ChineseDigitByDigit(digits, dbnum);
  std::string out;
  bool skippedGroup = false;
  const size_t groups = (digits.size() + 3) / 4;
  const size_t firstLen = digits.size() - (groups - 1) * 4;
  for (size_t g = 0; g < groups; ++g) {
    const std::string group = g == 0 ? digits.substr(0, firstLen) : digits.substr(firstLen + (g - 1) * 4, 4);
    if (group.find_first_not_of('0') == std::string::npos) {
      skippedGroup = true;
      continue;
    }
    // A zero numeral bridges a gap: a group starting with 0 or an empty group.
    if (!out.empty() && (group[0] == '0' || skippedGroup)) out += zero;
    out += ReadGroup(group, dbnum, g == 0) + kGroupUnits[groups - 1 - g];
    skippedGroup = false;
  }
  return out;
}

std::string ChineseDigitByDigit(const std::string& digits, int dbnum) {
  std::string out;
  for (char c : digits) {
    if (c >= '0' && c <= '9') {
      out += (dbnum == 2 ? kUpper : kLower)[c - '0'];
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string ApplyChineseNumerals(const std::string& rendered, int dbnum) {
  if (dbnum != 1 && dbnum != 2) return rendered;
  std::string out;
  size_t i = 0;
  while (i < rendered.size()) {
    if (rendered[i] < '0' || rendered[i] > '9') {
      out.push_back(rendered[i++]);
      continue;
    }
    size_t j = i;
    while (j < rendered.size() && ((rendered[j] >= '0' && rendered[j] <= '9') || rendered[j] == ',')) ++j;
    std::string digits;
    for (size_t k = i; k < j; ++k) {
      if (rendered[k] != ',') digits.push_back(rendered[k]);
    }
    const bool afterPoint = i > 0 && rendered[i - 1] == '.';
    out += afterPoint ? ChineseDigitByDigit(digits, dbnum) : ChineseIntegerReading(digits, dbnum);
    i = j;
  }
  return out;
}

}  // namespace vemo::wb::numfmt
