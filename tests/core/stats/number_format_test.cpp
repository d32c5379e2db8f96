#include "core/stats/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "core/stats/number_parse.h"

namespace veltrix {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

TEST(FormatDecimals, FixedPointText) {
  struct Case {
    int dec;
    double x;
    const char* expected;
  };
  const Case cases[] = {
      {2, 3.14159, "3.14"},                                          // worked examples of the documentation
      {-4, 2.5, "2.5"},     {-3, 7.0, "7"},     {-2, 100.0, "100"},  // only zeros after the point go
      {3, -1.5, "-1.500"},  {-3, -1.5, "-1.5"}, {0, 2.5, "2"},  // ties to even (hand): 2.5 -> 2, 3.5 -> 4
      {0, 3.5, "4"},        {0, -1.5, "-2"},    {2, 0.125, "0.12"},  // 0.125 is an exact binary tie: to even
      {2, 2.675, "2.67"},   // 2.675 is stored as 2.67499999..., so it rounds down
      {2, -0.001, "0.00"},  // rounds to zero: no "-0.00"
      {-2, -0.001, "0"},    {0, -0.4, "0"},     {0, -0.0, "0"},     {0, 123456789.0, "123456789"},
      {5, kNaN, "NaN"},     {5, kInf, "INF"},   {5, -kInf, "-INF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dec << ", " << c.x);
    EXPECT_EQ(FormatDecimals(c.dec, c.x), c.expected);
  }
}

TEST(FormatDecimals, NeverLongerThanFortyCharacters) {
  // 1.5 with 50 decimals: "1." and 38 decimals fill the 40 characters.
  EXPECT_EQ(FormatDecimals(50, 1.5), "1.5" + std::string(37, '0'));
  // 1/3 with 40 decimals stripped of nothing: loses decimals down to 38.
  EXPECT_EQ(FormatDecimals(-40, 1.0 / 3.0).size(), 40u);
  // 1.7e38 has 39 integral digits: no room for decimals. The digits are the exact value of the
  // double nearest 1.7e38 (Python: int(1.7e38)).
  EXPECT_EQ(FormatDecimals(2, 1.7e38), "169999999999999998061923293023115935744");
  // Beyond fixed point: exponent form with 12 significant digits.
  EXPECT_EQ(FormatDecimals(2, 1e300), "1.00000000000E+0300");
  EXPECT_EQ(FormatDecimals(0, -1.7976931348623157e308), "-1.79769313486E+0308");
  EXPECT_EQ(FormatDecimals(std::numeric_limits<int>::min(), 0.5), "0.5");
}

TEST(FormatSignificant, AboutSixDigits) {
  struct Case {
    double x;
    const char* expected;
  };
  const Case cases[] = {
      {0.0, "0"},  // worked examples of the documentation
      {123456.7, "123457"},
      {1.5, "1.5"},
      {0.000123456, "0.00012346"},
      // Hand: log10(1234567.89) = 6.09, k = 1, clamped to 0 decimals.
      {1234567.89, "1234568"},
      // Hand: log10(0.5) = -0.3, Int gives 0, k = -5: five decimals, zeros removed.
      {-0.5, "-0.5"},
      // Hand: k = -25 is clamped to 10 decimals, all zero, no sign left.
      {-1e-20, "0"},
      {kNaN, "NaN"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(FormatSignificant(c.x), c.expected);
  }
}

TEST(FormatExponent, FieldWidthSetsTheDigits) {
  struct Case {
    double x;
    int width;
    const char* expected;
  };
  const Case cases[] = {
      {123456.0, 12, " 1.235E+0005"},  // worked example of the documentation
      {123456.0, 4, " 1.2E+0005"},     // at least 2 digits: 10 characters
      {-0.00123456, 14, "-1.23456E-0003"},
      {9.96e12, 10, " 1.0E+0013"},  // rounding carries into the exponent
      {4.9e-324, 10, " 4.9E-0324"},
      {1.0, 30, "     1.00000000000000000E+0000"},  // 18 digits at most, then blanks
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << " in " << c.width);
    EXPECT_EQ(formatExponent(c.x, c.width), c.expected);
  }
}

TEST(FormatInWidth, GivesUpDecimalsThenTurnsToExponentForm) {
  struct Case {
    int dec;
    int width;
    double x;
    const char* expected;
  };
  const Case cases[] = {
      // Worked examples of the documentation.
      {2, 6, 12345.678, " 12346"},
      {0, 8, 1.5e12, " 1.5E+12"},
      {0, 10, 1.5e12, " 1.500E+12"},
      {0, 6, 1.5e12, "*1.5E+"},
      // Hand computations following the steps.
      {2, 8, 3.14159, "    3.14"},
      {-2, 6, 2.5, "   2.5"},
      {2, 3, -1.5, " -2"},         // -1.50, -1.5, then -2 (ties to even)
      {-6, 4, 1.0 / 3.0, "0.33"},  // decimals given up one at a time
      {0, 8, -1.5e12, "-1.5E+12"},
      {0, 1, 12.0, "*"},
      // Exponent 150 has no "E+00": the second form with the width itself, 4 digits.
      {0, 12, 1e150, " 1.000E+0150"},
      {0, 5, 1e150, "*1.0E"},
      {0, 9, 123456789012.0, " 1.23E+11"},  // w = 11 gives 3 digits; "E+0011" shrinks to "E+11"
      // Width 0 stops the loop at once: the text of the decimals asked for, without a field.
      {3, 0, 5.0, "5.000"},
      {-3, 0, 2.5, "2.5"},
      {2, 0, -1234.567, "-1234.57"},
      {0, 0, 1.5e12, "1500000000000"},
      {0, 0, kNaN, "NaN"},
      {3, -4, 5.0, "5.000"},
      {3, 4, kNaN, " NaN"},
      {0, 4, -kInf, "-INF"},
      {0, 2, kInf, "**"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "dec " << c.dec << " width " << c.width << " x " << c.x);
    EXPECT_EQ(FormatInWidth(c.dec, c.width, c.x), c.expected);
  }
}

// The shown value must be the number, to the precision the text shows.
void expectTextMeansValue(const std::string& text, double x) {
  if (text.empty() || text.front() == '*' || !std::isfinite(x)) return;
  const ParsedNumber parsed = ParseField(text);
  if (parsed.decimals == kNotANumber && std::fabs(x) > 1e38) return;  // beyond the six-byte range
  ASSERT_GE(parsed.decimals, 0) << text;
  const double unit = std::pow(10.0, -parsed.decimals);
  if (text.find('E') == std::string::npos) {
    EXPECT_LE(std::fabs(parsed.value - x), 0.5 * unit + std::fabs(x) * 1e-15) << text;
  } else {
    EXPECT_LE(std::fabs(parsed.value - x), 0.5 * unit * std::fabs(x) * (1 + 1e-12)) << text;
  }
}

TEST(FormatInWidth, NeverExceedsTheWidthForAnyDouble) {
  std::vector<double> values = {0.0,
                                -0.0,
                                kNaN,
                                kInf,
                                -kInf,
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::lowest(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::denorm_min(),
                                -std::numeric_limits<double>::denorm_min(),
                                1.7e38,
                                -1.7e38,
                                0.5,
                                -0.5,
                                9.9999999,
                                -99999.5};
  std::mt19937_64 random(20240611);
  for (int i = 0; i < 300; ++i) values.push_back(std::bit_cast<double>(random()));  // every exponent
  std::uniform_real_distribution<double> logMagnitude(-8.0, 14.0);
  for (int i = 0; i < 300; ++i) {
    const double v = std::pow(10.0, logMagnitude(random));
    values.push_back(i % 2 == 0 ? v : -v);  // the range tables really show
  }
  for (const double x : values) {
    for (int dec = -6; dec <= 6; ++dec) ASSERT_EQ(FormatInWidth(dec, 0, x), FormatDecimals(dec, x));
    for (int width = 1; width <= 20; ++width) {
      for (int dec = -6; dec <= 6; ++dec) {
        const std::string text = FormatInWidth(dec, width, x);
        ASSERT_EQ(text.size(), static_cast<std::size_t>(width)) << x << " dec " << dec;
        expectTextMeansValue(text, x);
      }
    }
  }
}

}  // namespace
}  // namespace veltrix
