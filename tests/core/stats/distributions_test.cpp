#include "core/stats/distributions.h"

#include <gtest/gtest.h>

#include <cmath>

namespace veltrix {
namespace {

// Expected values below were evaluated once with a separate Python 3 script that writes each formula
// out afresh (Hastings' polynomial A&S 26.2.17, the rational approximation A&S 26.2.23, the finite t
// and chi-square series, the even-df F series with the Lagrange weights 3/8, 6/8, -1/8, Paulson's and
// Wilson-Hilferty's transformations); its printed numbers are pasted here. Exact rank counts come
// from brute-force enumeration for n = 4 (by hand, listed at the test) and, for n = 26, from the
// generating polynomial prod (1 + x^i) and the recurrence N(n, n1, s) = N(n-1, n1, s) +
// N(n-1, n1-1, s-n) in that script.
void ExpectClose(double actual, double expected) {
  EXPECT_NEAR(actual, expected, std::fabs(expected) * 1e-12 + 1e-300);
}

struct SidedCase {
  double x;
  int df;  // unused where a function has no degrees of freedom
  int sides;
  double expected;
};

TEST(Distributions, NormalTail) {
  const SidedCase cases[] = {
      {1.96, 0, 1, 0.024997825156635612},
      {1.96, 0, 2, 0.049995650313271224},   // doubled
      {-1.0, 0, 1, 0.1586552595631316},     // Q(|z|)
      {0.0, 0, 1, 0.49999999947519136},     // the polynomial at t = 1
      {13.0, 0, 1, 6.343629029707525e-39},  // 13 is still computed
      {13.5, 0, 2, 1e-20},                  // beyond 13: 1e-20, not doubled
      {-14.0, 0, 1, 1e-20},
  };
  for (const SidedCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", sides " << c.sides);
    ExpectClose(NormalTail(c.x, c.sides), c.expected);
  }
}

TEST(Distributions, NormalQuantileAndCriticalValue) {
  ExpectClose(NormalQuantile(0.975), 1.9603949169253396);
  ExpectClose(NormalQuantile(0.025), -1.96039491692534);
  ExpectClose(NormalQuantile(0.9), 1.281728756502709);
  EXPECT_NEAR(NormalQuantile(0.5), 1.0100667546808495e-07, 1e-15);  // the approximation's error at 0
  ExpectClose(NormalCritical(0.05), 1.96039491692534);
  ExpectClose(NormalCritical(0.01), 2.576236081309571);
  EXPECT_NEAR(NormalCritical(0.95), 1.9603949169253396, 1e-12);  // taken as 1 - 0.95
}

TEST(Distributions, TTailEveryBranch) {
  const SidedCase cases[] = {
      {2.0, 0, 1, 1.0},                    // df < 1
      {-1.0, 1, 1, 0.25},                  // df = 1: 0.5 - (pi/4)/pi
      {2.0, 1, 2, 0.2951672353008665},     // df = 1, two-sided
      {2.0, 2, 1, 0.09175170953613698},    // even, one step
      {2.0, 3, 1, 0.06966298427942152},    // odd, one step
      {2.0, 10, 2, 0.0733880347707403},    // even, five steps, doubled
      {2.0, 15, 1, 0.031972503642360095},  // odd, the longest series
      {2.0, 16, 2, 0.06343130051353593},   // normal approximation from 16 on
      {-2.5, 40, 1, 0.008363156704400753},
  };
  for (const SidedCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", df " << c.df << ", sides " << c.sides);
    ExpectClose(TTail(c.x, c.df, c.sides), c.expected);
  }
}

