#include "core/stats/number_parse.h"

#include <gtest/gtest.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <random>
#include <regex>
#include <string>

#include "core/stats/guarded_math.h"
#include "core/stats/real48.h"

namespace veltrix {
namespace {

struct ParseCase {
  std::string text;
  double value;
  int decimals;
  std::int32_t intValue;
};

TEST(ParseNumber, StatusesValuesAndDecimals) {
  const ParseCase cases[] = {
      // Worked examples of the documentation.
      {"  +3,50  ", 3.5, 2, 4},  // 3.5 rounds half to even: 4
      {"", 0.0, kEmptyField, 0},
      {"12a", 0.0, kNotANumber, 0},
      {"1.5E3", 1500.0, 1, 1500},
      // Hand-worked cases of the rules.
      {"     ", 0.0, kEmptyField, 0},
      {"+", 0.0, kEmptyField, 0},  // the plus signs go first, leaving nothing
      {" ++7++ ", 7.0, 0, 7},
      {"+-5", -5.0, 0, -5},
      {" 72.5", 72.5, 1, 72},  // 72.5 to even: 72
      {"2.5", 2.5, 1, 2},
      {"-2.5", -2.5, 1, -2},
      {"-3.25", -3.25, 2, -3},
      {"0.1", 0.1, 1, 0},
      {"5.", 5.0, 0, 5},  // a trailing point and a leading one are both accepted
      {".5", 0.5, 1, 0},
      {"-.5", -0.5, 1, 0},
      {"12,5", 12.5, 1, 12},
      {"00012", 12.0, 0, 12},
      {"-0", 0.0, 0, 0},
      {"1E+02", 100.0, 0, 100},
      {"1.25e-1", 0.125, 2, 0},  // decimals count the mantissa only
      {"1e10", 1e10, 0, 2147483647},
      {"-1e10", -1e10, 0, -2147483647},
      {"1.7e38", 1.7e38, 1, 2147483647},
      {"123456789012345678901234567890", 1.2345678901234568e29, 0, 2147483647},
      {"0.000000000000000000000000001", 1e-27, 27, 0},
      {"1e-999", 0.0, 0, 0},                                 // too small for a double: zero
      {"0." + std::string(340, '0') + "1e10", 0.0, 341, 0},  // 1e-331 despite the positive exponent
      // Not numbers.
      {"-", 0.0, kNotANumber, 0},
      {"--5", 0.0, kNotANumber, 0},
      {"-+5", 0.0, kNotANumber, 0},
      {"5-", 0.0, kNotANumber, 0},
      {",", 0.0, kNotANumber, 0},
      {".", 0.0, kNotANumber, 0},
      {"1e", 0.0, kNotANumber, 0},
      {"1e+", 0.0, kNotANumber, 0},  // the trailing "+" goes, "1e" remains
      {"e5", 0.0, kNotANumber, 0},
      {"inf", 0.0, kNotANumber, 0},
      {"-INF", 0.0, kNotANumber, 0},
      {"nan", 0.0, kNotANumber, 0},
      {"0x10", 0.0, kNotANumber, 0},
      {"1,5,3", 0.0, kNotANumber, 0},
      {"1.5,3", 0.0, kNotANumber, 0},
      {"1e999", 0.0, kNotANumber, 0},
      {"-1e999", 0.0, kNotANumber, 0},
      {"1.8e38", 0.0, kNotANumber, 0},  // beyond the six-byte range (1.7014e38)
      {"+ 5", 0.0, kNotANumber, 0},
      {"1 5", 0.0, kNotANumber, 0},
      {"\t5", 0.0, kNotANumber, 0},
      {std::string("1\0", 2), 0.0, kNotANumber, 0},
      {std::string("\0", 1), 0.0, kNotANumber, 0},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\"");
    const ParsedNumber parsed = ParseField(c.text);
    EXPECT_EQ(parsed.value, c.value);
    EXPECT_FALSE(parsed.value == 0.0 && std::signbit(parsed.value));  // "-0" is no negative zero
    EXPECT_EQ(parsed.decimals, c.decimals);
    EXPECT_EQ(parsed.intValue, c.intValue);
  }
}

TEST(ParseNumber, TakesOnlyThePartOfTheRangeThatExists) {
  struct Case {
    int start;
    int length;
    int decimals;
    double value;
  };
  const std::string text = "12.50";  // positions 1..5
  const Case cases[] = {
      {1, 2, 0, 12.0},
      {1, 5, 2, 12.5},
      {0, 3, 0, 12.0},  // positions 0..2: only 1..2 exist
      {-5, 8, 0, 12.0},
      {4, 100, 0, 50.0},
      {6, 1, kEmptyField, 0.0},
      {3, 0, kEmptyField, 0.0},
      {3, -4, kEmptyField, 0.0},
      {INT_MAX, INT_MAX, kEmptyField, 0.0},
      {INT_MIN, INT_MAX, kEmptyField, 0.0},
      {1, INT_MAX, 2, 12.5},
      {INT_MIN, INT_MIN, kEmptyField, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << ", " << c.length);
    const ParsedNumber parsed = ParseNumber(text, c.start, c.length);
    EXPECT_EQ(parsed.decimals, c.decimals);
    EXPECT_EQ(parsed.value, c.value);
  }
}

// An independent reading of the rules: a regular expression for the syntax and std::from_chars for
// the value, against which the hand-written scanner is compared.
ParsedNumber referenceParse(std::string text) {
  const auto first = text.find_first_not_of(' ');
  text = first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
  const auto plus = text.find_first_not_of('+');
  text = plus == std::string::npos ? "" : text.substr(plus, text.find_last_not_of('+') - plus + 1);
  if (text.empty()) return {0.0, kEmptyField, 0};
  const auto comma = text.find(',');
  if (comma != std::string::npos) text[comma] = '.';
  static const std::regex syntax(R"(-?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)");
  if (!std::regex_match(text, syntax)) return {0.0, kNotANumber, 0};
  const auto e = text.find_first_of("eE");
  const std::string mantissa = text.substr(0, e);
  const auto point = mantissa.find('.');
  const int decimals = point == std::string::npos ? 0 : static_cast<int>(mantissa.size() - point - 1);
  std::string forConversion = text;
  if (forConversion.starts_with(".")) forConversion.insert(0, "0");
  if (forConversion.starts_with("-.")) forConversion.insert(1, "0");
  double value = 0.0;
  const auto result =
      std::from_chars(forConversion.data(), forConversion.data() + forConversion.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Short texts leave the double range only through a long exponent: a negative one is too small
    // (zero), a positive one too large.
    if (text.find_first_of("eE") != std::string::npos && text[text.find_first_of("eE") + 1] == '-')
      return {0.0, decimals, 0};
    return {0.0, kNotANumber, 0};
  }
  if (std::fabs(value) > kReal48Max) return {0.0, kNotANumber, 0};
  if (value == 0.0) value = 0.0;
  return {value, decimals, RoundToLong(value)};
}

TEST(ParseNumber, AgreesWithAnIndependentReadingOnRandomTexts) {
  // Random short texts over the characters that matter, fixed seed.
  const std::string alphabet = "0123456789012345678901234567890123456789+-.,eE  ";
  std::mt19937 random(4711);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 14);
  int numbers = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    for (int n = length(random); n > 0; --n) text.push_back(alphabet[pick(random)]);
    SCOPED_TRACE("\"" + text + "\"");
    const ParsedNumber expected = referenceParse(text);
    const ParsedNumber parsed = ParseField(text);
    ASSERT_EQ(parsed.decimals, expected.decimals);
    ASSERT_EQ(parsed.value, expected.value);  // correctly rounded, as from_chars
    ASSERT_EQ(parsed.intValue, expected.intValue);
    if (expected.decimals >= 0) ++numbers;
  }
  EXPECT_GT(numbers, 1000);  // the alphabet really produces numbers, not only rejects
}

