#include "core/datafile/date_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <string>

namespace veltrix {
namespace {

using namespace std::chrono;

struct SplitCase {
  std::string text;
  int day, month, year;
  const char* source;
};

TEST(DateTimeTest, SplitDateReadsDottedAndBlockForms) {
  const SplitCase cases[] = {
      {"010285", 1, 2, 85, "documented example: two-digit year taken as written"},
      {"01021985", 1, 2, 1985, "documented example"},
      {"7.5", 7, 5, kNoYearWritten, "documented example: day and month only"},
      {"1.2.1985", 1, 2, 1985, "one-digit month padded to two"},
      {"31.12.99", 31, 12, 99, "year of 2 characters in the dotted form"},
      {"1.2.3", 1, 2, 3, "year of 1 character"},
      {" 1 . 2 . 19 85 ", 1, 2, 1985, "blanks anywhere are ignored"},
      {"102", 1, 2, kNoYearWritten, "odd block: leading 0 gives 0102, four characters have no year"},
      {"1021985", 1, 2, 1985, "odd block: leading 0 gives 01021985"},
      {"3112", 31, 12, kNoYearWritten, "block of 4: day and month"},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.text + " (" + c.source + ")");
    const DateParts parts = SplitDate(c.text);
    EXPECT_EQ(parts.day, c.day);
    EXPECT_EQ(parts.month, c.month);
    EXPECT_EQ(parts.year, c.year);
  }
}

TEST(DateTimeTest, SplitDateRejectsMalformedText) {
  const std::string cases[] = {
      "",
      "   ",
      "12",           // block shorter than 3
      "123456789",    // block longer than 8
      "99999999999",  // block longer than 8
      "1.2.3.4",      // year "3.4" is not a whole number
      "123.1.2000",   // day of 3 characters
      ".1.2000",      // empty day
      "1..2000",      // empty month
      "1.123.2000",   // month of 3 characters
      "1.12.12345",   // year of 5 characters
      "1.12.",        // empty year
      "1.",           // empty month
      "1.234",        // month of 3 characters
      "ab.cd.efgh",   // letters
      "1a0285",       // letter in a digit block
      "+1.2.2000",    // sign is not a digit
      "-1.2.2000",    // sign is not a digit
      "1,2,2000",     // comma is no separator
      "12:30",        // colon is no separator
      std::string("01\0"
                  "285",
                  6),  // NUL byte inside a block
      std::string("1.2\0"
                  ".2000",
                  9),                  // NUL byte inside the month
      std::string(255, '\xFF'),        // a full string of garbage bytes
      "1.1." + std::string(300, '9'),  // overlong year
      std::string(300, '9'),           // overlong digit block
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(testing::PrintToString(text));
    const DateParts parts = SplitDate(text);
    EXPECT_EQ(parts.day, kDateMalformed);
    EXPECT_EQ(parts.month, 0);
    EXPECT_EQ(parts.year, 0);
    const PackedDateText packed = DateTextToPacked(text);
    EXPECT_EQ(packed.day, 0);
    EXPECT_EQ(packed.packed, 0);
  }
}

TEST(DateTimeTest, ValidDateRules) {
  struct Case {
    int day, month, year;
    bool valid;
    const char* source;
  };
  const Case cases[] = {
      {29, 2, 1900, false, "documented example: 1900 is no leap year"},
      {29, 2, 2000, true, "documented example"},
      {29, 2, 1804, true, "divisible by 4"},
      {29, 2, 1801, false, "not divisible by 4"},
      {29, 2, 2096, true, "last leap year in range"},
      {28, 2, 1900, true, "last day of February 1900"},
      {30, 4, 2000, true, "April has 30 days"},
      {31, 4, 2000, false, "April has 30 days"},
      {1, 1, 1801, true, "first day of the range"},
      {31, 12, 1800, false, "before the range"},
      {31, 12, 2099, true, "last day of the range"},
      {1, 1, 2100, false, "after the range"},
      {0, 1, 2000, false, "day 0"},
      {1, 0, 2000, false, "month 0"},
      {1, 13, 2000, false, "month 13"},
      {1, 2, 85, false, "two-digit year"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.day) + "." + std::to_string(c.month) + "." + std::to_string(c.year) + " (" +
                 c.source + ")");
    EXPECT_EQ(IsValidDate(c.day, c.month, c.year), c.valid);
  }
  EXPECT_EQ(DateTextToPacked("010285").packed, 0);    // documented example: year 85 out of range
  EXPECT_NE(DateTextToPacked("01021985").packed, 0);  // documented example
  EXPECT_EQ(DateTextToPacked("7.5").packed, 0);       // documented example: no year
}