TEST(Distributions, ChiSquareTailEveryBranch) {
  const SidedCase cases[] = {
      {1e-5, 3, 0, 1.0},                       // x too small
      {0.5, 0, 0, 1.0},                        // no degrees of freedom
      {3.84, 1, 0, 0.05004338128113192},       // 2 Q(sqrt 3.84)
      {4.0, 3, 0, 0.2614639900812561},         // odd: 2Q(2) + 2 phi(2) * 2
      {7.5, 5, 0, 0.18602994172496265},        // odd, two terms
      {2.0, 2, 0, 0.36787944117144233},        // even: e^-1
      {6.0, 4, 0, 0.19914827347145575},        // even: e^-3 (1 + 3)
      {180.0, 30, 0, 2.5403414607826505e-23},  // 180 is still summed
      {200.0, 5, 0, 1e-20},                    // overwhelming
      {200.0, 30, 0, 1e-20},
      {20.0, 31, 0, 0.9358243129710812},       // Wilson-Hilferty, z < 0: 1 - Q
      {50.0, 31, 0, 0.016796006786315668},     // Wilson-Hilferty, z > 0
      {200.0, 31, 0, 5.3814207602312485e-25},  // no 1e-20 cut above 30 df
  };
  for (const SidedCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", df " << c.df);
    ExpectClose(ChiSquareTail(c.x, c.df), c.expected);
  }
}

TEST(Distributions, FTailEveryBranch) {
  struct Case {
    double f;
    int df1;
    int df2;
    double expected;
  };
  const Case cases[] = {
      {0.0001, 3, 4, 1.0},  // f too small
      {2.0, 0, 4, 1.0},
      {2.0, 3, 0, 1.0},
      {4.0, 1, 10, 0.0733880347707403},  // through t: 2 TTail(2, 10, 1)
      {4.0, 5, 1, 0.361701128359071},    // through t: 1 - 2 TTail(0.5, 5, 1)
      // Exchanged: 1 - P(F(6, 4) > 2) = 1 - 0.25^2 (1 + 2 * 0.75 + 3 * 0.75^2) = 0.73828125 by hand.
      {0.5, 4, 6, 0.73828125},
      {1.5, 35, 40, 0.10757968280015434},   // Paulson: both above 29
      {1.2, 60, 10, 0.40055860234761104},   // Paulson: df1 above 50
      {2.0, 10, 60, 0.048937422253019655},  // Paulson: df2 above 50
      {1.0, 60, 40, 0.5076772135682257},    // Paulson with z < 0: 1 - Q
      {2.5, 4, 12, 0.09816181117310459},    // even df1
      {2.5, 5, 12, 0.08982415360493545},    // odd df1, even df2 < 30
      {2.5, 5, 11, 0.0955144889329448},     // odd df1, interpolated from L(4), L(6), L(8)
      {2.5, 5, 40, 0.046324371979694946},   // odd df1, even df2 from 30 on: interpolated too
      {2.0, 35, 8, 0.15219982745542793},    // df1 >= 30, even df2
      {2.0, 35, 9, 0.13598412772070612},    // df1 >= 30, odd df2 interpolated
      {0.5, 8, 35, 0.8478001725445721},     // exchanged into df1 >= 30: 1 - 0.15219982745542793
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.f << ", " << c.df1 << ", " << c.df2);
    ExpectClose(FTail(c.f, c.df1, c.df2), c.expected);
  }
}

TEST(Distributions, CorrelationTail) {
  EXPECT_EQ(CorrelationTail(2, 1, 0.5), 1.0);   // fewer than 3 pairs
  EXPECT_EQ(CorrelationTail(10, 1, 1.0), 0.0);  // perfect correlation
  EXPECT_EQ(CorrelationTail(10, 2, 1.5), 0.0);  // 1 - r^2 < 0 would take a root of a negative number
  // t = 0.6 sqrt(8 / 0.64) = 2.12132 with 8 df, two-sided.
  ExpectClose(CorrelationTail(10, 2, 0.6), 0.06668799999999986);
  // t = -0.3 sqrt(18 / 0.91) with 18 df: the normal approximation.
  ExpectClose(CorrelationTail(20, 1, -0.3), 0.09951071265935664);
}