TEST(ParseNumber, FastPathIsCorrectlyRounded) {
  // Up to 15 digits and powers of ten up to 22 take the fast path; compare with from_chars.
  std::mt19937_64 random(99);
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t digits = random() % 1000000000000000ULL;  // up to 15 digits
    const int exponent = static_cast<int>(random() % 45) - 22;
    const std::string text = std::to_string(digits) + "e" + std::to_string(exponent);
    double expected = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    ASSERT_EQ(ParseField(text).value, expected) << text;
  }
}

TEST(ParseNumber, AnyBytesAreSafe) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 255);
  std::uniform_int_distribution<int> position(-300, 300);
  for (int i = 0; i < 5000; ++i) {
    std::string text;
    for (int n = length(random); n > 0; --n) text.push_back(static_cast<char>(byte(random)));
    // Some texts get a number inside, so that the positions matter.
    if (i % 2 == 0 && text.size() > 10) text.replace(3, 6, " -1,5e");
    const ParsedNumber whole = ParseField(text);
    const ParsedNumber part = ParseNumber(text, position(random), position(random));
    for (const ParsedNumber& parsed : {whole, part}) {
      ASSERT_GE(parsed.decimals, kNotANumber);
      if (parsed.decimals < 0) {
        ASSERT_EQ(parsed.value, 0.0);
        ASSERT_EQ(parsed.intValue, 0);
      } else {
        ASSERT_LE(std::fabs(parsed.value), kReal48Max);
        ASSERT_EQ(parsed.intValue, RoundToLong(parsed.value));
      }
    }
  }
}

}  // namespace
}  // namespace veltrix
