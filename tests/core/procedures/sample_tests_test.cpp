#include "core/procedures/sample_tests.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace veltrix {
namespace {

// Expected values come from a separate python3 script written from the textbook formulas (mid-ranks
// and tie terms in exact fractions; tails from mpmath's regularized incomplete beta and gamma
// functions, the normal tail from erfc). Exact small-sample rank p-values come from enumerating
// every assignment of the integer ranks 1..n, counting those with a statistic at most
// k = round(w - 0.1) after reflecting w below its expectation, which is how the program defines
// them. Tail functions with a closed series (t up to 15 df, F with even numerator df below 30,
// chi-square with even df) match to rounding; the others carry the normal tail's 7.5e-8.

void ExpectFinite(const SampleTestResult& r) {
  EXPECT_TRUE(std::isfinite(r.statistic)) << r.statistic;
  EXPECT_TRUE(std::isfinite(r.p)) << r.p;
  EXPECT_GE(r.p, 0);
  EXPECT_LE(r.p, 1);
}

// The accumulator fed as the counting work file feeds it: distinct values ascending, each with its
// count per sample.
RankAccumulator Ranked(const std::vector<std::vector<double>>& samples) {
  std::map<double, std::vector<std::uint32_t>> counts;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    for (double v : samples[i]) {
      auto& row = counts[v];
      row.resize(samples.size(), 0);
      ++row[i];
    }
  }
  RankAccumulator acc(static_cast<int>(samples.size()));
  for (const auto& [value, row] : counts) acc.add(row);
  return acc;
}

TEST(WilcoxonRankSum, SmallSamplesWithTiesUseTheExactCount) {
  // Joint mid-ranks: 1.5 -> 1, the three 2s -> 3, 3 -> 5, 4 -> 6, the two 5s -> 7.5, then 9, 10, 11.
  // W = 1 + 3 + 3 + 5 + 7.5 = 19.5 below E = 30, k = 19: 12 of the 462 5-subsets of 1..11 sum to
  // at most 19, p = 2/77 (enumeration).
  const RankAccumulator acc = Ranked({{1.5, 2, 2, 3, 5}, {2, 4, 5, 7, 8, 9}});
  EXPECT_EQ(acc.rankSum(0), 19.5);
  EXPECT_EQ(acc.rankSum(1), 46.5);
  EXPECT_EQ(acc.tieSum(), 30);  // 3^3 - 3 + 2^3 - 2
  const SampleTestResult one = WilcoxonRankSum(acc, 1);
  EXPECT_TRUE(one.computed);
  EXPECT_EQ(one.statistic, 19.5);
  EXPECT_EQ(one.df1, 0);
  EXPECT_NEAR(one.p, 2.0 / 77, 1e-12);
  EXPECT_NEAR(WilcoxonRankSum(acc, 2).p, 4.0 / 77, 1e-12);
}

TEST(WilcoxonRankSum, LargeSamplesCarryTheTieFactorIntoTheVariance) {
  // Values 1..5 with counts 3,4,2,5,1 in the first sample and 2,3,6,2,4 in the second: n1 = 15,
  // N = 32, W = 228, tie factor 1 - sum(t^3 - t)/(N^3 - N) = 1305/1364,
  // z = (228 - 247.5) / sqrt(15 * 17 * 33 / 12 * 1305/1364) = -0.752836; Q(0.752836) = 0.2257744.
  RankAccumulator acc(2);
  const std::uint32_t counts[5][2] = {{3, 2}, {4, 3}, {2, 6}, {5, 2}, {1, 4}};
  for (const auto& c : counts) acc.add(c);
  const SampleTestResult one = WilcoxonRankSum(acc, 1);
  EXPECT_EQ(one.statistic, 228);
  EXPECT_NEAR(one.p, 0.2257744, 1e-6);
  EXPECT_NEAR(WilcoxonRankSum(acc, 2).p, 0.4515488, 2e-6);
}