TEST(DateTimeTest, DayNumberAnchors) {
  struct Case {
    int day, month, year;
    int dayNumber, weekday;
    const char* source;
  };
  // Day numbers other than the documented ones: Python datetime, (date(y, m, d) - date(1801, 1, 1)).days + 1,
  // weekday date.isoweekday() % 7.
  const Case cases[] = {
      {1, 1, 1801, 1, 4, "documented example (a Thursday)"},
      {1, 3, 1801, 60, 0, "documented example (a Sunday)"},
      {28, 2, 1801, 59, 6, "Python datetime"},
      {28, 2, 1900, 36218, 3, "Python datetime"},
      {1, 3, 1900, 36219, 4, "Python datetime: no 29 February 1900"},
      {1, 1, 1901, 36525, 2, "Python datetime"},
      {29, 2, 2000, 72743, 2, "Python datetime"},
      {1, 1, 1970, 61727, 4, "Python datetime (a Thursday)"},
      {31, 12, 2099, 109208, 4, "Python datetime"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.day) + "." + std::to_string(c.month) + "." + std::to_string(c.year) + " (" +
                 c.source + ")");
    const DayNumberResult result = DayNumber(c.day, c.month, c.year);
    EXPECT_EQ(result.dayNumber, c.dayNumber);
    EXPECT_EQ(result.weekday, c.weekday);
  }
}

// Outside the valid range the day-number formula still runs; it treats 1800 as a leap year (only
// 1900 is corrected), so it is one day off the Gregorian calendar there. Values by hand from the formula.
TEST(DateTimeTest, DayNumberOutsideTheRange) {
  // 31.12.1800: E = int(0.4 * 12 + 2.3) = 7, F = 0, K = 0; H = 31 + 657000 + 372 - 657001 - 7 = 395.
  EXPECT_EQ(DayNumber(31, 12, 1800).dayNumber, 0);
  EXPECT_EQ(DayNumber(31, 12, 1800).weekday, 3);
  // 1.1.1800: K = -1 and -1 div 4 rounded toward minus infinity is -1; H = 1 + 657000 + 31 - 657001 - 1 = 30.
  EXPECT_EQ(DayNumber(1, 1, 1800).dayNumber, -365);
  EXPECT_EQ(DayNumber(1, 1, 1800).weekday, 2);
  // 1.1.1798: K = -3 rounds to -1 (truncation would give 0); H = 1 + 656270 + 31 - 657001 - 1 = -700.
  EXPECT_EQ(DayNumber(1, 1, 1798).dayNumber, -1095);
  EXPECT_EQ(DayNumber(1, 1, 1798).weekday, 0);
  // Extreme arguments compute without overflow and still give a weekday 0..6.
  for (const int v : {INT_MIN, -1, 0, INT_MAX}) {
    const DayNumberResult r = DayNumber(v, v, v);
    EXPECT_GE(r.weekday, 0);
    EXPECT_LE(r.weekday, 6);
  }
}

