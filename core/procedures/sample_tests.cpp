#include "core/procedures/sample_tests.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

#include "core/stats/distributions.h"
#include "core/stats/guarded_math.h"

namespace veltrix {

namespace {

// A mean square (or squared standard error) at most this fraction of the effect it divides would
// give a statistic beyond 1e10 (t) or 1e20 (F): its p-value is 0 at any printed precision, and the
// quotient itself may overflow, so such a denominator counts as no variation at all.
constexpr double kNegligibleNoise = 1e-20;
// The two-way residual is a difference of co-moment sums; rounding leaves about k * 1e-16 of their
// size behind even when the records explain every deviation, so less than this share is no residual.
constexpr double kResidualRounding = 1e-10;
// Differences of two stored values carry rounding: at most this much (relative to the larger
// absolute value, 1 at least) counts as zero or as a tie.
constexpr double kDifferenceTolerance = 1e-8;

// effect / noise for an F or squared t statistic. Without noise the result is certain: p 0 when
// there is an effect, p 1 when nothing varies at all; the statistic is then 0, as the two-sample
// t-test reports its degenerate cases.
struct VarianceRatio {
  double value = 0;
  bool degenerate = false;
  double p = 1;  // only when degenerate
};

VarianceRatio RatioOf(double effect, double noise) {
  if (noise > kNegligibleNoise * effect) return {effect / noise, false, 1};
  return {0, true, effect > 0 ? 0.0 : 1.0};
}

// Mid-ranks 1..n of values (ties get the mean of their ranks) and the sum of t^3 - t over the
// groups of ties; equal(a, b) decides a tie of neighbours in ascending order.
template <typename Equal>
double MidRanks(std::span<const double> values, std::span<double> ranks, Equal equal) {
  std::vector<std::size_t> order(values.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return values[a] < values[b]; });
  double tieSum = 0;
  std::size_t first = 0;
  while (first < order.size()) {
    // A group is measured from its first value, so a chain of near ties never drifts.
    std::size_t end = first + 1;
    while (end < order.size() && equal(values[order[first]], values[order[end]])) ++end;
    const double mid = (static_cast<double>(first + 1) + static_cast<double>(end)) / 2.0;
    for (std::size_t i = first; i < end; ++i) ranks[order[i]] = mid;
    const double t = static_cast<double>(end - first);
    tieSum += t * t * t - t;
    first = end;
  }
  return tieSum;
}

}  // namespace

RankAccumulator::RankAccumulator(int samples)
    : m_rankSums(static_cast<std::size_t>(std::max(samples, 0)), 0.0),
      m_sizes(static_cast<std::size_t>(std::max(samples, 0)), 0.0) {}

void RankAccumulator::add(std::span<const std::uint32_t> counts) {
  const std::size_t k = std::min(counts.size(), m_sizes.size());
  double t = 0;
  for (std::size_t i = 0; i < k; ++i) t += counts[i];
  if (t == 0) return;
  // The value occupies ranks total + 1 .. total + t.
  const double mid = m_total + (t + 1.0) / 2.0;
  for (std::size_t i = 0; i < k; ++i) {
    m_rankSums[i] += counts[i] * mid;
    m_sizes[i] += counts[i];
  }
  m_total += t;
  m_tieSum += t * t * t - t;
}

SampleTestResult WilcoxonRankSum(const RankAccumulator& acc, int sides) {
  SampleTestResult r;
  if (acc.samples() < 2) return r;
  const double n1 = acc.size(0);
  const double n = n1 + acc.size(1);
  // The rank sums are those of the joint ranking of every sample held; with values in a third
  // sample they are not the ranks of these two and the test would be meaningless.
  if (acc.total() != n) return r;
  return WilcoxonFromRanks(acc.rankSum(0), n1, acc.size(1), acc.tieSum(), sides);
}

SampleTestResult WilcoxonFromRanks(double w, double n1, double n2, double tieSum, int sides) {
  SampleTestResult r;
  if (n1 < 1 || n2 < 1) return r;
  const double n = n1 + n2;
  r.computed = true;
  const double tieFactor = 1.0 - tieSum / (n * n * n - n);
  if (!(tieFactor > 0)) return r;  // every value tied: no ranking at all
  r.statistic = w;
  r.p = RankStatTail(RoundToLong(n1), RoundToLong(n), sides, r.statistic, tieFactor).p;
  return r;
}

SampleTestResult KruskalWallis(const RankAccumulator& acc) {
  SampleTestResult r;
  // An empty sample has no ranks and no mean rank: it does not take part.
  int k = 0;
  double sumSquares = 0;
  for (int i = 0; i < acc.samples(); ++i) {
    if (acc.size(i) <= 0) continue;
    ++k;
    sumSquares += acc.rankSum(i) * acc.rankSum(i) / acc.size(i);
  }
  if (k < 2) return r;
  const double n = acc.total();
  r.computed = true;
  r.df1 = k - 1;
  const double tieFactor = 1.0 - acc.tieSum() / (n * n * n - n);
  if (!(tieFactor > 0)) return r;  // every value tied
  const double h = (12.0 / (n * (n + 1.0)) * sumSquares - 3.0 * (n + 1.0)) / tieFactor;
  r.statistic = MaxReal(h, 0.0);
  r.p = ChiSquareTail(r.statistic, r.df1);
  return r;
}