TEST(KruskalWallis, ThreeSamplesWithTies) {
  // Ranks over all 13 values: 2.1 -> 1, three 3.4 -> 3, 4.2 -> 5, four 5.0 -> 7.5, three 6.1 -> 10,
  // 7.3 -> 12, 8.0 -> 13; R = 14, 35, 42; sum(t^3 - t) = 24 + 60 + 24 = 72.
  // H = (12/182 * (196/4 + 1225/5 + 1764/4) - 42) / (1 - 72/2184) = 147/22 = 6.681818;
  // chi-square tail with 2 df: exp(-H/2) = 0.03540476.
  const RankAccumulator acc = Ranked({{2.1, 3.4, 3.4, 5.0}, {3.4, 4.2, 5.0, 6.1, 6.1}, {5.0, 6.1, 7.3, 8.0}});
  EXPECT_EQ(acc.rankSum(0), 14);
  EXPECT_EQ(acc.rankSum(1), 35);
  EXPECT_EQ(acc.rankSum(2), 42);
  EXPECT_EQ(acc.tieSum(), 72);
  const SampleTestResult r = KruskalWallis(acc);
  EXPECT_TRUE(r.computed);
  EXPECT_NEAR(r.statistic, 147.0 / 22, 1e-12);
  EXPECT_EQ(r.df1, 2);
  EXPECT_EQ(r.df2, 0);
  EXPECT_NEAR(r.p, 0.03540476, 1e-8);
}

class AnovaOfThreeSamples : public ::testing::Test {
 protected:
  // Means 10, 12, 15, SDs 2, 2.5, 3, sizes 5, 6, 4: grand mean 12.1333, SS between 55.7333 on 2 df,
  // SS within 16 + 31.25 + 27 = 74.25 on 12 df; F = 27.866667 / 6.1875 = 4.503704, p = 0.03474183.
  const std::vector<TwoSampleSummary> samples{{10, 2, 5}, {12, 2.5, 6}, {15, 3, 4}};
  const OneWayResult anova = OneWayAnova(samples);
};

TEST_F(AnovaOfThreeSamples, FWithBetweenAndWithinMeanSquares) {
  EXPECT_TRUE(anova.test.computed);
  EXPECT_NEAR(anova.msBetween, 27.866666666666667, 1e-10);
  EXPECT_NEAR(anova.msWithin, 6.1875, 1e-12);
  EXPECT_EQ(anova.dfWithin, 12);
  EXPECT_EQ(anova.test.df1, 2);
  EXPECT_EQ(anova.test.df2, 12);
  EXPECT_NEAR(anova.test.statistic, 4.503703703703704, 1e-10);
  EXPECT_NEAR(anova.test.p, 0.03474183, 1e-8);
}

TEST_F(AnovaOfThreeSamples, PairwiseTUsesTheWithinMeanSquare) {
  // |10 - 12| / sqrt(6.1875 (1/5 + 1/6)) = 1.327812 and |10 - 15| / sqrt(6.1875 (1/5 + 1/4)) =
  // 2.996444, 12 df: one-sided 0.10447240 and 0.00557004, two-sided twice that.
  struct Case {
    std::size_t a, b;
    int sides;
    double t, p;
  };
  const Case cases[] = {
      {0, 1, 1, 1.3278122606, 0.10447240},
      {1, 0, 2, 1.3278122606, 0.20894480},
      {0, 2, 1, 2.9964438332, 0.00557004},
      {0, 2, 2, 2.9964438332, 0.01114007},
  };
  for (const Case& c : cases) {
    const SampleTestResult r = PairwiseT(samples[c.a], samples[c.b], anova.msWithin, anova.dfWithin, c.sides);
    EXPECT_TRUE(r.computed);
    EXPECT_NEAR(r.statistic, c.t, 1e-9) << c.a << c.b;
    EXPECT_EQ(r.df1, 12);
    EXPECT_NEAR(r.p, c.p, 1e-8) << c.a << c.b << c.sides;
  }
}

TEST(OneSampleT, MeanAgainstZero) {
  // |1.5| * 3 / 2 = 2.25 with 8 df: one-sided 0.02728365, two-sided 0.05456731; the sign of the
  // mean does not matter.
  for (double mean : {1.5, -1.5}) {
    const SampleTestResult one = OneSampleT({mean, 2, 9}, 1);
    EXPECT_TRUE(one.computed);
    EXPECT_NEAR(one.statistic, 2.25, 1e-12);
    EXPECT_EQ(one.df1, 8);
    EXPECT_NEAR(one.p, 0.02728365, 1e-8);
    EXPECT_NEAR(OneSampleT({mean, 2, 9}, 2).p, 0.05456731, 1e-8);
  }
}

