#include "core/datafile/date_time.h"

#include <ctime>
#include <utility>

namespace veltrix {

namespace {

constexpr DateParts kMalformed{kDateMalformed, 0, 0};

// A part of a date text: one or more decimal digits and nothing else.
bool isWholeNumber(std::string_view part) {
  if (part.empty()) return false;
  for (char c : part)
    if (c < '0' || c > '9') return false;
  return true;
}

// Only called on at most four digits, so the value always fits 16 bits.
std::int16_t readNumber(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return static_cast<std::int16_t>(value);
}

int daysInMonth(int month, int year) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && year % 4 == 0 && year != 1900) return 29;
  return kDays[month - 1];
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Day count H of the day-number formula: day number = H - 395, weekday = H mod 7. The integer part
// of 0.4 * month + 2.3 is taken exactly as (4 * month + 23) div 10, which is the same for month > 2.
std::int64_t dayCount(std::int64_t day, std::int64_t month, std::int64_t year) {
  std::int64_t e = 0;
  std::int64_t f = 0;
  std::int64_t k = 0;
  if (month > 2) {
    e = (4 * month + 23) / 10;
    f = year >= 1900 ? 1 : 0;
    k = year - 1800;
  } else {
    f = year >= 1901 ? 1 : 0;
    k = year - 1801;
  }
  return day + 365 * year + 31 * month - 657001 + floorDiv(k, 4) - e - f;
}

}  // namespace

DateParts SplitDate(std::string_view text) {
  std::string s;
  for (char c : text)
    if (c != ' ') s.push_back(c);

  std::string_view dayPart;
  std::string_view monthPart;
  std::string_view yearPart;
  bool hasYear = false;
  std::string paddedMonth;
  const std::string_view all(s);
  const std::size_t dot = all.find('.');
  if (dot != std::string_view::npos) {
    dayPart = all.substr(0, dot);
    if (dayPart.empty() || dayPart.size() > 2) return kMalformed;
    const std::string_view rest = all.substr(dot + 1);
    const std::size_t secondDot = rest.find('.');
    if (secondDot != std::string_view::npos) {
      monthPart = rest.substr(0, secondDot);
      yearPart = rest.substr(secondDot + 1);
      hasYear = true;
      if (monthPart.size() == 1) {
        paddedMonth = "0" + std::string(monthPart);
        monthPart = paddedMonth;
      }
      if (monthPart.size() != 2 || yearPart.empty() || yearPart.size() > 4) return kMalformed;
    } else {
      if (rest.empty() || rest.size() > 2) return kMalformed;
      monthPart = rest;
    }
  } else {
    if (s.size() < 3 || s.size() > 8) return kMalformed;
    if (s.size() % 2 != 0) s.insert(s.begin(), '0');
    const std::string_view block(s);
    dayPart = block.substr(0, 2);
    monthPart = block.substr(2, 2);
    hasYear = block.size() > 4;
    if (hasYear) yearPart = block.substr(4);
  }

  if (!isWholeNumber(dayPart) || !isWholeNumber(monthPart)) return kMalformed;
  if (hasYear && !isWholeNumber(yearPart)) return kMalformed;
  return DateParts{readNumber(dayPart), readNumber(monthPart),
                   hasYear ? readNumber(yearPart) : kNoYearWritten};
}

bool IsValidDate(int day, int month, int year) {
  if (year < 1801 || year > 2099 || month < 1 || month > 12) return false;
  return day >= 1 && day <= daysInMonth(month, year);
}

std::int32_t PackDate(int day, int month, int year) {
  const std::int64_t packed =
      static_cast<std::int64_t>(year) * 65536 + static_cast<std::int64_t>(month) * 256 + day;
  return static_cast<std::int32_t>(packed);
}

UnpackedDate UnpackDate(std::int32_t packed) {
  const auto bits = static_cast<std::uint32_t>(packed);
  UnpackedDate result;
  result.day = static_cast<int>(bits & 0x1F);
  result.month = static_cast<int>((bits >> 8) & 0x0F);
  result.year = static_cast<std::int16_t>(bits >> 16);
  result.valid = IsValidDate(result.day, result.month, result.year);
  if (!result.valid) result.day = 0;
  return result;
}

PackedDateText DateTextToPacked(std::string_view text) {
  const DateParts parts = SplitDate(text);
  PackedDateText result{parts.day, parts.month, parts.year, 0};
  if (IsValidDate(parts.day, parts.month, parts.year)) {
    result.packed = PackDate(parts.day, parts.month, parts.year);
  } else {
    result.day = 0;
  }
  return result;
}

std::int32_t Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 0;
  return PackDate(local.tm_mday, local.tm_mon + 1, local.tm_year + 1900);
}

DayNumberResult DayNumber(int day, int month, int year) {
  const std::int64_t h = dayCount(day, month, year);
  return DayNumberResult{static_cast<std::int32_t>(h - 395), static_cast<int>((h % 7 + 7) % 7)};
}

std::string ReorderYearFirst(std::string_view text) {
  if (text.size() != 8) return {};
  return std::string(text.substr(6, 2)) + std::string(text.substr(4, 2)) + std::string(text.substr(0, 4));
}

TimeValues TimeTextToValues(std::string_view text) {
  const DateParts parts = SplitDate(text);
  const int hours = parts.day;
  const int minutes = parts.month;
  const int seconds = parts.year == kNoYearWritten ? 0 : parts.year;
  TimeValues result;
  const bool inRange =
      hours >= 0 && hours <= 24 && minutes >= 0 && minutes <= 59 && seconds >= 0 && seconds <= 59;
  if (!inRange || (hours == 24 && (minutes != 0 || seconds != 0))) return result;
  result.hours = hours;
  result.minutes = minutes;
  result.seconds = seconds;
  result.minutesOfDay = 60 * hours + minutes;
  result.secondsOfDay = 60 * result.minutesOfDay + seconds;
  return result;
}

DateDistance DateDifference(int day1, int month1, int year1, int day2, int month2, int year2) {
  struct Date {
    std::int64_t day, month, year;
  };
  Date start{day1, month1, year1};
  Date later{day2, month2, year2};
  const bool secondIsEarlier = dayCount(day2, month2, year2) < dayCount(day1, month1, year1);
  if (secondIsEarlier) std::swap(start, later);

  const std::int64_t days =
      dayCount(later.day, later.month, later.year) - dayCount(start.day, start.month, start.year);
  const bool beforeAnniversary =
      later.month < start.month || (later.month == start.month && later.day < start.day);
  const std::int64_t years = later.year - start.year - (beforeAnniversary ? 1 : 0);
  std::int64_t months = later.month - start.month - (later.day < start.day ? 1 : 0);
  if (months < 0) months += 12;

  DateDistance result{static_cast<double>(days), static_cast<double>(days) / 7.0, static_cast<double>(months),
                      static_cast<double>(years)};
  if (secondIsEarlier) {
    // 0.0 - x keeps a zero positive where -x would give -0.
    result = DateDistance{0.0 - result.days, 0.0 - result.weeks, 0.0 - result.months, 0.0 - result.years};
  }
  return result;
}

}  // namespace veltrix
