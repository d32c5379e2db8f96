// Numbers as table text: fixed decimals, about six significant digits, or a fixed field width that
// falls back to exponent form and an overflow mark.
#pragma once

#include <string>

namespace veltrix {

// Longest text FormatDecimals gives.
inline constexpr int kMaxNumberTextLength = 40;

// Fixed-point text of x with |dec| decimals and no leading blanks; for dec < 0 trailing zeros after
// the point are removed, then a trailing point. Ties round half to even on the exact binary value.
// A result that rounds to zero never carries a sign ("0.00", not "-0.00"). A text that would exceed
// 40 characters loses decimals first; a number whose integral part alone is too long (|x| >= 1e39)
// is written in exponent form (formatExponent with field width 20, leading blank removed).
// NaN gives "NaN", the infinities "INF" and "-INF".
std::string FormatDecimals(int dec, double x);

// About six significant digits, trailing zeros removed: 100000 and more show no decimals, smaller
// numbers up to 10 decimals.
std::string FormatSignificant(double x);

// Exactly width characters, right-aligned (at most 255, the longest text the program keeps). A
// number that does not fit loses decimals first, then turns to exponent form, and is marked with "*"
// in its first position when even that does not fit. NaN and the infinities show "NaN", "INF", "-INF"
// when the width allows it and width times "*" otherwise. A width of 0 (or less) sets no field: the
// text is FormatDecimals(dec, x) as it is, so 5 with 3 decimals gives "5.000".
std::string FormatInWidth(int dec, int width, double x);

// Exponent form with field width w: a blank (or "-" for negative x), d = clamp(w - 8, 2, 18)
// significant digits with a point after the first, "E", the exponent's sign and four exponent
// digits, padded with leading blanks to w. At least 10 characters (and at most 255), for example
// " 1.235E+0005" for w = 12.
std::string formatExponent(double x, int fieldWidth);

}  // namespace veltrix
