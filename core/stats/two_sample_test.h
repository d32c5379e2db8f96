// The t-test of two independent samples from their means, standard deviations and sizes, with the
// F-test of equal variances that chooses between the pooled and the unequal-variance form. The
// direct test and the statistical parameters of an analysis share it.
#pragma once

#include <cstdint>

namespace veltrix {

struct TwoSampleSummary {
  double mean = 0;
  double sd = 0;
  double n = 0;
};

struct TTwoSampleResult {
  double t = 0;
  std::int32_t df = 0;
  double p = 1;
  // The variance test: F = larger variance / smaller variance with the degrees of freedom of the
  // larger first; pF doubled when two-sided.
  double f = 1;
  std::int32_t fDf1 = 0;
  std::int32_t fDf2 = 0;
  double pF = 1;
  bool unequalVariances = false;  // pF < 0.05 (a fixed level), or exactly one SD of 0
  // Both SDs are 0 (or a sample has fewer than 2 values): no variance to test; p is 0 when the means
  // differ and 1 (with t = 0) when they are equal or a sample is too small.
  bool degenerate = false;
};

// sides: 1 one-sided, any other value two-sided.
TTwoSampleResult TwoSampleTTest(const TwoSampleSummary& a, const TwoSampleSummary& b, int sides);

}  // namespace veltrix
