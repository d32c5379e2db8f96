// The direct tests: tests on numbers the user types in, without a statistics file. Each shows its value
// dialog, checks the entries, computes the test and writes one result sheet ("Ergebnis") through the
// table manager. The computations are separate functions, so that they can be checked on their own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/stats/significance.h"
#include "core/stats/two_sample_test.h"

namespace veltrix {

class TTMng;
class Ui;

inline constexpr int kTwoSampleTTestCode = 5010;
inline constexpr int kMcNemarCode = 5050;
inline constexpr int kSensitivityCode = 5070;
inline constexpr int kGoodnessOfFitCode = 5610;
inline constexpr int kMaxGoodnessOfFitCategories = 15;

// Whether the menu entry of code has a test (the other entries of the menu compute nothing).
bool HasDirectTest(int code);

struct McNemarResult {
  double chiSquare = 0;
  double p = -1;  // -1: a negative cell, no test
};
// Four-fold table a (pos./pos.), b (pos./neg.), c (neg./pos.), d (neg./neg.): the continuity-corrected
// chi-square max(|b - c| - 1, 0)^2 / (b + c + 1) with 1 degree of freedom.
McNemarResult McNemarTest(double a, double b, double c, double d);

struct DiagnosticRatios {
  double sensitivity = 0;         // a / (a + c)
  double specificity = 0;         // d / (b + d)
  double positivePredictive = 0;  // a / (a + b)
  double negativePredictive = 0;  // d / (c + d)
  double efficiency = 0;          // (a + d) / (a + b + c + d)
};
// a test positive and truly positive, b test positive and truly negative, c test negative and truly
// positive, d test negative and truly negative; a ratio whose denominator is not above 0 is 0.
DiagnosticRatios DiagnosticTest(double a, double b, double c, double d);

struct GoodnessOfFitResult {
  std::vector<double> probabilities;  // scaled to sum 1, the missing mass shared out
  std::vector<double> expected;       // N * p_i
  double n = 0;
  double chiSquare = 0;
  int df = 0;
  double p = 1;
  bool tested = false;  // false: fewer than 2 categories, a negative entry, or N = 0
};
// Observed counts and theoretical probabilities per category. Probabilities summing to more than
// 1.0005 are scaled down; to less than 0.9995, the missing mass goes in equal parts to the categories
// with probability 0, or to all when none has 0. A category expecting 0 contributes 0 when none was
// observed in it; one observation there makes chi-square 1000000.
GoodnessOfFitResult GoodnessOfFit(const std::vector<double>& observed,
                                  const std::vector<double>& probabilities);

// Runs the test of code: its dialog, preset with the texts of an earlier run when given (row by
// row), the computation and the sheet in table 1 (the tables are cleared first). Returns the texts
// the dialog was confirmed with, or nothing when the user cancelled or code has no test.
std::optional<std::vector<std::string>> TDTest(int code, Ui& ui, const SignificanceLevels& levels,
                                               TTMng& tables, const std::vector<std::string>* preset);

}  // namespace veltrix
