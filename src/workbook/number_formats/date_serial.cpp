#include "workbook/date_serial.h"

#include <cmath>

namespace vemo::wb {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (era-based civil
// calendar arithmetic).
long long DaysFromCivil(long long y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

const long long kHostEpoch = DaysFromCivil(1899, 12, 30);
const long long kEpoch1904 = DaysFromCivil(1904, 1, 1);

}  // namespace

std::optional<double> SerialFromDate(int year, int month, int day, bool date1904) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return std::nullopt;
  const bool phantom = !date1904 && year == 1900 && month == 2 && day == 29;
  if (!phantom && day > DaysInMonth(year, month)) return std::nullopt;
  if (date1904) {
    if (year < 1904) return std::nullopt;
    return static_cast<double>(DaysFromCivil(year, month, day) - kEpoch1904);
  }
  if (year < 1900) return std::nullopt;
  if (phantom) return 60.0;
  long long serial = DaysFromCivil(year, month, day) - kHostEpoch;
  if (serial < 61) serial -= 1;  // before the phantom day
  return static_cast<double>(serial);
}

std::optional<double> TimeFraction(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999)
    return std::nullopt;
  const double ms = ((static_cast<double>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
  return ms / 86400000.0;
}

std::optional<DateTimeParts> DateFromSerial(double serial, bool date1904) {
  if (!std::isfinite(serial) || serial < 0) return std::nullopt;
  double whole = std::floor(serial);
  long long ms = std::llround((serial - whole) * 86400000.0);
  if (ms >= 86400000) {
    whole += 1;
    ms -= 86400000;
  }
  if (whole > (date1904 ? kMaxSerial1904 : kMaxSerial1900)) return std::nullopt;
  DateTimeParts p;
  const long long days = static_cast<long long>(whole);
  if (date1904) {
    CivilFromDays(kEpoch1904 + days, p.year, p.month, p.day);
  } else if (days == 0) {
    p.year = 1900, p.month = 1, p.day = 0;
  } else if (days == 60) {
    p.year = 1900, p.month = 2, p.day = 29;
  } else {
    CivilFromDays(kHostEpoch + days + (days < 60 ? 1 : 0), p.year, p.month, p.day);
  }
  p.millisecond = static_cast<int>(ms % 1000);
  const long long secs = ms / 1000;
  p.second = static_cast<int>(secs % 60);
  p.minute = static_cast<int>(secs / 60 % 60);
  p.hour = static_cast<int>(secs / 3600);
  return p;
}

int WeekdayFromSerial(double serial, bool date1904) {
  const long long days = static_cast<long long>(std::floor(serial));
  // 1900 system: serial 0 counts as Saturday, 1 as Sunday; 1904-01-01 was a Friday.
  const long long shifted = date1904 ? days + 5 : days + 6;
  return static_cast<int>(((shifted % 7) + 7) % 7);
}

double HostDateFromSerial(double serial, bool date1904) {
  if (date1904) return serial + 1462.0;
  if (serial < 60.0) return serial + 1.0;
  if (serial < 61.0) return serial;  // the phantom 1900-02-29 folds onto 1900-02-28
  return serial;
}

std::optional<double> SerialFromHostDate(double hostDate, bool date1904) {
  if (!std::isfinite(hostDate)) return std::nullopt;
  if (date1904) {
    const double serial = hostDate - 1462.0;
    if (serial < 0) return std::nullopt;
    return serial;
  }
  if (hostDate < 1.0) return std::nullopt;
  if (hostDate < 61.0) return hostDate - 1.0;
  return hostDate;
}

}  // namespace vemo::wb
