#include "workbook/date_serial.h"

#include <gtest/gtest.h>

namespace vemo::wb {
namespace {

struct DateCase {
  int year, month, day;
  double serial1900;
};

// Serials as the surface numbers them, including the phantom 1900-02-29.
const DateCase kDates[] = {
    {1900, 1, 1, 1},      {1900, 1, 31, 31},      {1900, 2, 28, 59},     {1900, 2, 29, 60},
    {1900, 3, 1, 61},     {1904, 1, 1, 1462},     {1999, 12, 31, 36525}, {2000, 2, 29, 36585},
    {2026, 12, 1, 46357}, {2026, 12, 5, 46361},   {9999, 12, 31, 2958465},
};

TEST(DateSerial, CalendarDatesRoundTripIn1900System) {
  for (const auto& c : kDates) {
    SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day);
    const auto serial = SerialFromDate(c.year, c.month, c.day);
    ASSERT_TRUE(serial.has_value());
    EXPECT_EQ(*serial, c.serial1900);
    const auto parts = DateFromSerial(c.serial1900);
    ASSERT_TRUE(parts.has_value());
    EXPECT_EQ(parts->year, c.year);
    EXPECT_EQ(parts->month, c.month);
    EXPECT_EQ(parts->day, c.day);
  }
}

TEST(DateSerial, SerialZeroIsJanuaryZero1900) {
  const auto parts = DateFromSerial(0);
  ASSERT_TRUE(parts.has_value());
  EXPECT_EQ(parts->year, 1900);
  EXPECT_EQ(parts->month, 1);
  EXPECT_EQ(parts->day, 0);
}

TEST(DateSerial, System1904CountsFromItsOwnEpochWithoutPhantomDay) {
  EXPECT_EQ(SerialFromDate(1904, 1, 1, true), 0.0);
  EXPECT_EQ(SerialFromDate(2026, 12, 1, true), 46357.0 - 1462.0);
  EXPECT_FALSE(SerialFromDate(1903, 12, 31, true).has_value());
  EXPECT_FALSE(SerialFromDate(1900, 2, 29, true).has_value());
  const auto parts = DateFromSerial(46357.0 - 1462.0, true);
  ASSERT_TRUE(parts.has_value());
  EXPECT_EQ(parts->year, 2026);
  EXPECT_EQ(parts->month, 12);
  EXPECT_EQ(parts->day, 1);
}

TEST(DateSerial, ImpossibleAndOutOfRangeDatesAreRejected) {
  EXPECT_FALSE(SerialFromDate(2026, 2, 29).has_value());
  EXPECT_FALSE(SerialFromDate(2026, 2, 30).has_value());
  EXPECT_FALSE(SerialFromDate(2026, 13, 1).has_value());
  EXPECT_FALSE(SerialFromDate(2026, 4, 31).has_value());
  EXPECT_FALSE(SerialFromDate(1899, 12, 31).has_value());
  EXPECT_FALSE(SerialFromDate(10000, 1, 1).has_value());
  EXPECT_TRUE(SerialFromDate(2024, 2, 29).has_value());
  EXPECT_FALSE(SerialFromDate(2100, 2, 29).has_value());
  EXPECT_FALSE(DateFromSerial(-1).has_value());
  EXPECT_FALSE(DateFromSerial(2958466).has_value());
}

TEST(DateSerial, TimeOfDayRoundsToMilliseconds) {
  const double serial = 46357 + *TimeFraction(13, 45, 10, 250);
  const auto parts = DateFromSerial(serial);
  ASSERT_TRUE(parts.has_value());
  EXPECT_EQ(parts->hour, 13);
  EXPECT_EQ(parts->minute, 45);
  EXPECT_EQ(parts->second, 10);
  EXPECT_EQ(parts->millisecond, 250);
  // A hair before midnight rounds into the next day.
  const auto next = DateFromSerial(46357.9999999999);
  ASSERT_TRUE(next.has_value());
  EXPECT_EQ(next->day, 2);
  EXPECT_EQ(next->hour, 0);
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

TEST(DateSerial, HostDatesMatchFromMarch1900AndShiftBefore) {
  EXPECT_EQ(HostDateFromSerial(46357.25), 46357.25);
  EXPECT_EQ(HostDateFromSerial(61), 61);
  EXPECT_EQ(HostDateFromSerial(59), 60);  // 1900-02-28
  EXPECT_EQ(HostDateFromSerial(1), 2);    // 1900-01-01
  EXPECT_EQ(HostDateFromSerial(0, true), 1462);
  EXPECT_EQ(SerialFromHostDate(46357.5), 46357.5);
  EXPECT_EQ(SerialFromHostDate(2), 1);
  EXPECT_EQ(SerialFromHostDate(60), 59);
  EXPECT_FALSE(SerialFromHostDate(0.5).has_value());
  EXPECT_EQ(SerialFromHostDate(1462, true), 0);
  EXPECT_FALSE(SerialFromHostDate(1461, true).has_value());
}

}  // namespace
}  // namespace vemo::wb
