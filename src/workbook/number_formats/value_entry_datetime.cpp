// Dates and times typed as text: "2026-12-01", "2026/12/1", "2026年12月1日",
// each optionally with a time ("2026-12-01 13:45", "2026-12-01T13:45:10"),
// and times alone ("13:45", "13:45:10").
#include <string>

#include "workbook/date_serial.h"
#include "workbook/number_formats/value_entry_parsers.h"

namespace vemo::wb::entry {
namespace {

// Reads minDigits..maxDigits ASCII digits.
bool TakeNumber(std::string_view& s, size_t minDigits, size_t maxDigits, int& value) {
  size_t n = 0;
  value = 0;
  while (n < s.size() && n < maxDigits && s[n] >= '0' && s[n] <= '9') value = value * 10 + (s[n++] - '0');
  if (n < minDigits) return false;
  s.remove_prefix(n);
  return true;
}

bool TakeLiteral(std::string_view& s, std::string_view literal) {
  if (s.substr(0, literal.size()) != literal) return false;
  s.remove_prefix(literal.size());
  return true;
}

struct Time {
  double fraction = 0;
  bool seconds = false;
  int hours = 0;
};

// "H:MM", "H:MM:SS", "H:MM:SS.fff" filling the whole of s.
std::optional<Time> ParseTime(std::string_view s) {
  int h = 0, m = 0, sec = 0, ms = 0;
  Time t;
  if (!TakeNumber(s, 1, 4, h) || !TakeLiteral(s, ":") || !TakeNumber(s, 2, 2, m)) return std::nullopt;
  if (TakeLiteral(s, ":")) {
    if (!TakeNumber(s, 2, 2, sec)) return std::nullopt;
    t.seconds = true;
    if (TakeLiteral(s, ".")) {
      const size_t before = s.size();
      int frac = 0;
      if (!TakeNumber(s, 1, 3, frac)) return std::nullopt;
      const size_t digits = before - s.size();
      ms = frac * (digits == 1 ? 100 : digits == 2 ? 10 : 1);
    }
  }
  if (!s.empty()) return std::nullopt;
  const auto fraction = TimeFraction(h, m, sec, ms);
  if (!fraction) return std::nullopt;
  t.fraction = *fraction;
  t.hours = h;
  return t;
}

std::optional<Recognised> DateWithOptionalTime(std::string_view s, bool date1904) {
  int year = 0, month = 0, day = 0;
  std::string dateFormat;
  std::string_view rest = s;
  if (!TakeNumber(rest, 4, 4, year)) return std::nullopt;
  if (TakeLiteral(rest, "年")) {
    if (!TakeNumber(rest, 1, 2, month) || !TakeLiteral(rest, "月") || !TakeNumber(rest, 1, 2, day) ||
        !TakeLiteral(rest, "日"))
      return std::nullopt;
    dateFormat = "yyyy\"年\"m\"月\"d\"日\"";
  } else {
    if (rest.empty() || (rest.front() != '-' && rest.front() != '/')) return std::nullopt;
    const char sep = rest.front();
    rest.remove_prefix(1);
    if (!TakeNumber(rest, 1, 2, month) || !TakeLiteral(rest, std::string_view(&sep, 1)) ||
        !TakeNumber(rest, 1, 2, day))
      return std::nullopt;
    dateFormat = sep == '-' ? "yyyy-mm-dd" : "yyyy/m/d";
  }
  const auto serial = SerialFromDate(year, month, day, date1904);
  if (!serial) return std::nullopt;
  Recognised r;
  r.value = *serial;
  r.format = dateFormat;
  if (rest.empty()) return r;
  if (rest.front() == 'T' && dateFormat == "yyyy-mm-dd") {
    rest.remove_prefix(1);
  } else if (rest.front() == ' ') {
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  } else {
    return std::nullopt;
  }
  const auto time = ParseTime(rest);
  if (!time || time->hours > 23) return std::nullopt;
  r.value += time->fraction;
  r.format = dateFormat + (time->seconds ? " h:mm:ss" : " h:mm");
  return r;
}

}  // namespace

std::optional<Recognised> RecogniseDateTime(std::string_view s, bool date1904) {
  if (auto date = DateWithOptionalTime(s, date1904)) return date;
  const auto time = ParseTime(s);
  if (!time) return std::nullopt;
  Recognised r;
  r.value = time->fraction;
  r.format = time->hours > 23 ? "[h]:mm:ss" : time->seconds ? "h:mm:ss" : "h:mm";
  return r;
}

}  // namespace vemo::wb::entry
