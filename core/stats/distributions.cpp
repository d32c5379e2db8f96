#include "core/stats/distributions.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

#include "core/stats/guarded_math.h"

namespace veltrix {

namespace {

constexpr double kOverwhelming = 1e-20;
const double kSqrtTwoPi = std::sqrt(2.0 * std::numbers::pi);

// Count table of an exact rank distribution: one row per rank (signed rank) or per sample size (rank
// sum), each counting the rank assignments for every statistic value 0..152. Zero-filled when made,
// made for one computation.
class TRGSCal {
 public:
  static constexpr int kMaxRows = 26;
  static constexpr int kMaxValue = 152;
  static constexpr int kValues = kMaxValue + 1;

  explicit TRGSCal(int rows) : m_counts(static_cast<std::size_t>(rows) * kValues, 0.0) {}

  double& at(int row, int value) { return m_counts[index(row, value)]; }

 private:
  static std::size_t index(int row, int value) {
    return static_cast<std::size_t>(row) * kValues + static_cast<std::size_t>(value);
  }

  std::vector<double> m_counts;
};

// Number of subsets of {1..n} with each sum 0..k, summed: row r counts the subsets of {1..r}, made
// from row r - 1 and its copy shifted by r.
double SignedRankLowerCount(int n, int k) {
  if (n < 1) return 1.0;  // only the empty set, with sum 0
  TRGSCal table(n);
  table.at(0, 0) = 1.0;
  if (k >= 1) table.at(0, 1) = 1.0;
  for (int r = 2; r <= n; ++r) {
    const int row = r - 1;
    for (int s = 0; s <= k; ++s) {
      table.at(row, s) = table.at(row - 1, s) + (s >= r ? table.at(row - 1, s - r) : 0.0);
    }
  }
  double sum = 0.0;
  for (int s = 0; s <= k; ++s) sum += table.at(n - 1, s);
  return sum;
}

// Number of n1-subsets of {1..n} whose rank sum is at most k. The table is indexed by the rank sum
// itself (values below the least sum n1(n1+1)/2 stay 0); row j - 1 counts the subsets of size j of
// the ranks taken so far, and rank i adds row j - 2 shifted by i to row j - 1.
double RankSumLowerCount(int n1, int n, int k) {
  TRGSCal table(n1);
  for (int i = 1; i <= n; ++i) {
    for (int j = (i < n1 ? i : n1); j >= 2; --j) {
      for (int s = k; s >= i; --s) table.at(j - 1, s) += table.at(j - 2, s - i);
    }
    if (i <= k) table.at(0, i) += 1.0;  // the subset {i} alone
  }
  double sum = 0.0;
  for (int s = 0; s <= k; ++s) sum += table.at(n1 - 1, s);
  return sum;
}

double BinomialCoefficient(int n, int m) {
  double result = 1.0;
  for (int i = 1; i <= m; ++i) result = result * (n - m + i) / i;
  return result;
}

// Upper-tail series for even numerator df m: the logarithm of x^(n/2) * sum over k < m/2 of T(k).
double LogEvenSeries(int m, int n, double x) {
  double term = 1.0;
  double sum = 1.0;
  for (int k = 1; k <= m / 2 - 1; ++k) {
    term = term * (n + 2.0 * k - 2.0) * (1.0 - x) / (2.0 * k);
    sum += term;
  }
  return n / 2.0 * SafeLn(x) + SafeLn(sum);
}

// Beta variable of f for numerator df m and denominator df n.
double BetaVariable(int m, int n, double f) {
  return n / (n + m * f);
}

}  // namespace

double NormalTail(double z, int sides) {
  const double a = std::fabs(z);
  if (a > 13.0) return kOverwhelming;
  const double t = 1.0 / (1.0 + 0.2316419 * a);
  const double phi = SafeExp(-a * a / 2.0) / kSqrtTwoPi;
  double q =
      phi * t * (0.31938153 + t * (-0.356563782 + t * (1.781477937 + t * (-1.821255978 + t * 1.330274429))));
  if (sides != 1) q *= 2.0;
  return q;
}

double NormalQuantile(double p) {
  const bool upper = p > 0.5;
  const double q = upper ? 1.0 - p : p;
  const double t = std::sqrt(-2.0 * SafeLn(q));
  const double x = t - (2.515517 + 0.802853 * t + 0.010328 * t * t) /
                           (1.0 + 1.432788 * t + 0.189269 * t * t + 0.001308 * t * t * t);
  return upper ? x : -x;
}

double NormalCritical(double alpha) {
  if (alpha > 0.5) alpha = 1.0 - alpha;
  return -NormalQuantile(alpha / 2.0);
}

double TTail(double t, int df, int sides) {
  if (df < 1) return 1.0;
  const double a = std::fabs(t);
  if (df > 15) {
    const double z = a * (1.0 - 1.0 / (4.0 * df)) / std::sqrt(1.0 + a * a / (2.0 * df));
    return NormalTail(z, sides);
  }
  const double theta = std::atan(a / std::sqrt(static_cast<double>(df)));
  double p = 0.0;
  if (df == 1) {
    p = 0.5 - theta / std::numbers::pi;
  } else {
    const double c = std::cos(theta);
    const bool odd = df % 2 == 1;
    double term = odd ? c : 1.0;
    double i = odd ? 2.0 : 1.0;
    double j = odd ? 3.0 : 2.0;
    double sum = 0.0;
    for (int step = 0; step < df / 2; ++step) {
      sum += term;
      term = term * c * c * i / j;
      i += 2.0;
      j += 2.0;
    }
    double area = std::sin(theta) * sum;
    if (odd) area = (theta + area) * 2.0 / std::numbers::pi;
    // For a huge t the area can pass 1 by a rounding step; a tail is never below 0.
    p = area < 1.0 ? (1.0 - area) / 2.0 : 0.0;
  }
  if (sides != 1) p *= 2.0;
  return p;
}

double ChiSquareTail(double x, int df) {
  if (x <= 1e-5 || df < 1) return 1.0;
  if (df > 30) {
    const double v = 2.0 / (9.0 * df);
    const double z = (SafeExp(SafeLn(x / df) / 3.0) + v - 1.0) / std::sqrt(v);
    const double p = NormalTail(z, 1);
    return z < 0.0 ? 1.0 - p : p;
  }
  if (x > 180.0) return kOverwhelming;
  const double s = std::sqrt(x);
  const double q1 = NormalTail(s, 1);
  if (df == 1) return 2.0 * q1;
  if (df % 2 == 1) {
    double sum = 0.0;
    double term = s;
    double d = 1.0;
    for (int step = 0; step < (df - 1) / 2; ++step) {
      term /= d;
      sum += term;
      term *= x;
      d += 2.0;
    }
    return 2.0 * (q1 + SafeExp(SafeLn(sum) - x / 2.0) / kSqrtTwoPi);
  }
  double sum = 1.0;
  double term = x;
  double d = 2.0;
  for (int step = 0; step < df / 2 - 1; ++step) {
    term /= d;
    sum += term;
    term *= x;
    d += 2.0;
  }
  return SafeExp(SafeLn(sum) - x / 2.0);
}

double FTail(double f, int df1, int df2) {
  if (f <= 0.0001 || df1 < 1 || df2 < 1) return 1.0;
  if (df1 == 1) return 2.0 * TTail(std::sqrt(f), df2, 1);
  if (df2 == 1) return 1.0 - 2.0 * TTail(std::sqrt(1.0 / f), df1, 1);
  const bool exchanged = f < 1.0;
  if (exchanged) {
    const int swap = df1;
    df1 = df2;
    df2 = swap;
    f = 1.0 / f;
  }
  const double x = BetaVariable(df1, df2, f);
  double p = 0.0;
  if ((df1 > 29 && df2 > 29) || df1 > 50 || df2 > 50) {
    const double a = 2.0 / (9.0 * df1);
    const double b = 2.0 / (9.0 * df2);
    const double g = std::cbrt(f);
    const double z = ((1.0 - b) * g - (1.0 - a)) / std::sqrt(b * g * g + a);
    p = NormalTail(z, 1);
    if (z < 0.0) p = 1.0 - p;
  } else if (df1 < 30) {
    if (df1 % 2 == 0) {
      p = SafeExp(LogEvenSeries(df1, df2, x));
    } else if (df2 % 2 == 0 && df2 < 30) {
      p = 1.0 - SafeExp(LogEvenSeries(df2, df1, 1.0 - x));
    } else {
      auto logTail = [&](int m) { return LogEvenSeries(m, df2, BetaVariable(m, df2, f)); };
      p = SafeExp((3.0 * logTail(df1 - 1) + 6.0 * logTail(df1 + 1) - logTail(df1 + 3)) / 8.0);
    }
  } else if (df2 % 2 == 0) {
    p = 1.0 - SafeExp(LogEvenSeries(df2, df1, 1.0 - x));
  } else {
    auto logLower = [&](int m) { return LogEvenSeries(m, df1, 1.0 - BetaVariable(df1, m, f)); };
    p = 1.0 - SafeExp((3.0 * logLower(df2 - 1) + 6.0 * logLower(df2 + 1) - logLower(df2 + 3)) / 8.0);
  }
  if (exchanged) p = 1.0 - p;
  return p < 0.0 ? 0.0 : p;  // 1 - exp(L) can round below 0 when L rounds to just above 0
}

double CorrelationTail(int n, int sides, double r) {
  if (n < 3) return 1.0;
  const double d = 1.0 - r * r;
  if (d < 1e-19) return 0.0;
  const double t = r * std::sqrt((n - 2) / d);
  return TTail(t, n - 2, sides);
}

RankTail RankStatTail(int n1, int n, int sides, double w, double c) {
  const bool signedRank = n1 <= 0;
  const double expected = signedRank ? n * (n + 1.0) / 4.0 : n1 * (n + 1.0) / 2.0;
  if (w > expected) w = 2.0 * expected - w;
  const std::int32_t rounded = RoundToLong(w - 0.1);
  const int k = rounded < 0 ? 0 : static_cast<int>(rounded);

  RankTail result;
  if (n > TRGSCal::kMaxRows || k > TRGSCal::kMaxValue) {
    const double variance =
        signedRank ? ((2.0 * n + 1.0) * expected - c / 4.0) / 6.0 : (n - n1) * expected * c / 6.0;
    result.approximated = true;
    if (!(variance > 0.0)) {
      // All ranks alike (or a tie term that leaves no spread): the statistic says nothing.
      result.expectedOrScore = 0.0;
      result.p = 1.0;
      return result;
    }
    const double z = (w - expected) / std::sqrt(variance);
    result.expectedOrScore = z;
    result.p = NormalTail(z, sides);
    return result;
  }

  result.expectedOrScore = expected;
  if (!signedRank && n1 > n) {
    result.p = 1.0;  // no first sample of that size exists
    return result;
  }
  const double lower = signedRank ? SignedRankLowerCount(n, k) : RankSumLowerCount(n1, n, k);
  const double total = signedRank ? std::ldexp(1.0, n < 0 ? 0 : n) : BinomialCoefficient(n, n1);
  double p = lower / total;
  if (sides != 1) p *= 2.0;
  result.p = p > 1.0 ? 1.0 : p;
  return result;
}

}  // namespace veltrix
