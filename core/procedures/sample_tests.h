// The tests of the statistical parameters: two and more independent samples, two and more related
// samples, parametric and rank-based, and the pairwise comparison matrix that follows a significant
// global test. Pure computations: the procedure feeds them sums, counts or the stored records.
//
// Degenerate data never divides by zero: when nothing varies the statistic is 0 and p is 1; when the
// means differ but nothing varies within the samples the statistic is 0 and p is 0. The rank tests
// meet only the first case: their tie corrections vanish only when every value is tied.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/stats/significance.h"
#include "core/stats/two_sample_test.h"

namespace veltrix {

// A test result as the test line shows it.
struct SampleTestResult {
  double statistic = 0;  // TG
  std::int32_t df1 = 0;  // 0: the line shows no degrees of freedom
  std::int32_t df2 = 0;
  double p = 1;
  bool computed = false;  // false: too few values; no line
};

// Ranks of k samples taken in one ascending pass over the distinct values of their union, each value
// with its count in every sample (the form in which the counting work file delivers them). Tied
// values get the mean of their ranks.
class RankAccumulator {
 public:
  explicit RankAccumulator(int samples);
  // One distinct value, larger than the one before: counts[i] values of it in sample i (k counts).
  void add(std::span<const std::uint32_t> counts);
  int samples() const { return static_cast<int>(m_rankSums.size()); }
  double rankSum(int i) const { return m_rankSums[static_cast<std::size_t>(i)]; }
  double size(int i) const { return m_sizes[static_cast<std::size_t>(i)]; }
  double total() const { return m_total; }
  // Sum of t^3 - t over the groups of tied values.
  double tieSum() const { return m_tieSum; }

 private:
  std::vector<double> m_rankSums;
  std::vector<double> m_sizes;
  double m_total = 0;
  double m_tieSum = 0;
};

// Wilcoxon rank-sum test of samples 0 and 1 of acc: W = rank sum of sample 0, p by RankStatTail with
// n1 = size of sample 0, n = both, and the tie factor 1 - tieSum / (N^3 - N) on the variance (a
// factor of 0, every value tied, gives TG 0 and p 1).
SampleTestResult WilcoxonRankSum(const RankAccumulator& acc, int sides);
// The same test from the rank sum w of the first sample of n1 values in the joint ranking with a
// second one of n2 values whose ties sum to tieSum (sum of t^3 - t).
SampleTestResult WilcoxonFromRanks(double w, double n1, double n2, double tieSum, int sides);
// Kruskal-Wallis over every sample of acc, k - 1 degrees of freedom, p from chi-square; all values
// tied gives TG 0, p 1.
SampleTestResult KruskalWallis(const RankAccumulator& acc);

struct OneWayResult {
  SampleTestResult test;  // F with between and within degrees of freedom
  double msBetween = 0;
  double msWithin = 0;
  std::int32_t dfWithin = 0;
};
// One-way analysis of variance from the sizes, means and SDs of the samples.
OneWayResult OneWayAnova(std::span<const TwoSampleSummary> samples);
// Pairwise t after the analysis: |Ma - Mb| / sqrt(msWithin (1/Na + 1/Nb)) with dfWithin.
SampleTestResult PairwiseT(const TwoSampleSummary& a, const TwoSampleSummary& b, double msWithin,
                           std::int32_t dfWithin, int sides);
// t-test of a mean against 0: |M| sqrt(N) / SD with N - 1 degrees of freedom (N >= 2).
SampleTestResult OneSampleT(const TwoSampleSummary& values, int sides);

struct SignRankResult {
  SampleTestResult test;
  int nonZero = 0;  // differences with |d| > 1e-8
};
// Sign-rank test of paired differences: zeros (|d| <= 1e-8) left out, the rest ranked by absolute
// value with mid-ranks, statistic = rank sum of the negative ones, tie term sum (t^3 - t) / 2,
// p by RankStatTail in its one-sample form; computed only with more than 3 non-zero differences.
SignRankResult SignRankTest(std::span<const double> differences, int sides);

// Friedman test of n records of k values (records[i * k + j]); at least 4 records. With k <= 3 and
// n <= 9 the statistic is corrected before its p-value is taken.
SampleTestResult FriedmanTest(std::span<const double> records, int k);

// Two-way analysis of variance (records x variables, no interaction) of n complete records of k
// variables from the variable means and the co-moment matrix C (k x k, C[j * k + l] = sum over the
// records of (x_j - mean_j)(x_l - mean_l)).
SampleTestResult TwoWayAnova(double n, std::span<const double> means, std::span<const double> comoments);

// The pairwise comparison matrix of m cells: marks[i * m + j] is '.', '-', 'x' or '+', symmetric.
// means orders the cells; test(i, j) gives the p-value of cells i and j (indexes into means).
std::vector<char> PairwiseComparisons(std::span<const double> means,
                                      const std::function<double(int, int)>& test, double alphaA,
                                      double alphaB);

}  // namespace veltrix