struct RankCase {
  const char* what;
  int n1;
  int n;
  int sides;
  double w;
  double c;
  double expectedP;
  double expectedOrScore;
  bool approximated;
};

TEST(Distributions, RankStatTailExactSmallSamples) {
  // Signed rank, n = 4: subsets of {1..4} by sum 0..10 are 1 1 1 2 2 2 2 2 1 1 1 ({3} and {1,2} give
  // 3, ...), 16 in all; E = 5. Rank sum, n1 = 2 of n = 4: the pairs give the sums 3 4 5 5 6 7, 6 in
  // all; E = 5; the table is indexed by the rank sum itself, so values below 3 count nothing. A first
  // sample of one value has each rank 1..4 once; E = 2.5.
  const RankCase cases[] = {
      {"sum 0", 0, 4, 1, 0.0, 0.0, 1.0 / 16, 5.0, false},
      {"sum <= 3", 0, 4, 1, 3.0, 0.0, 5.0 / 16, 5.0, false},
      {"2.6 - 0.1 = 2.5 rounds to 2", 0, 4, 1, 2.6, 0.0, 3.0 / 16, 5.0, false},
      {"3.6 - 0.1 = 3.5 rounds to 4", 0, 4, 1, 3.6, 0.0, 7.0 / 16, 5.0, false},
      {"two-sided doubles", 0, 4, 2, 3.0, 0.0, 10.0 / 16, 5.0, false},
      {"7 reflects to 3", 0, 4, 1, 7.0, 0.0, 5.0 / 16, 5.0, false},
      {"two-sided capped at 1", 0, 4, 2, 5.0, 0.0, 1.0, 5.0, false},
      {"least rank sum", 2, 4, 1, 3.0, 1.0, 1.0 / 6, 5.0, false},
      {"rank sum <= 4", 2, 4, 1, 4.0, 1.0, 2.0 / 6, 5.0, false},
      {"rank sum at E", 2, 4, 1, 5.0, 1.0, 4.0 / 6, 5.0, false},
      {"rank sum 7 reflects to 3", 2, 4, 1, 7.0, 1.0, 1.0 / 6, 5.0, false},
      {"rank sum two-sided", 2, 4, 2, 3.0, 1.0, 2.0 / 6, 5.0, false},
      {"rank sum two-sided capped", 2, 4, 2, 5.0, 1.0, 1.0, 5.0, false},
      {"below the least rank sum", 2, 4, 1, 2.0, 1.0, 0.0, 5.0, false},
      {"a first sample of one: rank 1 or 2", 1, 4, 1, 2.0, 1.0, 2.0 / 4, 2.5, false},
  };
  for (const RankCase& c : cases) {
    SCOPED_TRACE(c.what);
    const RankTail tail = RankStatTail(c.n1, c.n, c.sides, c.w, c.c);
    ExpectClose(tail.p, c.expectedP);
    EXPECT_EQ(tail.expectedOrScore, c.expectedOrScore);
    EXPECT_EQ(tail.approximated, c.approximated);
  }
}

