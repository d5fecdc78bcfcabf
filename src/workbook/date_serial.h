// Date serial numbers of the spreadsheet surface.
//
// A cell holds a date as a day count with the time of day as its fraction.
// Two systems exist, chosen per workbook:
//   * 1900 system: serial 1 = 1900-01-01. It keeps the historical phantom day
//     1900-02-29 (serial 60), so serials 1..59 are one day "early" compared
//     with a true calendar; serial 0 is shown as 1900-01-00.
//   * 1904 system: serial 0 = 1904-01-01, no phantom day.
// "Host dates" are the automation interface's dates (days since 1899-12-30),
// equal to 1900-system serials from 1900-03-01 on.
#pragma once

#include <optional>

namespace vemo::wb {

struct DateTimeParts {
  int year = 0;
  int month = 0;   // 1..12
  int day = 0;     // 0..31 (0 only for 1900-01-00)
  int hour = 0;    // 0..23
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// Largest serial a date can have: 9999-12-31 in each system.
constexpr double kMaxSerial1900 = 2958465.0;
constexpr double kMaxSerial1904 = 2957003.0;

// Serial of a calendar date (midnight). Accepts 1900-02-29 in the 1900
// system; answers nullopt for an impossible date or one outside the
// system's range (before 1900-01-01 / 1904-01-01, after 9999-12-31).
std::optional<double> SerialFromDate(int year, int month, int day, bool date1904 = false);

// Fraction of a day for a time; nullopt unless 0<=minute,second<60, 0<=ms<1000
// and hour >= 0 (hours above 23 give a fraction above 1: elapsed time).
std::optional<double> TimeFraction(int hour, int minute, int second, int millisecond = 0);

// Calendar parts of a serial, rounded to the nearest millisecond. nullopt for
// negative serials and serials past 9999-12-31 (the surface shows "####").
std::optional<DateTimeParts> DateFromSerial(double serial, bool date1904 = false);

// Day of the week of a serial, 0 = Sunday. In the 1900 system serial 1
// (1900-01-01) is a Sunday, as the surface counts it (the phantom leap day
// shifts the true weekday of the first 59 days).
int WeekdayFromSerial(double serial, bool date1904 = false);

// Automation-interface ("host") date <-> serial. In the 1900 system serials
// below 61 are shifted by one day; the phantom 1900-02-29 (60.x) maps onto
// host date 60.x (1900-02-28). Host dates before 1899-12-31 (host < 1) have
// no serial: nullopt.
double HostDateFromSerial(double serial, bool date1904 = false);
std::optional<double> SerialFromHostDate(double hostDate, bool date1904 = false);

}  // namespace vemo::wb