TEST(SignRankTest, ZerosAreDroppedAndTiesShareTheirRanks) {
  // Three zeros (|d| <= 1e-8) leave 10 differences; ranks of |d|: the three 0.5 -> 2, the three
  // 1.2 -> 5, 2.0 -> 7, 2.6 -> 8, 3.1 -> 9, 4.0 -> 10. Negatives -0.5, -2.0, -1.2: 2 + 7 + 5 = 14.
  // E = 27.5, k = 14: 99 of the 1024 subsets of 1..10 sum to at most 14 (enumeration).
  const std::vector<double> d{0, 1e-9, -1e-9, 0.5, -0.5, 1.2, 1.2, -2.0, 3.1, 0.5, 4.0, -1.2, 2.6};
  const SignRankResult one = SignRankTest(d, 1);
  EXPECT_EQ(one.nonZero, 10);
  EXPECT_TRUE(one.test.computed);
  EXPECT_EQ(one.test.statistic, 14);
  EXPECT_EQ(one.test.df1, 0);
  EXPECT_NEAR(one.test.p, 99.0 / 1024, 1e-12);
  EXPECT_NEAR(SignRankTest(d, 2).test.p, 99.0 / 512, 1e-12);
}

TEST(SignRankTest, DifferencesOfDecimalsTieDespiteRounding) {
  // 0.3 - 0.1 and 0.3 - 0.5 are 0.2 apart from their last bits; as ties they share rank 1.5, so the
  // negatives (-0.2 and -1.0) sum to 1.5 + 3 = 4.5, not 5. k = 4: 7 of 32 subsets (enumeration).
  const std::vector<double> d{0.3 - 0.1, 0.3 - 0.5, 2.5 - 1.0, 3.0 - 4.0, 4.0 - 2.0};
  const SignRankResult r = SignRankTest(d, 1);
  EXPECT_EQ(r.test.statistic, 4.5);
  EXPECT_NEAR(r.test.p, 7.0 / 32, 1e-12);
}

TEST(SignRankTest, LargeSamplesSubtractTheTieTerm) {
  // 28 non-zero differences (two zeros dropped): |d| = 1 (10 times), 2 (7), 3 (8), 4 (3); negatives
  // 4 of rank 5.5, 2 of 14, 1 of 21.5: 71.5. E = 203, variance 28*29*57/24 - 1854/48 = 1889.875,
  // z = -3.024887: Q = 0.00124363, two-sided 0.00248726.
  std::vector<double> d;
  const std::pair<double, int> groups[] = {{1, 6}, {-1, 4}, {2, 5}, {-2, 2}, {3, 7}, {-3, 1}, {4, 3}, {0, 2}};
  for (const auto& [value, count] : groups) d.insert(d.end(), static_cast<std::size_t>(count), value);
  const SignRankResult one = SignRankTest(d, 1);
  EXPECT_EQ(one.nonZero, 28);
  EXPECT_EQ(one.test.statistic, 71.5);
  EXPECT_NEAR(one.test.p, 0.00124363, 1e-7);
  EXPECT_NEAR(SignRankTest(d, 2).test.p, 0.00248726, 2e-7);
}

TEST(SignRankTest, NeedsMoreThanThreeNonZeroDifferences) {
  const SignRankResult three = SignRankTest(std::vector<double>{0, 1, -2, 3, 1e-9}, 1);
  EXPECT_EQ(three.nonZero, 3);
  EXPECT_FALSE(three.test.computed);
  const SignRankResult four = SignRankTest(std::vector<double>{0, 1, -2, 3, 4}, 1);
  EXPECT_EQ(four.nonZero, 4);
  EXPECT_TRUE(four.test.computed);
}