OneWayResult OneWayAnova(std::span<const TwoSampleSummary> samples) {
  OneWayResult r;
  std::vector<TwoSampleSummary> cells;
  for (const TwoSampleSummary& s : samples)
    if (s.n > 0) cells.push_back(s);
  const int k = static_cast<int>(cells.size());
  double n = 0;
  double ssWithin = 0;
  for (const TwoSampleSummary& s : cells) {
    n += s.n;
    ssWithin += (s.n - 1) * s.sd * s.sd;
  }
  if (k < 2 || n - k < 1) return r;
  // Between-groups sum of squares as sum over pairs of Ni Nj (Mi - Mj)^2 / N: equal means give
  // exactly 0, where the deviations from a grand mean would leave rounding behind.
  double ssBetween = 0;
  for (int i = 0; i < k; ++i) {
    for (int j = i + 1; j < k; ++j) {
      const double d = cells[static_cast<std::size_t>(i)].mean - cells[static_cast<std::size_t>(j)].mean;
      ssBetween += cells[static_cast<std::size_t>(i)].n * cells[static_cast<std::size_t>(j)].n * d * d;
    }
  }
  ssBetween /= n;
  r.dfWithin = RoundToLong(n - k);
  r.msBetween = ssBetween / (k - 1);
  r.msWithin = ssWithin / r.dfWithin;
  r.test.computed = true;
  r.test.df1 = k - 1;
  r.test.df2 = r.dfWithin;
  const VarianceRatio f = RatioOf(r.msBetween, r.msWithin);
  r.test.statistic = f.value;
  r.test.p = f.degenerate ? f.p : FTail(f.value, r.test.df1, r.test.df2);
  return r;
}

SampleTestResult PairwiseT(const TwoSampleSummary& a, const TwoSampleSummary& b, double msWithin,
                           std::int32_t dfWithin, int sides) {
  SampleTestResult r;
  if (a.n <= 0 || b.n <= 0 || dfWithin < 1) return r;
  r.computed = true;
  r.df1 = dfWithin;
  const double d = a.mean - b.mean;
  const VarianceRatio t2 = RatioOf(d * d, msWithin * (1 / a.n + 1 / b.n));
  if (t2.degenerate) {
    r.p = t2.p;
    return r;
  }
  r.statistic = std::sqrt(t2.value);
  r.p = TTail(r.statistic, dfWithin, sides);
  return r;
}

SampleTestResult OneSampleT(const TwoSampleSummary& values, int sides) {
  SampleTestResult r;
  if (values.n < 2) return r;
  r.computed = true;
  r.df1 = RoundToLong(values.n - 1);
  const VarianceRatio t2 = RatioOf(values.mean * values.mean, values.sd * values.sd / values.n);
  if (t2.degenerate) {
    r.p = t2.p;
    return r;
  }
  r.statistic = std::sqrt(t2.value);
  r.p = TTail(r.statistic, r.df1, sides);
  return r;
}

SignRankResult SignRankTest(std::span<const double> differences, int sides) {
  SignRankResult r;
  std::vector<double> nonZero;
  for (double d : differences)
    if (std::abs(d) > kDifferenceTolerance) nonZero.push_back(d);
  r.nonZero = static_cast<int>(nonZero.size());
  if (r.nonZero <= 3) return r;
  std::vector<double> magnitudes(nonZero.size());
  for (std::size_t i = 0; i < nonZero.size(); ++i) magnitudes[i] = std::abs(nonZero[i]);
  std::vector<double> ranks(nonZero.size());
  // Differences of the same size may differ in their last bits (0.3 - 0.1 against 0.5 - 0.3): they
  // tie within the tolerance that also decides a zero.
  const double tieSum = MidRanks(magnitudes, ranks, [](double first, double next) {
    return next - first <= kDifferenceTolerance * MaxReal(1.0, first);
  });
  double negatives = 0;
  for (std::size_t i = 0; i < nonZero.size(); ++i)
    if (nonZero[i] < 0) negatives += ranks[i];
  r.test.computed = true;
  r.test.statistic = negatives;
  r.test.p = RankStatTail(0, r.nonZero, sides, negatives, tieSum / 2.0).p;
  return r;
}

