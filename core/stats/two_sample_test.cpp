#include "core/stats/two_sample_test.h"

#include <cmath>
#include <limits>

#include "core/stats/distributions.h"
#include "core/stats/guarded_math.h"

namespace veltrix {

TTwoSampleResult TwoSampleTTest(const TwoSampleSummary& a, const TwoSampleSummary& b, int sides) {
  TTwoSampleResult r;
  if (a.n < 2 || b.n < 2) {
    r.degenerate = true;
    return r;
  }
  const double va = a.sd * a.sd;
  const double vb = b.sd * b.sd;
  const bool aLarger = va >= vb;
  r.fDf1 = RoundToLong((aLarger ? a.n : b.n) - 1);
  r.fDf2 = RoundToLong((aLarger ? b.n : a.n) - 1);
  if (va == 0 && vb == 0) {
    // Nothing varies: the means either are the same or differ with certainty.
    r.degenerate = true;
    r.p = a.mean == b.mean ? 1.0 : 0.0;
    return r;
  }
  const double smaller = aLarger ? vb : va;
  if (smaller == 0) {
    // One sample does not vary: the variances differ for certain, so the unequal-variance form
    // is the right one (the variance test would choose it at any level).
    r.f = std::numeric_limits<double>::infinity();
    r.pF = 0;
  } else {
    r.f = (aLarger ? va : vb) / smaller;
    r.pF = FTail(r.f, r.fDf1, r.fDf2);
    if (sides != 1) r.pF = MinReal(2 * r.pF, 1.0);
  }
  double s = 0;
  if (r.pF < 0.05) {
    r.unequalVariances = true;
    const double qa = va / a.n;
    s = qa + vb / b.n;
    const double c = qa / s;
    r.df = RoundToLong(1 / (c * c / (a.n - 1) + (1 - c) * (1 - c) / (b.n - 1)));
  } else {
    r.df = RoundToLong(a.n + b.n - 2);
    s = ((a.n - 1) * va + (b.n - 1) * vb) / r.df * (1 / a.n + 1 / b.n);
  }
  r.t = std::abs(a.mean - b.mean) / std::sqrt(s);
  r.p = TTail(r.t, r.df, sides);
  return r;
}

}  // namespace veltrix