// Every day of the valid range against the proleptic Gregorian calendar of <chrono>: day numbers are
// consecutive, weekdays agree, validity and packing agree.
TEST(DateTimeTest, DayNumberMatchesCivilCalendarOverTheWholeRange) {
  const sys_days first = sys_days{year{1801} / January / 1};
  const sys_days last = sys_days{year{2099} / December / 31};
  std::int32_t previousPacked = 0;
  int failures = 0;
  for (sys_days d = first; d <= last && failures < 5; d += days{1}) {
    const year_month_day ymd{d};
    const int dd = static_cast<int>(static_cast<unsigned>(ymd.day()));
    const int mm = static_cast<int>(static_cast<unsigned>(ymd.month()));
    const int yy = static_cast<int>(ymd.year());
    const DayNumberResult result = DayNumber(dd, mm, yy);
    const std::int32_t packed = PackDate(dd, mm, yy);
    const UnpackedDate back = UnpackDate(packed);
    const bool ok = result.dayNumber == (d - first).count() + 1 &&
                    result.weekday == static_cast<int>(weekday{d}.c_encoding()) && IsValidDate(dd, mm, yy) &&
                    back.valid && back.day == dd && back.month == mm && back.year == yy &&
                    packed > previousPacked;
    if (!ok) {
      ++failures;
      ADD_FAILURE() << dd << "." << mm << "." << yy << ": day number " << result.dayNumber << ", weekday "
                    << result.weekday << ", packed " << packed;
    }
    previousPacked = packed;
  }
  EXPECT_EQ(failures, 0);
}

TEST(DateTimeTest, MonthLengthsMatchCivilCalendar) {
  for (int y = 1801; y <= 2099; ++y) {
    for (unsigned m = 1; m <= 12; ++m) {
      const int lastDay =
          static_cast<int>(static_cast<unsigned>(year_month_day_last{year{y} / month{m} / last}.day()));
      ASSERT_TRUE(IsValidDate(lastDay, static_cast<int>(m), y)) << lastDay << "." << m << "." << y;
      ASSERT_FALSE(IsValidDate(lastDay + 1, static_cast<int>(m), y)) << lastDay + 1 << "." << m << "." << y;
    }
  }
}

TEST(DateTimeTest, PackAndUnpack) {
  // Documented example; by hand 2099 * 65536 + 12 * 256 + 31 = 137560064 + 3072 + 31.
  EXPECT_EQ(PackDate(31, 12, 2099), 137563167);
  const UnpackedDate unpacked = UnpackDate(137563167);
  EXPECT_TRUE(unpacked.valid);
  EXPECT_EQ(unpacked.day, 31);
  EXPECT_EQ(unpacked.month, 12);
  EXPECT_EQ(unpacked.year, 2099);

  // 29.2.1900 packs but does not unpack as a date: day 0, month and year as stored.
  const UnpackedDate invalid = UnpackDate(PackDate(29, 2, 1900));
  EXPECT_FALSE(invalid.valid);
  EXPECT_EQ(invalid.day, 0);
  EXPECT_EQ(invalid.month, 2);
  EXPECT_EQ(invalid.year, 1900);
  EXPECT_FALSE(UnpackDate(0).valid);
  EXPECT_FALSE(UnpackDate(-1).valid);  // year -1 in the upper 16 bits

  const PackedDateText text = DateTextToPacked("31.12.2099");
  EXPECT_EQ(text.packed, 137563167);
  EXPECT_EQ(text.day, 31);
  const PackedDateText leap = DateTextToPacked("29.2.1900");
  EXPECT_EQ(leap.packed, 0);
  EXPECT_EQ(leap.day, 0);
  EXPECT_EQ(leap.month, 2);
  EXPECT_EQ(leap.year, 1900);
}

TEST(DateTimeTest, TodayIsTheLocalDateWithinOneDayOfUtc) {
  const UnpackedDate today = UnpackDate(Today());
  ASSERT_TRUE(today.valid);
  const sys_days utc = floor<days>(system_clock::now());
  const int difference = DayNumber(today.day, today.month, today.year).dayNumber -
                         static_cast<int>((utc - sys_days{year{1801} / January / 1}).count() + 1);
  // Time zones lie within 14 hours of UTC, so the local date is the UTC date or a neighbour.
  EXPECT_LE(std::abs(difference), 1);
}

