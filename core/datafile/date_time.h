// Dates and times written as field text, and their numeric forms: the packed date
// (year * 65536 + month * 256 + day), the day number (1 for 1.1.1801) and the seconds of the day.
// Valid dates lie in the years 1801..2099. All functions are pure except Today.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrix {

inline constexpr std::int16_t kDateMalformed = -1;  // day of a text that is not a date
inline constexpr std::int16_t kNoYearWritten = -2;  // year of a text that gives day and month only

struct DateParts {
  std::int16_t day = 0;  // kDateMalformed when the text is malformed (month and year are then 0)
  std::int16_t month = 0;
  std::int16_t year = 0;  // kNoYearWritten when the text has no year
};

// Reads "d.m.yyyy", "d.m" or a block of 3 to 8 digits (ddmm, ddmmyy, ddmmyyyy, a leading zero
// supplied for odd lengths); blanks anywhere are ignored. Parts are taken as written, so two-digit
// years are kept (and fail IsValidDate).
DateParts SplitDate(std::string_view text);

// Years 1801..2099, months 1..12, days 1..length of the month; February has 29 days in years
// divisible by 4 except 1900.
bool IsValidDate(int day, int month, int year);

// year * 65536 + month * 256 + day, computed without overflow and wrapped to 32 bits.
std::int32_t PackDate(int day, int month, int year);

struct UnpackedDate {
  int day = 0;  // 0 when the date is invalid
  int month = 0;
  int year = 0;
  bool valid = false;
};

// Day from the low 5 bits, month from bits 8..11, year from the upper 16 bits.
UnpackedDate UnpackDate(std::int32_t packed);

struct PackedDateText {
  int day = 0;  // 0 when the text is not a valid date
  int month = 0;
  int year = 0;
  std::int32_t packed = 0;  // 0 when the text is not a valid date
};

PackedDateText DateTextToPacked(std::string_view text);

// Packed date of the current local day.
std::int32_t Today();

struct DayNumberResult {
  std::int32_t dayNumber = 0;  // 1 for 1.1.1801
  int weekday = 0;             // 0 Sunday .. 6 Saturday
};

// Meant for valid dates; any arguments are computed in 64 bits without overflow, and the weekday is
// always 0..6.
DayNumberResult DayNumber(int day, int month, int year);

// "yyyymmdd" to "ddmmyyyy"; a text of any other length gives "".
std::string ReorderYearFirst(std::string_view text);

struct TimeValues {
  int hours = -1;  // -1 when the text is not a valid time (every other member is then 0)
  int minutes = 0;
  int seconds = 0;
  int minutesOfDay = 0;
  std::int32_t secondsOfDay = 0;
};

// Hours, minutes and optional seconds written like a date ("h.m.s", "h.m", or a digit block);
// 0..24 hours, 0..59 minutes and seconds, 24 only as 24:00:00.
TimeValues TimeTextToValues(std::string_view text);

struct DateDistance {
  double days = 0;    // difference of the day numbers
  double weeks = 0;   // days / 7
  double months = 0;  // whole months beyond the whole years, 0..11
  double years = 0;   // whole years
};

// Distance from the first to the second date; every member is negative (or zero) when the second
// date is the earlier one.
DateDistance DateDifference(int day1, int month1, int year1, int day2, int month2, int year2);

}  // namespace veltrix
