#include "core/stats/two_sample_test.h"

#include <gtest/gtest.h>

#include <cmath>

namespace veltrix {
namespace {

// Expected tails from a separate python3 evaluation of the t series: TTail(3, 8, 1) = 0.0085358.
TEST(TwoSampleTTest, OneSampleWithoutSpreadUsesTheUnequalVarianceForm) {
  // SD 2 with N 9 against a constant 12 of 5 values: s = 4/9, t = 2 / (2/3) = 3; c = 1, so df = 9 - 1.
  const TTwoSampleResult r = TwoSampleTTest({10, 2, 9}, {12, 0, 5}, 1);
  EXPECT_TRUE(r.unequalVariances);
  EXPECT_FALSE(r.degenerate);
  EXPECT_EQ(r.df, 8);
  EXPECT_NEAR(r.t, 3, 1e-12);
  EXPECT_NEAR(r.p, 0.0085358, 1e-6);
  EXPECT_EQ(r.pF, 0);
  EXPECT_TRUE(std::isinf(r.f));

  const TTwoSampleResult mirrored = TwoSampleTTest({12, 0, 5}, {10, 2, 9}, 2);
  EXPECT_EQ(mirrored.df, 8);
  EXPECT_NEAR(mirrored.p, 2 * 0.0085358, 2e-6);
}

TEST(TwoSampleTTest, NoSpreadAtAllOrTooFewValues) {
  struct Case {
    TwoSampleSummary a, b;
    double p;
  };
  const Case cases[] = {
      {{5, 0, 10}, {5, 0, 8}, 1},  // both constant and equal
      {{5, 0, 10}, {6, 0, 8}, 0},  // both constant, different: certain
      {{5, 1, 1}, {6, 1, 8}, 1},   // a single value: no test
  };
  for (const Case& c : cases) {
    const TTwoSampleResult r = TwoSampleTTest(c.a, c.b, 1);
    EXPECT_TRUE(r.degenerate);
    EXPECT_EQ(r.t, 0);
    EXPECT_EQ(r.p, c.p);
  }
}

}  // namespace
}  // namespace veltrix
