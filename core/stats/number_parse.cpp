#include "core/stats/number_parse.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "core/stats/guarded_math.h"
#include "core/stats/real48.h"

namespace veltrix {

namespace {

// Every power of ten up to 1e22 is exact in a double.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPower = 22;
// Up to 15 digits the integer is exact in a double, so one multiplication or division by an exact
// power of ten rounds correctly (Clinger's fast path).
constexpr int kMaxFastDigits = 15;
constexpr int kMaxExponent = 100000;  // far beyond any double; keeps the accumulation from overflowing

constexpr ParsedNumber kNotNumeric{0.0, kNotANumber, 0};

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The standard conversion for what the fast path cannot do exactly. mantissa is the validated
// "digits[.digits]" part with the decimal comma already allowed for.
bool convertSlowly(std::string_view mantissa, int exponent, double& value) {
  std::string buffer;
  buffer.reserve(mantissa.size() + 16);
  if (mantissa.front() == '.' || mantissa.front() == ',') buffer.push_back('0');
  for (const char c : mantissa) buffer.push_back(c == ',' ? '.' : c);
  buffer.push_back('e');
  buffer.append(std::to_string(exponent));
  const auto result = std::from_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return result.ec == std::errc{} && result.ptr == buffer.data() + buffer.size();
}

ParsedNumber parseText(std::string_view text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  while (begin < end && *begin == ' ') ++begin;
  while (end > begin && end[-1] == ' ') --end;
  while (begin < end && *begin == '+') ++begin;
  while (end > begin && end[-1] == '+') --end;
  if (begin == end) return ParsedNumber{0.0, kEmptyField, 0};

  const char* p = begin;
  const bool negative = *p == '-';
  if (negative) ++p;
  const char* mantissaBegin = p;

  std::uint64_t digitsValue = 0;  // the significant digits while there are at most 19 of them
  int significantDigits = 0;      // digits from the first non-zero one on
  int scale = 0;                  // power of ten that digitsValue is to be multiplied with
  int integralSignificant = 0;    // significant digits before the point
  int leadingFractionZeros = 0;   // zeros after the point before the first significant digit
  int fractionDigits = 0;
  bool anyDigit = false;
  bool point = false;
  for (; p < end; ++p) {
    const char c = *p;
    if (isDigit(c)) {
      const auto digit = static_cast<unsigned>(c - '0');
      anyDigit = true;
      if (point) {
        ++fractionDigits;
        --scale;
      }
      if (significantDigits == 0 && digit == 0) {
        if (point) ++leadingFractionZeros;
        continue;
      }
      if (!point) ++integralSignificant;
      if (significantDigits < 19) digitsValue = digitsValue * 10 + digit;
      ++significantDigits;
    } else if ((c == '.' || c == ',') && !point) {
      // Only the first comma becomes a point; a second one, or one after a point, is not a number.
      point = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return kNotNumeric;
  const std::string_view mantissa(mantissaBegin, static_cast<std::size_t>(p - mantissaBegin));

  int exponent = 0;
  if (p < end && (*p == 'E' || *p == 'e')) {
    ++p;
    const bool exponentNegative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    if (p == end || !isDigit(*p)) return kNotNumeric;
    for (; p < end && isDigit(*p); ++p)
      if (exponent < kMaxExponent) exponent = exponent * 10 + (*p - '0');
    if (exponentNegative) exponent = -exponent;
  }
  if (p != end) return kNotNumeric;

  double value = 0.0;
  if (significantDigits > 0) {
    const int power = scale + exponent;
    if (significantDigits <= kMaxFastDigits && power >= -kMaxExactPower && power <= kMaxExactPower) {
      const auto integer = static_cast<double>(digitsValue);
      value = power < 0 ? integer / kExactPowersOfTen[-power] : integer * kExactPowersOfTen[power];
    } else if (!convertSlowly(mantissa, exponent, value)) {
      // Only a result outside the double range fails here: too large is not a number, too small is 0.
      const int magnitude =
          (integralSignificant > 0 ? integralSignificant : -leadingFractionZeros) + exponent;
      if (magnitude > 0) return kNotNumeric;
      value = 0.0;
    }
  }
  if (value > kReal48Max) return kNotNumeric;
  if (negative && value != 0.0) value = -value;
  return ParsedNumber{value, point ? fractionDigits : 0, RoundToLong(value)};
}

}  // namespace

ParsedNumber ParseNumber(std::string_view text, int start, int length) {
  const auto size = static_cast<long long>(text.size());
  const long long first = start < 1 ? 1 : start;
  const long long last = std::min(static_cast<long long>(start) + length - 1, size);
  if (last < first) return parseText({});
  return parseText(
      text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1)));
}

ParsedNumber ParseField(std::string_view text) {
  return parseText(text);
}

}  // namespace veltrix
