#include "core/stats/transformations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace veltrix {
namespace {

TEST(Transformations, Names) {
  const char* const names[] = {
      "keine",       "keine", "log(x)", "log(x+3/8)",      "log(x+1)",           "sqrt(x)",
      "sqrt(x+3/8)", "x * x", "1/x",    "arcsin(sqrt(x))", "arcsin(sqrt(x/100))"};
  for (int code = 0; code <= 10; ++code) EXPECT_EQ(TransformName(code), names[code]) << code;
  EXPECT_EQ(TransformName(11), "keine");
  EXPECT_EQ(TransformName(-3), "keine");
}

TEST(Transformations, ForwardValuesDecimalsAndDomains) {
  struct Case {
    int code;
    double x;
    double y;
    int decimals;
    bool error;
  };
  // Decimals by hand: 0 for y = 0, else -clamp(Int(log10 |y|) - 4, -8, 0).
  const Case cases[] = {
      {2, 100.0, 2.0, 4, false},  // log10(2) = 0.3: Int 0, 4 decimals
      {2, 1e12, 12.0, 3, false},  // Int(log10 12) = 1: 3 decimals
      {2, 1.0, 0.0, 0, false},        {2, 0.0, 0.0, 0, true},
      {3, 0.625, 0.0, 0, false},  // log10(0.625 + 0.375) = 0
      {3, -0.375, 0.0, 0, true},      {4, 9.0, 1.0, 4, false},
      {4, -1.0, 0.0, 0, true},        {5, 16.0, 4.0, 4, false},
      {5, 1e10, 1e5, 0, false},  // Int(log10 1e5) = 5: clamped to 0 decimals
      {5, -0.01, 0.0, 0, true},       {6, -0.375, 0.0, 0, false},  // the domain includes -3/8
      {6, 0.625, 1.0, 4, false},      {7, 3.0, 9.0, 4, false},
      {7, -2.0, 0.0, 0, true},   // worked example: the square exists, but not in the domain
      {8, 4.0, 0.25, 4, false},  // log10(0.25) = -0.6: Int 0
      {8, 1e6, 1e-6, 8, false},  // Int(log10 1e-6) - 4 = -10, clamped: 8 decimals
      {8, 0.0, 0.0, 0, true},         {8, -4.0, 0.0, 0, true},
      {9, 1.0, 1.57079633, 4, false},  // arc sine approximation at 1
      {9, 1.01, 0.0, 0, true},        {9, -0.01, 0.0, 0, true},
      {10, 101.0, 0.0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "code " << c.code << " x " << c.x);
    const TransformResult r = Transform(c.code, c.x);
    EXPECT_NEAR(r.value, c.y, 1e-12);
    EXPECT_EQ(r.decimals, c.decimals);
    EXPECT_TRUE(r.decimalsSet);
    EXPECT_EQ(r.error, c.error);
  }
  // arcsin(sqrt(0.5)) = pi/4, within the approximation's 7e-5.
  EXPECT_NEAR(Transform(10, 50.0).value, std::atan(1.0), 7e-5);
  EXPECT_TRUE(Transform(2, std::nan("")).error);
}

TEST(Transformations, NoTransformationLeavesValueAndDecimalsAlone) {
  for (const int code : {0, 1, 11, 99, -1}) {
    SCOPED_TRACE(code);
    const TransformResult r = Transform(code, -7.25);
    EXPECT_EQ(r.value, -7.25);
    EXPECT_FALSE(r.decimalsSet);
    EXPECT_FALSE(r.error);
    const BackTransformResult back = BackTransform(code, -7.25);
    EXPECT_EQ(back.value, -7.25);
    EXPECT_FALSE(back.error);
  }
}

TEST(Transformations, BackTransformationAndItsLimits) {
  struct Case {
    int code;
    double y;
    double x;
    bool error;
  };
  const double pi = std::acos(-1.0);
  const double sinOfLimit = std::sin(1.570796);
  const Case cases[] = {
      {2, 2.0, 100.0, false},
      {3, 0.0, 0.625, false},  // 10^0 - 0.375
      {4, 1.0, 9.0, false},
      {2, 40.0, std::exp(85.0), true},  // 10^40 overflows the guarded power: e^85
      {5, 3.0, 9.0, false},
      {5, -1.0, 0.0, true},  // y < 0 counts as 0
      {6, 1.0, 0.625, false},
      {6, -1.0, -0.375, true},  // 0^2 - 0.375
      {7, 9.0, 3.0, false},
      {7, -1.0, 0.0, true},
      {8, 0.0, 999999.999, true},  // worked example of the documentation
      {8, -3.0, 999999.999, true},
      {8, 0.5, 2.0, false},
      {9, pi / 6, 0.25, false},  // sin(pi/6)^2
      {9, -0.1, 0.0, true},
      {9, 2.0, sinOfLimit * sinOfLimit, true},  // y taken as 1.570796
      {10, pi / 4, 50.0, false},
      {10, 2.0, 100 * sinOfLimit * sinOfLimit, true},
      // Between 1.570796 and SafeArcSin(1) = 1.57079633: taken as 1.570796, but no error, since the
      // forward transformation of 1 gives 1.57079633.
      {9, 1.57079633, sinOfLimit * sinOfLimit, false},
      {9, 1.5707964, sinOfLimit * sinOfLimit, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "code " << c.code << " y " << c.y);
    const BackTransformResult r = BackTransform(c.code, c.y);
    EXPECT_NEAR(r.value, c.x, std::fabs(c.x) * 1e-13 + 1e-13);
    EXPECT_EQ(r.error, c.error);
  }
}

TEST(Transformations, BackTransformationUndoesTheTransformation) {
  // The arc-sine codes carry the approximation's 7e-5 rad; sin^2 has slope at most 1 (times 100).
  const double samples[] = {0.0, 0.01, 0.3, 0.5, 0.99, 1.0, 2.5, 17.0, 80.0, 1234.5};
  for (int code = 2; code <= 10; ++code) {
    for (const double x : samples) {
      const TransformResult forward = Transform(code, x);
      if (forward.error) continue;
      SCOPED_TRACE(testing::Message() << "code " << code << " x " << x);
      const double tolerance = code == 9 ? 7e-5 : code == 10 ? 7e-3 : 1e-12 * (1 + x);
      const BackTransformResult back = BackTransform(code, forward.value);
      if (code == 8 && forward.value < 1e-6) continue;  // beyond the reciprocal's limit
      EXPECT_FALSE(back.error);
      EXPECT_NEAR(back.value, x, tolerance);
    }
  }
}

}  // namespace
}  // namespace veltrix