SampleTestResult FriedmanTest(std::span<const double> records, int k) {
  SampleTestResult r;
  if (k < 2 || records.size() % static_cast<std::size_t>(k) != 0) return r;
  const std::size_t width = static_cast<std::size_t>(k);
  const std::size_t count = records.size() / width;
  if (count < 4) return r;
  std::vector<double> rankSums(width, 0.0);
  std::vector<double> ranks(width);
  for (std::size_t i = 0; i < count; ++i) {
    // The values of one record come straight from the file: only equal values tie.
    MidRanks(records.subspan(i * width, width), ranks, [](double a, double b) { return a == b; });
    for (std::size_t j = 0; j < width; ++j) rankSums[j] += ranks[j];
  }
  const double n = static_cast<double>(count);
  double sumSquares = 0;
  for (double rj : rankSums) sumSquares += rj * rj;
  const double tg = 12.0 * sumSquares / (n * k * (k + 1.0)) - 3.0 * n * (k + 1.0);
  r.computed = true;
  r.statistic = MaxReal(tg, 0.0);
  r.df1 = k - 1;
  // Few records of few variables: the chi-square tail is too generous there, so the statistic is
  // scaled down before its p-value is taken (the line still shows the statistic itself).
  double x = r.statistic;
  if (k <= 3 && count <= 9) {
    if (x < 6.5) {
      x = 0.938 * x;
    } else if (x < 8.5) {
      x = 1.45 * x - 3.325;
    } else if (x < 9.33) {
      x = 0.4 * x + 5.6;
    }
  }
  r.p = ChiSquareTail(x, r.df1);
  return r;
}

SampleTestResult TwoWayAnova(double n, std::span<const double> means, std::span<const double> comoments) {
  SampleTestResult r;
  const std::size_t width = means.size();
  if (width < 2 || comoments.size() < width * width || n < 2) return r;
  const double k = static_cast<double>(width);
  // Variables: n * sum (Mj - G)^2, written over pairs of means so that equal means give exactly 0.
  double ssVariables = 0;
  for (std::size_t j = 0; j < width; ++j) {
    for (std::size_t l = j + 1; l < width; ++l) {
      const double d = means[j] - means[l];
      ssVariables += d * d;
    }
  }
  ssVariables *= n / k;
  // Records: k * sum over records of the squared deviation of the record mean, which is (1/k) times
  // the sum of all co-moments; the residual is what the records leave of the deviations.
  double all = 0;
  double diagonal = 0;
  for (std::size_t j = 0; j < width; ++j) {
    diagonal += comoments[j * width + j];
    for (std::size_t l = 0; l < width; ++l) all += comoments[j * width + l];
  }
  double ssResidual = diagonal - all / k;
  if (!(ssResidual > kResidualRounding * diagonal)) ssResidual = 0;
  r.computed = true;
  r.df1 = static_cast<std::int32_t>(width - 1);
  r.df2 = RoundToLong((k - 1) * (n - 1));
  const VarianceRatio f = RatioOf(ssVariables / (k - 1), ssResidual / r.df2);
  r.statistic = f.value;
  r.p = f.degenerate ? f.p : FTail(f.value, r.df1, r.df2);
  return r;
}

// The cells are ordered by their means and each row, from the smallest mean on, is compared with
// the far end of the order first and then inwards. A pair that is not significant at alphaA closes
// a range of cells whose means do not differ: every pair inside that range is taken as not
// different without a test, so the row ends there, and every later row (its cell lies inside the
// range) stops short of that pair's far cell, testing only the cells behind it. Within a row the
// mark can only weaken inwards: once a pair was "+", nearer pairs are "+" even below alphaB.
std::vector<char> PairwiseComparisons(std::span<const double> means,
                                      const std::function<double(int, int)>& test, double alphaA,
                                      double alphaB) {
  const int m = static_cast<int>(means.size());
  std::vector<char> marks(static_cast<std::size_t>(m) * static_cast<std::size_t>(m), '.');
  std::vector<int> order(static_cast<std::size_t>(m));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return means[static_cast<std::size_t>(a)] < means[static_cast<std::size_t>(b)];
  });
  auto mark = [&](int i, int j, char c) {
    marks[static_cast<std::size_t>(i) * static_cast<std::size_t>(m) + static_cast<std::size_t>(j)] = c;
    marks[static_cast<std::size_t>(j) * static_cast<std::size_t>(m) + static_cast<std::size_t>(i)] = c;
  };
  int limit = 0;  // positions in the order nearer than this are not tested in the rows to come
  for (int a = 0; a < m - 1; ++a) {
    const int row = order[static_cast<std::size_t>(a)];
    bool plusSeen = false;
    for (int b = m - 1; b > a && b >= limit; --b) {
      const int column = order[static_cast<std::size_t>(b)];
      const double p = test(row, column);
      if (!(p < alphaA)) {  // a p-value that is not a number proves nothing either
        mark(row, column, '-');
        limit = b + 1;
        break;
      }
      if (p < alphaB && !plusSeen) {
        mark(row, column, 'x');
      } else {
        mark(row, column, '+');
        plusSeen = true;
      }
    }
  }
  return marks;
}

}  // namespace veltrix