TEST(FriedmanTest, SmallSampleCorrectionBands) {
  // TG = 12 sum Rj^2 / (n k (k+1)) - 3 n (k+1); for k <= 3 and n <= 9 the p-value is taken at
  // 0.938 TG below 6.5, 1.45 TG - 3.325 up to 8.5, 0.4 TG + 5.6 up to 9.33, TG above. Chi-square
  // tails with 2 df are exp(-x/2); with 3 df from the gamma function.
  struct Case {
    const char* name;
    int k;
    std::vector<std::vector<double>> records;
    double tg, p;
  };
  const Case cases[] = {
      // R = 9, 10, 11: TG 0.4, x = 0.3752.
      {"below 6.5", 3, {{1, 2, 3}, {2, 1, 3}, {3, 1, 2}, {1, 3, 2}, {2, 3, 1}}, 0.4, 0.82894622},
      // R = 4, 9, 11: TG exactly 6.5 takes the second band, x = 6.1 (0.938 TG would give 0.0474203).
      {"at 6.5", 3, {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 3, 2}}, 6.5, 0.04735892},
      // R = 4, 8, 12: TG 8, x = 8.275. Values, not ranks: only their order within a record counts.
      {"below 8.5", 3, {{0.5, 7, 9}, {-3, 1, 2}, {10, 20, 30}, {1, 2, 3}}, 8, 0.01596271},
      // R = 5.5, 9.5, 15 (one record ties its first two values): TG 9.1, x = 9.24.
      {"below 9.33", 3, {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {4, 4, 6}}, 9.1, 0.00985280},
      // R = 6, 12, 18: TG 12 stays.
      {"above 9.33", 3, std::vector<std::vector<double>>(6, {1, 2, 3}), 12, 0.00247875},
      // Nine records are still corrected: R = 13, 19, 22, TG 4.666667, x = 4.377333 (uncorrected
      // 0.0969720).
      {"nine records",
       3,
       {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {2, 1, 3}, {1, 3, 2}, {3, 2, 1}, {2, 3, 1}, {1, 2, 3}},
       14.0 / 3,
       0.11206607},
      // Ten records: no correction. R = 14, 22.5, 23.5: TG 5.45.
      {"ten records",
       3,
       {{1, 2, 3},
        {1, 2, 3},
        {1, 2, 3},
        {2, 1, 3},
        {1, 3, 2},
        {3, 2, 1},
        {1, 2, 2},
        {2, 3, 1},
        {1, 3, 2},
        {1, 2, 3}},
       5.45,
       0.06554620},
      // Four variables: no correction. R = 7.5, 9.5, 11, 12: TG 1.725 with 3 df.
      {"four variables", 4, {{1, 2, 3, 4}, {2, 1, 4, 3}, {1, 3, 2, 4}, {4, 4, 2, 1}}, 1.725, 0.63139010},
  };
  for (const Case& c : cases) {
    std::vector<double> flat;
    for (const auto& record : c.records) flat.insert(flat.end(), record.begin(), record.end());
    const SampleTestResult r = FriedmanTest(flat, c.k);
    EXPECT_TRUE(r.computed) << c.name;
    EXPECT_NEAR(r.statistic, c.tg, 1e-10) << c.name;
    EXPECT_EQ(r.df1, c.k - 1) << c.name;
    EXPECT_NEAR(r.p, c.p, 1e-6) << c.name;
  }
}

// Means and co-moments of complete records, as the procedure accumulates them.
struct Moments {
  std::vector<double> means, comoments;
};
Moments MomentsOf(const std::vector<std::vector<double>>& records) {
  const std::size_t k = records.front().size();
  const double n = static_cast<double>(records.size());
  Moments m{std::vector<double>(k, 0.0), std::vector<double>(k * k, 0.0)};
  for (const auto& r : records)
    for (std::size_t j = 0; j < k; ++j) m.means[j] += r[j] / n;
  for (const auto& r : records)
    for (std::size_t j = 0; j < k; ++j)
      for (std::size_t l = 0; l < k; ++l) m.comoments[j * k + l] += (r[j] - m.means[j]) * (r[l] - m.means[l]);
  return m;
}

TEST(TwoWayAnova, RecordsTimesVariables) {
  // From the totals: SSvar = sum Tj^2/n - T^2/(nk) = 24.433333, SSrec = sum Ri^2/k - T^2/(nk) =
  // 26.066667, SSres = SStotal - both = 3.733333; TG = (24.433333/2) / (3.733333/8) = 26.178571 with
  // 2 and 8 df, p = 0.000308635.
  const Moments m =
      MomentsOf({{4.0, 5.5, 7.0}, {3.0, 3.5, 6.5}, {6.0, 6.0, 9.5}, {2.5, 4.0, 5.0}, {5.0, 7.5, 8.0}});
  const SampleTestResult r = TwoWayAnova(5, m.means, m.comoments);
  EXPECT_TRUE(r.computed);
  EXPECT_NEAR(r.statistic, 26.178571428571, 1e-8);
  EXPECT_EQ(r.df1, 2);
  EXPECT_EQ(r.df2, 8);
  EXPECT_NEAR(r.p, 0.000308635057, 1e-11);
}

