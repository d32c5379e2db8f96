#include "core/stats/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "core/stats/guarded_math.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

// Fallback field width of FormatDecimals for numbers too long for fixed point: 12 significant digits,
// what a six-byte real holds.
constexpr int kLongNumberExponentWidth = 20;

std::string nonFiniteText(double x) {
  if (std::isnan(x)) return "NaN";
  return x < 0.0 ? "-INF" : "INF";
}

// x with exactly `decimals` decimals (0..40). Every finite double fits the buffer: 309 integral
// digits, sign, point and 40 decimals.
std::string fixedText(double x, int decimals, bool stripZeros) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
  std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  if (stripZeros && text.find('.') != std::string_view::npos) {
    text = text.substr(0, text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.remove_suffix(1);
  }
  // A value that rounds to zero shows no sign.
  if (text.front() == '-' && text.find_first_not_of("0.", 1) == std::string_view::npos) text.remove_prefix(1);
  return std::string(text);
}

}  // namespace

std::string FormatDecimals(int dec, double x) {
  if (!std::isfinite(x)) return nonFiniteText(x);
  // More than 40 decimals never fit; clamping here also keeps -dec away from INT_MIN.
  const int clamped = std::clamp(dec, -kMaxNumberTextLength, kMaxNumberTextLength);
  for (int decimals = clamped < 0 ? -clamped : clamped; decimals >= 0; --decimals) {
    std::string text = fixedText(x, decimals, dec < 0);
    if (static_cast<int>(text.size()) <= kMaxNumberTextLength) return text;
  }
  return TrimBlanks(formatExponent(x, kLongNumberExponentWidth), -1);
}

std::string FormatSignificant(double x) {
  const double k = x == 0.0 ? -5.0 : Int(std::log10(std::fabs(x))) - 5.0;
  return FormatDecimals(ClampInt(RoundToSmall(k), -10, 0), x);
}

std::string formatExponent(double x, int fieldWidth) {
  const int digits = std::clamp(fieldWidth - 8, 2, 18);
  std::string text;
  if (std::isfinite(x)) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x),
                                      std::chars_format::scientific, digits - 1);
    const std::string_view plain(buffer, static_cast<std::size_t>(result.ptr - buffer));  // "1.500e+12"
    const std::size_t e = plain.find('e');
    const std::string_view exponentDigits = plain.substr(e + 2);
    text.push_back(x < 0.0 ? '-' : ' ');
    text.append(plain.substr(0, e));
    text.push_back('E');
    text.push_back(plain[e + 1]);
    text.append(4 - std::min<std::size_t>(exponentDigits.size(), 4), '0');
    text.append(exponentDigits);
  } else {
    text = nonFiniteText(x);
  }
  const int length = std::clamp(fieldWidth, 10, kMaxTextLength);
  if (static_cast<int>(text.size()) < length)
    text.insert(0, static_cast<std::size_t>(length) - text.size(), ' ');
  return text;
}

std::string FormatInWidth(int dec, int width, double x) {
  // No field to fit into: the first text stands.
  if (width <= 0) return FormatDecimals(dec, x);
  width = std::min(width, kMaxTextLength);
  if (!std::isfinite(x)) {
    const std::string text = nonFiniteText(x);
    return static_cast<int>(text.size()) <= width ? AlignText(text, width, 1)
                                                  : std::string(static_cast<std::size_t>(width), '*');
  }
  dec = std::clamp(dec, -kMaxNumberTextLength, kMaxNumberTextLength);  // beyond, FormatDecimals is the same
  for (;;) {
    const std::string text = FormatDecimals(dec, x);
    if (static_cast<int>(text.size()) <= width) return AlignText(text, width, 1);
    if (dec == 0) break;
    dec += dec < 0 ? 1 : -1;
  }
  // No decimals left to give up: exponent form, with a two-digit exponent when it has one.
  std::string text = formatExponent(x, width + 2);
  const std::size_t shortExponent = text.find("E+00");
  if (shortExponent != std::string::npos) {
    text.replace(shortExponent, 4, "E+");
  } else {
    text = formatExponent(x, width);
  }
  if (static_cast<int>(text.size()) > width) text[0] = '*';
  text.resize(static_cast<std::size_t>(width));
  return text;
}

}  // namespace veltrix
