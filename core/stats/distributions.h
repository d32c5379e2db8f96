// Tail probabilities of the normal, t, chi-square and F distributions, the normal quantile, the test
// of a correlation coefficient and the tail of Wilcoxon-type rank statistics. These closed-form
// approximations and finite series are the program's definition of its p-values: each runs in a few
// dozen operations and none iterates to a tolerance.
//
// Sidedness arguments: 1 is one-sided; any other value is two-sided (the one-sided tail doubled).
#pragma once

namespace veltrix {

// Upper tail Q(|z|), doubled when two-sided; |z| > 13 gives 1e-20 (not doubled). Hastings'
// polynomial, Abramowitz and Stegun 26.2.17.
double NormalTail(double z, int sides);
// z with lower-tail probability p (0 < p < 1). Rational approximation, Abramowitz and Stegun 26.2.23.
double NormalQuantile(double p);
// Two-sided critical value z(1 - alpha/2), positive; alpha > 0.5 is taken as 1 - alpha.
double NormalCritical(double alpha);
// P(T > |t|) with df degrees of freedom, doubled when two-sided; df < 1 gives 1. Exact finite series
// for df <= 15, a normal approximation above.
double TTail(double t, int df, int sides);
// P(chi-square > x), always the upper tail; x <= 1e-5 or df < 1 gives 1. Finite series for df <= 30
// (x > 180 gives 1e-20), Wilson-Hilferty above.
double ChiSquareTail(double x, int df);
// P(F > f), the upper tail; f <= 0.0001 or a df below 1 gives 1. Through t for df1 = 1 or df2 = 1,
// Paulson's approximation for large samples, otherwise the series for even numerator degrees of
// freedom, interpolated on the logarithm for odd ones.
double FTail(double f, int df1, int df2);
// Tail probability of the correlation coefficient r from n pairs (through t with n - 2 df); n < 3
// gives 1, |r| so close to 1 that 1 - r^2 < 1e-19 gives 0.
double CorrelationTail(int n, int sides, double r);

struct RankTail {
  double p = 1;
  // Exact: the expected value of the statistic. Approximated: the standard score z (<= 0).
  double expectedOrScore = 0;
  bool approximated = false;
};

// p-value of a rank statistic w over n ranked values: n1 <= 0 the one-sample signed-rank statistic
// (tie term c subtracted from the variance, 0 without ties), n1 > 0 the rank sum of the first
// sample of size n1 (c a factor on the variance, 1 without ties). Exact counts for n <= 26 and
// statistic values up to 152 (TRGSCal), the normal approximation otherwise.
RankTail RankStatTail(int n1, int n, int sides, double w, double c);

}  // namespace veltrix
