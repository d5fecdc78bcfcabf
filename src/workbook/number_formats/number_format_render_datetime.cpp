// Date and time sections.
//
// The value is rounded to the smallest unit the section shows: whole seconds,
// or tenths/hundredths/thousandths with ss.0/ss.00/ss.000. Minutes and hours
// are then cut, not rounded (10:29:59.6 shows 10:30 with h:mm:ss but the
// rounded second carries into the minute for h:mm too, as the surface does).
// Month and weekday names are English (mmm, mmmm, ddd, dddd) as the surface
// shows them without a locale code; aaa/aaaa give the Chinese weekday
// ("一" / "星期一").
#include <cmath>
#include <cstdio>
#include <string>

#include "workbook/date_serial.h"
#include "workbook/number_formats/number_format_decimal.h"
#include "workbook/number_formats/number_format_render.h"

namespace vemo::wb::numfmt {
namespace {

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kCnWeekdays[] = {"日", "一", "二", "三", "四", "五", "六"};

std::string Padded(long long v, int width) {
  std::string s = std::to_string(v);
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), '0');
  return s;
}

}  // namespace

std::string RenderDateTime(const Section& s, double value, bool date1904) {
  const std::string kNotShown = "########";
  if (!std::isfinite(value) || value < 0) return kNotShown;
  long long unitsPerSecond = 1;
  for (int i = 0; i < s.subSecondDigits; ++i) unitsPerSecond *= 10;
  const long long unitsPerDay = 86400 * unitsPerSecond;
  double dayPart = std::floor(value);
  long long units = std::llround((value - dayPart) * static_cast<double>(unitsPerDay));
  if (units >= unitsPerDay) {
    dayPart += 1;
    units -= unitsPerDay;
  }
  const auto date = DateFromSerial(dayPart, date1904);
  if (!date) return kNotShown;
  const long long days = static_cast<long long>(dayPart);
  const long long secondOfDay = units / unitsPerSecond;
  const long long subSecond = units % unitsPerSecond;
  const int hour = static_cast<int>(secondOfDay / 3600);
  const int minute = static_cast<int>(secondOfDay / 60 % 60);
  const int second = static_cast<int>(secondOfDay % 60);
  const long long totalSeconds = days * 86400 + secondOfDay;
  const int weekday = WeekdayFromSerial(dayPart, date1904);
  const bool chinese = s.dbnum == 1 || s.dbnum == 2;
  auto number = [&](long long v, int width) {
    const std::string digits = Padded(v, width);
    return chinese ? ChineseIntegerReading(std::to_string(v), s.dbnum) : digits;
  };

  std::string out;
  for (const Token& t : s.tokens) {
    switch (t.kind) {
      case TokenKind::Literal: out += t.text; break;
      case TokenKind::Year: {
        const std::string year = t.count <= 2 ? Padded(date->year % 100, 2) : Padded(date->year, 4);
        out += chinese ? ChineseDigitByDigit(year, s.dbnum) : year;
        break;
      }
      case TokenKind::Month:
        if (t.count <= 2) {
          out += number(date->month, t.count);
        } else {
          const std::string name = kMonthNames[date->month - 1];
          out += t.count == 3 ? name.substr(0, 3) : t.count == 5 ? name.substr(0, 1) : name;
        }
        break;
      case TokenKind::Day:
        if (t.count <= 2) {
          out += number(date->day, t.count);
        } else {
          const std::string name = kDayNames[weekday];
          out += t.count == 3 ? name.substr(0, 3) : name;
        }
        break;
      case TokenKind::WeekdayCn:
        out += std::string(t.count >= 4 ? "星期" : "") + kCnWeekdays[weekday];
        break;
      case TokenKind::Hour: {
        int h = hour;
        if (s.hasAmPm) h = h % 12 == 0 ? 12 : h % 12;
        out += number(h, t.count >= 2 ? 2 : 1);
        break;
      }
      case TokenKind::Minute: out += number(minute, t.count >= 2 ? 2 : 1); break;
      case TokenKind::Second: out += number(second, t.count >= 2 ? 2 : 1); break;
      case TokenKind::SubSecond: {
        long long shown = subSecond;
        for (int i = t.count; i < s.subSecondDigits; ++i) shown /= 10;
        out += "." + Padded(shown, t.count);
        break;
      }
      case TokenKind::ElapsedHours: out += number(totalSeconds / 3600, t.count); break;
      case TokenKind::ElapsedMinutes: out += number(totalSeconds / 60, t.count); break;
      case TokenKind::ElapsedSeconds: out += number(totalSeconds, t.count); break;
      case TokenKind::AmPm: out += hour < 12 ? t.text : t.alt; break;
      case TokenKind::General: out += FormatGeneralMagnitude(value); break;
      default: break;
    }
  }
  return out;
}

std::string RenderText(const Section& s, std::string_view text) {
  std::string out;
  for (const Token& t : s.tokens) {
    if (t.kind == TokenKind::Literal) out += t.text;
    if (t.kind == TokenKind::TextPlaceholder) out += text;
  }
  return out;
}

}  // namespace vemo::wb::numfmt