TEST(Distributions, RankStatTailAtTheBoundOfTheTable) {
  const RankCase cases[] = {
      // Exact at n = 26: counts over 2^26 = 67108864 and C(26, 10) = 5311735, C(26, 13) = 10400600.
      {"signed rank n = 26", 0, 26, 1, 100.0, 0.0, 1874123.0 / 67108864, 175.5, false},
      {"signed rank n = 26 two-sided", 0, 26, 2, 100.0, 0.0, 2 * 1874123.0 / 67108864, 175.5, false},
      {"signed rank n = 26 reflected", 0, 26, 1, 251.0, 0.0, 1874123.0 / 67108864, 175.5, false},
      {"signed rank k = 152", 0, 26, 1, 152.05, 0.0, 18962680.0 / 67108864, 175.5, false},
      {"rank sum n = 26", 10, 26, 1, 100.0, 1.0, 181726.0 / 5311735, 135.0, false},
      {"rank sum n = 26 reflected", 10, 26, 1, 170.0, 1.0, 181726.0 / 5311735, 135.0, false},
      {"rank sum n = 26 two-sided", 10, 26, 2, 100.0, 1.0, 2 * 181726.0 / 5311735, 135.0, false},
      {"rank sum k = 152", 13, 26, 1, 152.0, 1.0, 1262551.0 / 10400600, 175.5, false},
      // Approximated: k = 153 > 152 at n = 26, and every n = 27.
      {"signed rank k = 153", 0, 26, 1, 153.0, 0.0, 0.28384575938380346, -0.5714544883195946, true},
      {"signed rank n = 27", 0, 27, 1, 100.0, 0.0, 0.01624918834279566, -2.1382249114641265, true},
      {"signed rank n = 27 reflected, two-sided", 0, 27, 2, 250.0, 0.0, 0.14277782690432958,
       -1.4655249393181093, true},
      {"signed rank ties", 0, 27, 1, 100.0, 60.0, 0.01618664896458287, -2.139769313912835, true},
      {"rank sum n = 27", 10, 27, 1, 100.0, 1.0, 0.022301086626099403, -2.008385781013735, true},
      {"rank sum ties, reflected, two-sided", 10, 27, 2, 180.0, 0.9, 0.034257646532330925,
       -2.1170244960998525, true},
  };
  for (const RankCase& c : cases) {
    SCOPED_TRACE(c.what);
    const RankTail tail = RankStatTail(c.n1, c.n, c.sides, c.w, c.c);
    ExpectClose(tail.p, c.expectedP);
    ExpectClose(tail.expectedOrScore, c.expectedOrScore);
    EXPECT_EQ(tail.approximated, c.approximated);
  }
}

TEST(Distributions, RankStatTailWithoutSpreadSaysNothing) {
  // A first sample that holds every value, or a tie term as large as the whole variance, leaves the
  // normal approximation without spread; a first sample larger than all values has no distribution.
  const RankCase cases[] = {
      {"rank sum n1 = n", 30, 30, 1, 465.0, 1.0, 1.0, 0.0, true},
      {"rank sum all tied", 10, 30, 2, 120.0, 0.0, 1.0, 0.0, true},
      {"signed rank tie term beyond the variance", 0, 27, 1, 100.0, 1e6, 1.0, 0.0, true},
      {"rank sum n1 > n", 5, 4, 1, 3.0, 1.0, 1.0, 12.5, false},
  };
  for (const RankCase& c : cases) {
    SCOPED_TRACE(c.what);
    const RankTail tail = RankStatTail(c.n1, c.n, c.sides, c.w, c.c);
    EXPECT_EQ(tail.p, c.expectedP);
    EXPECT_EQ(tail.expectedOrScore, c.expectedOrScore);
    EXPECT_EQ(tail.approximated, c.approximated);
  }
}

TEST(Distributions, TailsOfHugeStatisticsAreNotNegative) {
  // 1 - A and 1 - exp(L) round below 0 by a unit of the last place for these statistics (found by a
  // scan over f and the degrees of freedom); a p below 0 would read as "no sidedness" in PValueText.
  const struct {
    double f;
    int df1;
    int df2;
  } fCases[] = {{1e7, 1, 6}, {1000, 3, 20}, {1e5, 5, 14}, {1e7, 5, 12}, {1000, 50, 19}};
  for (const auto& c : fCases) {
    SCOPED_TRACE(testing::Message() << c.f << ", " << c.df1 << ", " << c.df2);
    const double p = FTail(c.f, c.df1, c.df2);
    EXPECT_GE(p, 0.0);
    EXPECT_LT(p, 1e-12);
  }
  const double t = TTail(3162.2776601683795, 6, 1);
  EXPECT_GE(t, 0.0);
  EXPECT_LT(t, 1e-12);
}

}  // namespace
}  // namespace veltrix