TEST(DateTimeTest, ReorderYearFirst) {
  EXPECT_EQ(ReorderYearFirst("20240315"), "15032024");
  EXPECT_EQ(ReorderYearFirst("2024031"), "");
  EXPECT_EQ(ReorderYearFirst("202403150"), "");
  EXPECT_EQ(ReorderYearFirst(""), "");
}

TEST(DateTimeTest, TimeTextToValues) {
  struct Case {
    std::string text;
    int hours, minutes, seconds, minutesOfDay, secondsOfDay;
    const char* source;
  };
  const Case cases[] = {
      {"24.00", 24, 0, 0, 1440, 86400, "documented example"},
      {"24.01", -1, 0, 0, 0, 0, "documented example: 24 only as 24:00:00"},
      {"24.00.01", -1, 0, 0, 0, 0, "24 only as 24:00:00"},
      {"0.0", 0, 0, 0, 0, 0, "midnight"},
      {"12.30", 12, 30, 0, 750, 45000, "hand: 12 * 60 + 30; absent seconds count 0"},
      {"12.30.45", 12, 30, 45, 750, 45045, "hand: 750 * 60 + 45"},
      {"123045", 12, 30, 45, 750, 45045, "digit block"},
      {"930", 9, 30, 0, 570, 34200, "odd block gets a leading 0"},
      {"23.59.59", 23, 59, 59, 1439, 86399, "last second before 24:00"},
      {"12.60", -1, 0, 0, 0, 0, "minutes over 59"},
      {"12.30.60", -1, 0, 0, 0, 0, "seconds over 59"},
      {"25.00", -1, 0, 0, 0, 0, "hours over 24"},
      {"1230450", -1, 0, 0, 0, 0, "block 01230450 gives 450 seconds"},
      {"", -1, 0, 0, 0, 0, "malformed"},
      {"12:30", -1, 0, 0, 0, 0, "colon is no separator"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " (" + c.source + ")");
    const TimeValues t = TimeTextToValues(c.text);
    EXPECT_EQ(t.hours, c.hours);
    EXPECT_EQ(t.minutes, c.minutes);
    EXPECT_EQ(t.seconds, c.seconds);
    EXPECT_EQ(t.minutesOfDay, c.minutesOfDay);
    EXPECT_EQ(t.secondsOfDay, c.secondsOfDay);
  }
}

TEST(DateTimeTest, DateDifference) {
  struct Case {
    int d1, m1, y1, d2, m2, y2;
    double days, months, years;
    const char* source;
  };
  // Day counts: Python datetime, date(y2, m2, d2) - date(y1, m1, d1); months and years by hand.
  const Case cases[] = {
      {1, 1, 2000, 1, 1, 2001, 366, 0, 1, "leap year 2000"},
      {15, 3, 2000, 10, 3, 2001, 360, 11, 0, "five days short of a year"},
      {15, 12, 2000, 20, 1, 2001, 36, 1, 0, "month difference -11 plus 12"},
      {31, 1, 2001, 28, 2, 2001, 28, 0, 0, "later day before the start day"},
      {1, 1, 1801, 31, 12, 2099, 109207, 11, 298, "whole range"},
      {10, 3, 2001, 15, 3, 2000, -360, -11, 0, "second date earlier: every result negated"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    const DateDistance d = DateDifference(c.d1, c.m1, c.y1, c.d2, c.m2, c.y2);
    EXPECT_EQ(d.days, c.days);
    EXPECT_DOUBLE_EQ(d.weeks, c.days / 7.0);
    EXPECT_EQ(d.months, c.months);
    EXPECT_EQ(d.years, c.years);
    EXPECT_FALSE(std::signbit(d.years) && d.years == 0) << "a zero result must not show as -0";
  }
  const DateDistance same = DateDifference(5, 6, 1950, 5, 6, 1950);
  EXPECT_EQ(same.days, 0);
  EXPECT_EQ(same.months, 0);
  EXPECT_EQ(same.years, 0);
}

}  // namespace
}  // namespace veltrix
