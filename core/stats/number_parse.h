// Text fields to numbers: the value, the count of decimals the field was written with, and the value
// as a 32-bit integer.
#pragma once

#include <cstdint>
#include <string_view>

namespace veltrix {

// Statuses in ParsedNumber::decimals besides a count of decimals (0 and more).
inline constexpr int kEmptyField = -1;
inline constexpr int kNotANumber = -2;

struct ParsedNumber {
  double value = 0.0;
  // kEmptyField, kNotANumber, else the digits after the decimal point (0 without a point).
  int decimals = kEmptyField;
  // value clamped to +-2147483647 and rounded half to even.
  std::int32_t intValue = 0;
};

// Reads the characters start .. start + length - 1 (1-based); positions outside the text are simply
// not there, so any start and length are safe. Blanks around the number are ignored, then "+" signs
// at its start and end; a field holding nothing else is empty (kEmptyField). The first "," counts as
// the decimal point. The syntax is: an optional "-", digits with an optional point ("5." and ".5" are
// numbers), and an optional exponent "E" or "e" with an optional sign and at least one digit. Anything
// else is kNotANumber with value 0: other characters, "inf", "nan", hexadecimal, and values whose
// magnitude exceeds the six-byte real range (about 1.7e38, so "1e999"). A value too small for a double
// reads as 0.
ParsedNumber ParseNumber(std::string_view text, int start, int length);

// ParseNumber over the whole text.
ParsedNumber ParseField(std::string_view text);

}  // namespace veltrix
