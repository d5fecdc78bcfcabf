#include "workbook/date_serial.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace vemo::wb {
namespace {

// A serial's parts as text, "none" when it has none.
std::string Shown(double serial, bool date1904 = false) {
  const auto p = DateFromSerial(serial, date1904);
  if (!p) return "none";
  char out[40];
  std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p->year, p->month, p->day, p->hour, p->minute,
                p->second, p->millisecond);
  return out;
}

// Serials as the surface numbers them, including the phantom 1900-02-29.
TEST(DateSerial, CalendarDatesRoundTrip) {
  const struct {
    int year, month, day;
    double serial;
    bool date1904 = false;
  } cases[] = {
      {1900, 1, 1, 1},        {1900, 1, 31, 31},     {1900, 2, 28, 59},     {1900, 2, 29, 60},
      {1900, 3, 1, 61},       {1904, 1, 1, 1462},    {1999, 12, 31, 36525}, {2000, 2, 29, 36585},
      {2026, 12, 1, 46357},   {2026, 12, 5, 46361},  {9999, 12, 31, 2958465},
      {1904, 1, 1, 0, true},  {2026, 12, 1, 46357 - 1462, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day << (c.date1904 ? " (1904)" : ""));
    EXPECT_EQ(SerialFromDate(c.year, c.month, c.day, c.date1904), c.serial);
    char want[40];
    std::snprintf(want, sizeof want, "%04d-%02d-%02d 00:00:00.000", c.year, c.month, c.day);
    EXPECT_EQ(Shown(c.serial, c.date1904), want);
  }
  EXPECT_EQ(Shown(0), "1900-01-00 00:00:00.000");
  // Times round to milliseconds; a hair before midnight is the next day.
  EXPECT_EQ(Shown(46357 + *TimeFraction(13, 45, 10, 250)), "2026-12-01 13:45:10.250");
  EXPECT_EQ(Shown(46357.9999999999), "2026-12-02 00:00:00.000");
}

TEST(DateSerial, ImpossibleAndOutOfRangeDatesAreRejected) {
  const struct {
    int year, month, day;
    bool date1904 = false;
  } cases[] = {{2026, 2, 29}, {2026, 2, 30}, {2026, 13, 1}, {2026, 4, 31},      {1899, 12, 31},
               {10000, 1, 1}, {2100, 2, 29}, {1903, 12, 31, true}, {1900, 2, 29, true}};
  for (const auto& c : cases)
    EXPECT_FALSE(SerialFromDate(c.year, c.month, c.day, c.date1904)) << c.year << "-" << c.month << "-" << c.day;
  EXPECT_TRUE(SerialFromDate(2024, 2, 29));
  EXPECT_EQ(Shown(-1), "none");
  EXPECT_EQ(Shown(2958466), "none");
}

TEST(DateSerial, TimeFractionValidatesFields) {
  EXPECT_DOUBLE_EQ(*TimeFraction(12, 0, 0), 0.5);
  EXPECT_DOUBLE_EQ(*TimeFraction(30, 0, 0), 1.25);
  EXPECT_FALSE(TimeFraction(1, 60, 0).has_value());
  EXPECT_FALSE(TimeFraction(1, 0, 60).has_value());
  EXPECT_FALSE(TimeFraction(-1, 0, 0).has_value());
}

TEST(DateSerial, WeekdaysFollowTheSurfaceCount) {
  EXPECT_EQ(WeekdayFromSerial(1), 0);      // 1900-01-01 counted as Sunday
  EXPECT_EQ(WeekdayFromSerial(46357), 2);  // 2026-12-01 Tuesday
  EXPECT_EQ(WeekdayFromSerial(46361), 6);  // 2026-12-05 Saturday
  EXPECT_EQ(WeekdayFromSerial(0, true), 5);  // 1904-01-01 Friday
}

// The host counts days from 1899-12-30: the same serials from March 1900 on,
// one more before (it has no 1900-02-29), 1462 more in the 1904 system.
TEST(DateSerial, HostDatesMatchFromMarch1900AndShiftBefore) {
  const struct {
    double serial, host;
    bool date1904 = false;
  } cases[] = {{46357.25, 46357.25}, {61, 61}, {59, 60}, {1, 2}, {0, 1462, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(HostDateFromSerial(c.serial, c.date1904), c.host) << c.serial;
    EXPECT_EQ(SerialFromHostDate(c.host, c.date1904), c.serial) << c.host;
  }
  EXPECT_FALSE(SerialFromHostDate(0.5).has_value());
  EXPECT_FALSE(SerialFromHostDate(1461, true).has_value());
}

}  // namespace
}  // namespace vemo::wb