// Degenerate data: the statistic is 0, p 1 when nothing varies at all and p 0 when only the means
// differ. The decimals are chosen so that sums of them round (0.1 + 0.2 != 0.3).
TEST(SampleTestsDegenerate, NoVariationGivesCertainOrNoResult) {
  auto twoWay = [](std::vector<double> rows, std::vector<double> columns) {
    std::vector<std::vector<double>> records;
    for (double r : rows) {
      records.emplace_back();
      for (double c : columns) records.back().push_back(r + c);
    }
    const Moments m = MomentsOf(records);
    return TwoWayAnova(static_cast<double>(rows.size()), m.means, m.comoments);
  };
  const std::vector<TwoSampleSummary> same{{0.1, 0, 3}, {0.1, 0, 4}, {0.1, 0, 5}};
  const std::vector<TwoSampleSummary> apart{{0.1, 0, 3}, {0.3, 0, 4}, {0.1, 0, 5}};
  struct Case {
    const char* name;
    SampleTestResult result;
    double p;
  };
  const Case cases[] = {
      {"Kruskal-Wallis, every value tied", KruskalWallis(Ranked({{2, 2, 2, 2}, {2, 2, 2, 2}, {2, 2, 2}})), 1},
      {"rank sum, every value tied", WilcoxonRankSum(Ranked({{7, 7, 7, 7}, {7, 7, 7, 7, 7}}), 2), 1},
      {"one-way, all constant and equal", OneWayAnova(same).test, 1},
      {"one-way, constant within, means apart", OneWayAnova(apart).test, 0},
      {"pairwise t, no within variance, equal means", PairwiseT({0.1, 0, 4}, {0.1, 0, 5}, 0, 6, 2), 1},
      {"pairwise t, no within variance, means apart", PairwiseT({0.1, 0, 4}, {0.3, 0, 5}, 0, 6, 2), 0},
      {"one-sample t, constant 0", OneSampleT({0, 0, 6}, 1), 1},
      {"one-sample t, constant 0.1", OneSampleT({0.1, 0, 6}, 1), 0},
      {"Friedman, every record tied", FriedmanTest(std::vector<double>(15, 0.7), 3), 1},
      // Equal means whose grand mean sum (Mj / k) differs from them by 4.4e-16 (python script).
      {"two-way, only records differ", twoWay({1.1, 2.2, 3.3, 4.4}, {1.1, 1.1, 1.1}), 1},
      // Additive data leave no residual; in doubles it rounds to -3.6e-15 here and to +7.1e-15 with
      // the second set of records (replayed in the python script).
      {"two-way, additive, residual rounds below 0", twoWay({0.1, 0.7, 1.3, 2.9}, {0.2, 0.5, 1.1}), 0},
      {"two-way, additive, residual rounds above 0", twoWay({1.1, 2.2, 3.3, 4.4, 5.5}, {0.2, 0.5, 1.1}), 0},
      {"two-way, nothing varies", twoWay({0.3, 0.3, 0.3, 0.3}, {0.1, 0.1}), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(c.result.computed);
    EXPECT_EQ(c.result.statistic, 0);
    EXPECT_EQ(c.result.p, c.p);
    ExpectFinite(c.result);
  }
  // The mean squares themselves are still shown.
  const OneWayResult anova = OneWayAnova(apart);
  EXPECT_EQ(anova.msWithin, 0);
  EXPECT_GT(anova.msBetween, 0);
  EXPECT_TRUE(std::isfinite(anova.msBetween));
}

TEST(SampleTestsDegenerate, TooFewValuesMakeNoLine) {
  struct Case {
    const char* name;
    SampleTestResult result;
  };
  const Case cases[] = {
      {"rank sum with an empty sample", WilcoxonRankSum(Ranked({{1, 2, 3, 4}, {}}), 1)},
      // Joint ranks of three samples are not the ranks of the first two.
      {"rank sum over three samples", WilcoxonRankSum(Ranked({{1, 2}, {3, 4}, {5}}), 1)},
      {"Kruskal-Wallis with one sample", KruskalWallis(Ranked({{1, 2, 3, 4}, {}, {}}))},
      {"one-way with one sample", OneWayAnova(std::vector<TwoSampleSummary>{{1, 1, 5}, {2, 1, 0}}).test},
      {"one-sample t of one value", OneSampleT({3, 0, 1}, 1)},
      {"Friedman of three records", FriedmanTest(std::vector<double>{1, 2, 3, 3, 2, 1, 1, 3, 2}, 3)},
      {"Friedman of a broken record", FriedmanTest(std::vector<double>(13, 1), 3)},
      {"two-way of one record", TwoWayAnova(1, std::vector<double>{1, 2}, std::vector<double>(4, 0))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(c.result.computed);
    EXPECT_EQ(c.result.p, 1);
  }
}

TEST(KruskalWallis, AnEmptySampleDoesNotCount) {
  // The three samples of ThreeSamplesWithTies with an empty one between them: same H, still 2 df.
  const SampleTestResult r =
      KruskalWallis(Ranked({{2.1, 3.4, 3.4, 5.0}, {}, {3.4, 4.2, 5.0, 6.1, 6.1}, {5.0, 6.1, 7.3, 8.0}}));
  EXPECT_NEAR(r.statistic, 147.0 / 22, 1e-12);
  EXPECT_EQ(r.df1, 2);
}

// The marks of m cells, one string per row, from a table of p-values by unordered pair of cells;
// also the pairs that were tested.
struct Marked {
  std::vector<std::string> rows;
  std::set<std::pair<int, int>> tested;
};
Marked Mark(const std::vector<double>& means, const std::map<std::pair<int, int>, double>& p) {
  Marked out;
  const std::vector<char> marks = PairwiseComparisons(
      means,
      [&](int i, int j) {
        const std::pair<int, int> key{std::min(i, j), std::max(i, j)};
        out.tested.insert(key);
        const auto it = p.find(key);
        return it == p.end() ? 0.5 : it->second;
      },
      0.05, 0.01);
  const std::size_t m = means.size();
  for (std::size_t i = 0; i < m; ++i)
    out.rows.emplace_back(marks.begin() + i * m, marks.begin() + (i + 1) * m);
  return out;
}

TEST(PairwiseComparisons, MarksFromTheFarEndInwards) {
  // Worked by hand with alphaA 0.05 and alphaB 0.01. Each row tests from the far end; "-" ends the
  // row and later rows test only cells beyond that pair's far cell.
  struct Case {
    const char* name;
    std::vector<double> means;
    std::map<std::pair<int, int>, double> p;
    std::vector<std::string> marks;
  };
  const Case cases[] = {
      {"every pair strong",
       {1, 2, 3},
       {{{0, 1}, 0.001}, {{0, 2}, 0.001}, {{1, 2}, 0.001}},
       {".xx", "x.x", "xx."}},
      // Row 0: (0,2) "+", so (0,1) is "+" despite p < alphaB; row 1 starts afresh with "x".
      {"a plus weakens the rest of its row",
       {1, 2, 3},
       {{{0, 2}, 0.03}, {{0, 1}, 0.001}, {{1, 2}, 0.001}},
       {".++", "+.x", "+x."}},
      // Row 0 reaches (0,1); row 1 stops at (1,3), so (1,2) and row 2 are never tested.
      {"a stop leaves the inner pairs untested",
       {1, 2, 3, 4},
       {{{0, 3}, 0.001}, {{0, 2}, 0.03}, {{0, 1}, 0.001}, {{1, 3}, 0.2}},
       {".++x", "+..-", "+...", "x-.."}},
      // Row 0 stops at (0,3): rows 1 and 2 test only cell 4; row 2 stops there, row 3 has nothing left.
      {"the stop carries over",
       {1, 2, 3, 4, 5},
       {{{0, 4}, 0.001}, {{0, 3}, 0.2}, {{1, 4}, 0.02}, {{2, 4}, 0.3}},
       {"...-x", "....+", "....-", "-....", "x+-.."}},
      {"nothing differs", {1, 2, 3, 4}, {}, {"...-", "....", "....", "-..."}},
      // p equal to alphaA is not significant, p equal to alphaB is "+" only; the stop at (0,1) leaves
      // (1,2) to be tested, it lies beyond that pair.
      {"the levels themselves",
       {1, 2, 3},
       {{{0, 2}, 0.01}, {{0, 1}, 0.05}, {{1, 2}, 0.001}},
       {".-+", "-.x", "+x."}},
      // Means 5, 1, 3 order the cells 1, 2, 0: row of cell 1 tests cell 0 ("x"), then cell 2 ("+");
      // the row of cell 2 tests cell 0 and stops.
      {"cells in the order of their means",
       {5, 1, 3},
       {{{0, 1}, 0.001}, {{1, 2}, 0.03}, {{0, 2}, 0.5}},
       {".x-", "x.+", "-+."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Marked got = Mark(c.means, c.p);
    EXPECT_EQ(got.rows, c.marks);
    // Exactly the pairs that carry a mark were tested.
    std::set<std::pair<int, int>> marked;
    for (int i = 0; i < static_cast<int>(c.marks.size()); ++i)
      for (int j = i + 1; j < static_cast<int>(c.marks.size()); ++j)
        if (c.marks[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] != '.') marked.insert({i, j});
    EXPECT_EQ(got.tested, marked);
  }
}

}  // namespace
}  // namespace veltrix
