// Renderers of one parsed section (internal to the number formatter). Each
// takes the magnitude to show (sign handled by the caller) and answers the
// displayed text without a minus sign.
#pragma once

#include <string>
#include <vector>

#include "workbook/number_formats/number_format_sections.h"

namespace vemo::wb::numfmt {

std::string RenderNumber(const Section& s, double magnitude);
std::string RenderScientific(const Section& s, double magnitude);
std::string RenderFraction(const Section& s, double magnitude);
// nullopt-free: answers "########" for dates the surface cannot show.
std::string RenderDateTime(const Section& s, double value, bool date1904);
std::string RenderText(const Section& s, std::string_view text);

// Digits for integer placeholders ('0', '#', '?'), right-aligned: one string
// per placeholder, extra digits going to the leftmost one. `digits` has no
// leading zeros (empty for zero).
std::vector<std::string> FillIntegerPlaceholders(const std::vector<char>& placeholders, const std::string& digits,
                                                 bool grouping);

// Chinese numerals for [DBNum1] (一二三, 十百千万亿) and [DBNum2] (壹贰叁, 拾佰仟万亿).
std::string ChineseIntegerReading(const std::string& digits, int dbnum);
std::string ChineseDigitByDigit(const std::string& digits, int dbnum);
// Rewrites the ASCII digit runs of a rendered number: integer parts read as
// numbers, digits after a decimal point one by one.
std::string ApplyChineseNumerals(const std::string& rendered, int dbnum);

}  // namespace vemo::wb::numfmt
