#include "core/stats/guarded_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace veltrix {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct GuardedCase {
  const char* what;
  double (*function)(double, DomainFlag&);
  double x;
  double expected;
  bool raised;
};

TEST(GuardedMath, ValuesAndFlagOfTheOneArgumentFunctions) {
  // Substitutes from the function table; -33000 * 0.434294481 = -14331.717873 by hand.
  const GuardedCase cases[] = {
      {"exp inside", SafeExp, 1.0, std::exp(1.0), false},
      {"exp just below the limit", SafeExp, 85.99, std::exp(85.99), false},
      {"exp at the limit", SafeExp, 86.0, std::exp(85.0), true},
      {"exp far above", SafeExp, 1e6, std::exp(85.0), true},
      {"exp of +inf", SafeExp, kInf, std::exp(85.0), true},
      {"exp at the lower limit", SafeExp, -86.0, 0.0, false},
      {"exp just above the lower limit", SafeExp, -85.99, std::exp(-85.99), false},
      {"exp of NaN", SafeExp, kNaN, std::exp(85.0), true},
      {"ln inside", SafeLn, std::exp(2.0), 2.0, false},
      {"ln of 0", SafeLn, 0.0, -33000.0, true},
      {"ln of negative", SafeLn, -5.0, -33000.0, true},
      {"ln of NaN", SafeLn, kNaN, -33000.0, true},
      {"log10 of 1000 is exactly 3", SafeLog10, 1000.0, 3.0, false},
      {"log10 of 1e-5", SafeLog10, 1e-5, -5.0, false},
      {"log10 of 0", SafeLog10, 0.0, -14331.717873, true},
      {"log10 of negative", SafeLog10, -1.0, -14331.717873, true},
      {"sqrt inside", SafeSqrt, 16.0, 4.0, false},
      {"sqrt of 0", SafeSqrt, 0.0, 0.0, false},
      {"sqrt of negative", SafeSqrt, -4.0, 0.0, true},
      {"sqrt of NaN", SafeSqrt, kNaN, 0.0, true},
      // Arc sine: at |x| = 1 the root term vanishes, leaving 1.57079633; at 0 the approximation
      // gives 1.57079633 - 1.5707288 = 6.753e-5 (inside its stated accuracy of 7e-5).
      {"arcsin of 1", SafeArcSin, 1.0, 1.57079633, false},
      {"arcsin of -1", SafeArcSin, -1.0, -1.57079633, false},
      {"arcsin of 0", SafeArcSin, 0.0, 6.753e-5, false},
      {"arcsin above 1", SafeArcSin, 2.0, 1.57079633, true},
      {"arcsin below -1", SafeArcSin, -1.5, -1.57079633, true},
      {"arcsin of NaN", SafeArcSin, kNaN, 0.0, true},
  };
  for (const GuardedCase& c : cases) {
    SCOPED_TRACE(c.what);
    DomainFlag flag{.raised = !c.raised};  // start with the opposite: every call sets or clears it
    const double y = c.function(c.x, flag);
    EXPECT_NEAR(y, c.expected, std::fabs(c.expected) * 1e-12 + 1e-12);
    EXPECT_EQ(flag.raised, c.raised);
  }
}

TEST(GuardedMath, ArcSinStaysWithinItsStatedAccuracy) {
  // Abramowitz and Stegun 4.4.45 promises 5e-5; the constants used keep it below 7e-5.
  for (int i = -1000; i <= 1000; ++i) {
    const double x = i / 1000.0;
    SCOPED_TRACE(x);
    EXPECT_NEAR(SafeArcSin(x), std::asin(x), 7e-5);
  }
}

TEST(GuardedMath, Power) {
  struct Case {
    double b;
    double e;
    double expected;
    bool raised;
  };
  const Case cases[] = {
      {-8.0, 1.0 / 3.0, 0.0, true},  // negative base, exponent not integral
      {-2.0, 3.0, -8.0, false},      // odd integral exponent keeps the sign
      {-2.0, 2.0, 4.0, false},       // even exponent
      {-2.0, -1.0, -0.5, false},
      {-2.0, 2.5, 0.0, true},
      {-2.0, 40000.0, 0.0, true},  // the exponent is clamped to 32767 first, so not integral
      {2.0, 10.0, 1024.0, false},
      {10.0, 2.0, 100.0, false},
      {2.0, 0.5, std::sqrt(2.0), false},
      {0.0, 2.0, 0.0, false},  // zero base: 0 for a positive exponent ...
      {0.0, 0.0, 1.0, false},  // ... 1 otherwise
      {0.0, -1.0, 1.0, false},
      {-1e-21, 3.0, 0.0, false},           // within 1e-20 of zero counts as zero
      {10.0, 40.0, std::exp(85.0), true},  // 40 ln 10 = 92.1 >= 86: overflow of the inner SafeExp
      {-10.0, 41.0, -std::exp(85.0), true},
      {10.0, -40.0, 0.0, false},  // -92.1 <= -86: underflow to 0 leaves the flag clear
      {kNaN, 2.0, 0.0, true},
      {2.0, kNaN, 0.0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.b << " ^ " << c.e);
    DomainFlag flag{.raised = !c.raised};
    const double y = SafePower(c.b, c.e, flag);
    EXPECT_NEAR(y, c.expected, std::fabs(c.expected) * 1e-15);
    EXPECT_EQ(flag.raised, c.raised);
  }
}

TEST(GuardedMath, RoundingIsHalfToEvenAfterClamping) {
  struct Case {
    double x;
    int small;
    std::int32_t wide;
  };
  const Case cases[] = {
      {2.5, 2, 2},
      {3.5, 4, 4},
      {-2.5, -2, -2},
      {-3.5, -4, -4},
      {0.5, 0, 0},
      {1.5, 2, 2},
      {2.4999, 2, 2},
      {-0.5, 0, 0},
      {40000.0, 32767, 40000},
      {-40000.0, -32767, -40000},
      {32767.5, 32767, 32768},
      {1e12, 32767, 2147483647},
      {-1e12, -32767, -2147483647},
      {2147483646.5, 32767, 2147483646},
      {kInf, 32767, 2147483647},
      {-kInf, -32767, -2147483647},
      {kNaN, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(RoundToSmall(c.x), c.small);
    EXPECT_EQ(RoundToLong(c.x), c.wide);
  }
}

TEST(GuardedMath, ClampAndTruncate) {
  EXPECT_EQ(ClampReal(5.0, 0.0, 3.0), 3.0);
  EXPECT_EQ(ClampReal(-1.0, 0.0, 3.0), 0.0);
  EXPECT_EQ(ClampReal(kNaN, 0.0, 3.0), 0.0);  // MaxReal(NaN, lo) is lo
  EXPECT_EQ(ClampInt(-7, -5, 5), -5);
  EXPECT_EQ(ClampInt(9, -5, 5), 5);
  EXPECT_EQ(Int(-2.7), -2.0);
  EXPECT_EQ(Int(2.7), 2.0);
}

}  // namespace
}  // namespace veltrix
