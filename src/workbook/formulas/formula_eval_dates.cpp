// Date serial numbers <-> calendar dates.
#include <cmath>

#include "workbook/formulas/formula_eval_internal.h"

namespace vemo::wb::eval {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (any month/day overflow
// is not handled here; callers normalise first).
long DaysFromCivil(long y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

YearMonthDay CivilFromDays(long z) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

const long kEpoch1900 = DaysFromCivil(1899, 12, 30);  // serial 0 for dates from 1900-03-01 on
const long kEpoch1904 = DaysFromCivil(1904, 1, 1);
constexpr double kLastSerial1900 = 2958465;  // 9999-12-31

}  // namespace

std::optional<double> DateSerial(int year, int month, int day, bool date1904) {
  if (year >= 0 && year < 1900) year += 1900;
  if (year < 0 || year > 9999) return std::nullopt;
  // Fold month overflow into the year: DATE(2024, 14, 1) is 2025-02-01.
  long months = static_cast<long>(year) * 12 + (month - 1);
  long y = months >= 0 ? months / 12 : (months - 11) / 12;
  int m = static_cast<int>(months - y * 12) + 1;
  long firstOfMonth = DaysFromCivil(y, m, 1);
  double serial;
  if (date1904) {
    serial = static_cast<double>(firstOfMonth - kEpoch1904) + day - 1;
  } else {
    long first = firstOfMonth - kEpoch1900;
    // Before March 1900 the 1900 system is one day behind the calendar
    // because it counts a 29 February 1900 that never was.
    if (y < 1900 || (y == 1900 && m <= 2)) first -= 1;
    serial = static_cast<double>(first) + day - 1;
  }
  const double last = date1904 ? kLastSerial1900 - 1462 : kLastSerial1900;
  if (serial < 0 || serial > last) return std::nullopt;
  return serial;
}

std::optional<YearMonthDay> SerialToDate(double serial, bool date1904) {
  if (!std::isfinite(serial) || serial < 0) return std::nullopt;
  long s = static_cast<long>(std::floor(serial));
  if (date1904) {
    if (s > static_cast<long>(kLastSerial1900 - 1462)) return std::nullopt;
    return CivilFromDays(kEpoch1904 + s);
  }
  if (s > static_cast<long>(kLastSerial1900)) return std::nullopt;
  if (s == 0) return YearMonthDay{1900, 1, 0};
  if (s == 60) return YearMonthDay{1900, 2, 29};
  if (s < 60) return CivilFromDays(kEpoch1900 + s + 1);
  return CivilFromDays(kEpoch1900 + s);
}

}  // namespace vemo::wb::eval
