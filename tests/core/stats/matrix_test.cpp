#include "core/stats/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace veltrix {
namespace {

using Rows = std::vector<std::vector<double>>;

// The rows given fill the block from row 1, column 1.
Matrix FromRows(const Rows& rows) {
  Matrix m;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = 0; j < rows[i].size(); ++j) m[int(i) + 1][int(j) + 1] = rows[i][j];
  }
  return m;
}

void ExpectBlock(const Matrix& m, const Rows& expected, double tolerance) {
  for (std::size_t i = 0; i < expected.size(); ++i) {
    for (std::size_t j = 0; j < expected[i].size(); ++j) {
      SCOPED_TRACE(testing::Message() << "element " << i + 1 << "," << j + 1);
      EXPECT_NEAR(m[int(i) + 1][int(j) + 1], expected[i][j], tolerance);
    }
  }
}

// Nothing outside rows x columns of the block.
void ExpectZeroOutside(const Matrix& m, int rows, int columns) {
  for (int i = 0; i < kMatDim; ++i) {
    for (int j = 0; j < kMatDim; ++j) {
      if (i >= 1 && i <= rows && j >= 1 && j <= columns) continue;
      EXPECT_EQ(m[i][j], 0.0) << "element " << i << "," << j;
    }
  }
}

TEST(Matrix, IdentityTransposeAndCombineFillOnlyTheBlock) {
  Matrix m = FromRows({{5, 5}, {5, 5}});
  m[0][0] = 7;
  MatIdentity(m, 3);
  ExpectBlock(m, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, 0);
  ExpectZeroOutside(m, 3, 3);

  const Matrix a = FromRows({{1, 2, 3}, {4, 5, 6}});
  const Matrix t = MatTranspose(a, 2, 3);
  ExpectBlock(t, {{1, 4}, {2, 5}, {3, 6}}, 0);
  ExpectZeroOutside(t, 3, 2);

  // 2 a - b + 1 element by element: 2*1 - 6 + 1 = -3, 2*2 - 5 + 1 = 0, ...
  const Matrix b = FromRows({{6, 5, 4}, {3, 2, 1}});
  const Matrix c = MatCombine(a, b, 2, 3, 2.0, -1.0, 1.0);
  ExpectBlock(c, {{-3, 0, 3}, {6, 9, 12}}, 0);
  ExpectZeroOutside(c, 2, 3);

  MatZero(m);
  ExpectZeroOutside(m, 0, 0);
}

TEST(Matrix, MultiplyGivesTheProductOfTheUsedBlocks) {
  // By hand: row 1 (1 2 3) . columns (7 9 11), (8 10 12) = 58, 64; row 2 (4 5 6) gives 139, 154.
  Matrix a = FromRows({{1, 2, 3}, {4, 5, 6}});
  a[1][4] = 100;  // outside the 2 x 3 block: must not take part
  const Matrix b = FromRows({{7, 8}, {9, 10}, {11, 12}});
  const Matrix p = MatMultiply(a, b, 2, 3, 2);
  ExpectBlock(p, {{58, 64}, {139, 154}}, 0);
  ExpectZeroOutside(p, 2, 2);
  // A product may replace its own argument.
  Matrix square = FromRows({{1, 1}, {0, 1}});
  square = MatMultiply(square, square, 2, 2, 2);
  ExpectBlock(square, {{1, 2}, {0, 1}}, 0);
}

TEST(Matrix, MultiplySumsInLongDouble) {
  if (std::numeric_limits<long double>::digits <= std::numeric_limits<double>::digits) {
    GTEST_SKIP() << "long double is no wider than double here";
  }
  // 1e16 + 1 - 1e16: a double sum loses the 1 (its spacing at 1e16 is 2), a 64-bit mantissa keeps it.
  const Matrix a = FromRows({{1e16, 1, -1e16}});
  const Matrix b = FromRows({{1}, {1}, {1}});
  EXPECT_EQ(MatMultiply(a, b, 1, 3, 1)[1][1], 1.0);
}

struct DeleteCase {
  const char* what;
  int row;
  int column;
  int rows;
  int columns;
  Rows expected;
};

TEST(Matrix, DeleteRowColShiftsTheFollowingRowsAndColumns) {
  // The start is 11 12 13 / 21 22 23 / 31 32 33 (row and column as digits).
  const DeleteCase cases[] = {
      {"row 0 removes only the column", 0, 2, 3, 2, {{11, 13}, {21, 23}, {31, 33}}},
      {"column 0 removes only the row", 2, 0, 2, 3, {{11, 12, 13}, {31, 32, 33}}},
      {"both", 1, 3, 2, 2, {{21, 22}, {31, 32}}},
      {"the last row and column", 3, 3, 2, 2, {{11, 12}, {21, 22}}},
      {"indices outside the block remove nothing", 4, -1, 3, 3, {{11, 12, 13}, {21, 22, 23}, {31, 32, 33}}},
  };
  for (const DeleteCase& c : cases) {
    SCOPED_TRACE(c.what);
    Matrix m = FromRows({{11, 12, 13}, {21, 22, 23}, {31, 32, 33}});
    const MatSize size = MatDeleteRowCol(m, 3, 3, c.row, c.column);
    EXPECT_EQ(size.rows, c.rows);
    EXPECT_EQ(size.columns, c.columns);
    ExpectBlock(m, c.expected, 0);
    ExpectZeroOutside(m, c.rows, c.columns);
  }
}

TEST(Matrix, SwapsExchangeRowsOrColumnsOfTheUsedSize) {
  Matrix m = FromRows({{1, 2}, {3, 4}});
  MatSwapRows(m, 2, 1, 2);
  ExpectBlock(m, {{3, 4}, {1, 2}}, 0);
  MatSwapCols(m, 2, 1, 2);
  ExpectBlock(m, {{4, 3}, {2, 1}}, 0);
  MatSwapRows(m, 2, 1, 3);  // row 3 is outside the used size
  MatSwapCols(m, 2, 0, 1);
  ExpectBlock(m, {{4, 3}, {2, 1}}, 0);
  ExpectZeroOutside(m, 2, 2);
}

TEST(Matrix, CorrToCovScalesByTheStandardDeviations) {
  // r = 0.5 with SDs 2 and 3: variances 4 and 9, covariance 0.5 * 2 * 3 = 3.
  Matrix m = FromRows({{1, 0.5}, {0.5, 1}});
  MatVector sd{};
  sd[1] = 2;
  sd[2] = 3;
  CorrToCov(m, 2, sd);
  ExpectBlock(m, {{4, 3}, {3, 9}}, 1e-15);
}

TEST(Matrix, CorrToCovKeepsTheThirtiethVariable) {
  // With all 30 variables in use, column 30 is a variable: had the SDs been kept there, writing them
  // would have overwritten the correlations r(i, 30), and m[i][30] would come out wrong for every i.
  Matrix m;
  MatVector sd{};
  for (int i = 1; i <= kMatMaxVars; ++i) {
    m[i][i] = 1;
    m[0][i] = -1;  // the caller's own row and column stay as they are
    m[i][0] = -2;
    sd[i] = i;
    for (int j = i + 1; j <= kMatMaxVars; ++j) m[i][j] = m[j][i] = (i + j) / 100.0;
  }
  CorrToCov(m, kMatMaxVars, sd);
  for (int i = 1; i <= kMatMaxVars; ++i) {
    SCOPED_TRACE(testing::Message() << "variable " << i);
    EXPECT_DOUBLE_EQ(m[i][i], double(i) * i);
    for (int j = i + 1; j <= kMatMaxVars; ++j) {
      EXPECT_DOUBLE_EQ(m[i][j], (i + j) / 100.0 * i * j);
      EXPECT_EQ(m[j][i], m[i][j]);
    }
    EXPECT_EQ(m[0][i], -1);
    EXPECT_EQ(m[i][0], -2);
  }
}

struct InvertCase {
  const char* what;
  Rows a;
  Rows inverse;
  double det;
  double tolerance = 1e-14;
};

TEST(Matrix, InvertGivesInverseAndDeterminant) {
  const InvertCase cases[] = {
      // ad - bc = 24 - 14 = 10; inverse (1/10) (6 -7 / -2 4). No row exchange (4 > 2).
      {"2 x 2", {{4, 7}, {2, 6}}, {{0.6, -0.7}, {-0.2, 0.4}}, 10},
      // ad - bc = 4 - 6 = -2; inverse (1/-2) (4 -2 / -3 1). The pivot 3 is in row 2: one exchange,
      // pivots 3 and 2 - 4/3 = 2/3, so the exchange gives the sign.
      {"2 x 2 with a row exchange", {{1, 2}, {3, 4}}, {{-2, 1}, {1.5, -0.5}}, -2},
      // Second difference matrix: det = 2 (4 - 1) - (-1)(-2) = 4; adjugate (3 2 1 / 2 4 2 / 1 2 3).
      {"3 x 3",
       {{2, -1, 0}, {-1, 2, -1}, {0, -1, 2}},
       {{0.75, 0.5, 0.25}, {0.5, 1, 0.5}, {0.25, 0.5, 0.75}},
       4},
      // A x = (2 x3, x1, 3 x2), so x1 = y2, x2 = y3 / 3, x3 = y1 / 2; det = 2 (1 3 - 0) = 6 by the third
      // column. Two row exchanges, undone as two column exchanges in reverse order.
      {"scaled permutation", {{0, 0, 2}, {1, 0, 0}, {0, 3, 0}}, {{0, 1, 0}, {0, 0, 1.0 / 3}, {0.5, 0, 0}}, 6},
      // diag(1e20, -1e20): the product -1e40 passes the guard; it stays at 1e37 with its sign.
      {"determinant held at 1e37", {{1e20, 0}, {0, -1e20}}, {{1e-20, 0}, {0, -1e-20}}, -1e37, 1e-34},
  };
  for (const InvertCase& c : cases) {
    SCOPED_TRACE(c.what);
    const int n = int(c.a.size());
    const MatInverse r = MatInvert(FromRows(c.a), n);
    EXPECT_EQ(r.rank, n);
    EXPECT_DOUBLE_EQ(r.det, c.det);
    ExpectBlock(r.inverse, c.inverse, c.tolerance);
    ExpectZeroOutside(r.inverse, n, n);
    for (int k = 1; k <= n; ++k) EXPECT_EQ(r.used[k], k);
  }
}

struct StopCase {
  const char* what;
  Rows a;
  int rank;
  std::vector<int> used;
};

TEST(Matrix, InvertStopsAtTheFirstMissingPivot) {
  const StopCase cases[] = {
      // Rows 1 and 3 equal: row 3 minus row 1 is 0, so the third pivot is 0 (stops at the second of them).
      {"two identical rows", {{2, 1, 0}, {1, 3, 1}, {2, 1, 0}}, 2, {1, 2}},
      // The pivot column holds 4 in row 3 first; after it, rows 1 and 2 are equal: rank 2, and of the
      // equal pair the one searched later (row 1, now at position 3) misses its pivot.
      {"identical rows behind a larger pivot", {{1, 2, 3}, {1, 2, 3}, {4, 5, 7}}, 2, {2, 3}},
      // Pivot 1e-7 < 1e-6 in the second step.
      {"small pivot", {{1, 0}, {0, 1e-7}}, 1, {1}},
      // Pivots 1e-4 each pass, but the running determinant is 1e-8 < 1e-7 before the third.
      {"small determinant", {{1e-4, 0, 0}, {0, 1e-4, 0}, {0, 0, 1e-4}}, 2, {1, 2}},
      {"zero matrix", {{0, 0}, {0, 0}}, 0, {}},
  };
  for (const StopCase& c : cases) {
    SCOPED_TRACE(c.what);
    const int n = int(c.a.size());
    const MatInverse r = MatInvert(FromRows(c.a), n);
    EXPECT_EQ(r.rank, c.rank);
    EXPECT_EQ(r.det, 0.0);
    ASSERT_EQ(int(c.used.size()), c.rank);
    for (int k = 1; k <= c.rank; ++k) EXPECT_EQ(r.used[k], c.used[k - 1]);
    ExpectZeroOutside(r.inverse, 0, 0);
  }
}

TEST(Matrix, EigenLeavesADiagonalMatrixSortedWithoutRotations) {
  const Matrix a = FromRows({{1, 0, 0}, {0, -5, 0}, {0, 0, 2}});
  const EigenSystem e = Eigen(a, 3);
  EXPECT_EQ(e.rotations, 0);
  EXPECT_EQ(e.sweeps, 1);
  EXPECT_TRUE(e.converged);
  EXPECT_EQ(e.values[1], 2);
  EXPECT_EQ(e.values[2], 1);
  EXPECT_EQ(e.values[3], -5);
  EXPECT_EQ(e.maxabs, 5);
  // The unit vectors follow their values: e3, e1, e2.
  ExpectBlock(e.vectors, {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}, 0);
}

struct EigenCase {
  const char* what;
  Rows a;
  std::vector<double> values;
  Rows vectors;  // as columns
  double valueTolerance;
  double vectorTolerance;
};

TEST(Matrix, EigenOfSymmetricMatrices) {
  const double r2 = std::sqrt(2.0);
  const EigenCase cases[] = {
      // (2 1 / 1 2): eigenvalues 2 +- 1 with vectors (1, 1) and (1, -1); one rotation is exact.
      {"2 x 2", {{2, 1}, {1, 2}}, {3, 1}, {{1, 1}, {1, -1}}, 1e-15, 1e-15},
      // Block (2 1 / 1 2) and 5: value 5 keeps e3 (first component 0, so not scaled).
      {"3 x 3 with a block",
       {{2, 1, 0}, {1, 2, 0}, {0, 0, 5}},
       {5, 3, 1},
       {{0, 1, 1}, {0, 1, -1}, {1, 0, 0}},
       1e-15,
       1e-15},
      // Second difference matrix: 2 - 2 cos(k pi / 4) = 2 + sqrt 2, 2, 2 - sqrt 2, vectors
      // (sin(k pi / 4), sin(2 k pi / 4), sin(3 k pi / 4)) scaled to first component 1:
      // (1, -sqrt 2, 1), (1, 0, -1), (1, sqrt 2, 1). Norm 2: the last sweeps run at the threshold
      // 2 / 3^6 = 9.1e-4, which bounds what stays off the diagonal; with the smallest gap 0.59 the
      // values are then good to about (9.1e-4)^2 / 0.59 = 1.4e-6 and the vectors to about 1.6e-3.
      {"3 x 3 full",
       {{2, -1, 0}, {-1, 2, -1}, {0, -1, 2}},
       {2 + r2, 2, 2 - r2},
       {{1, 1, 1}, {-r2, 0, r2}, {1, -1, 1}},
       2e-6,
       2e-3},
  };
  for (const EigenCase& c : cases) {
    SCOPED_TRACE(c.what);
    const int n = int(c.a.size());
    const EigenSystem e = Eigen(FromRows(c.a), n);
    EXPECT_TRUE(e.converged);
    EXPECT_GT(e.rotations, 0);
    for (int k = 1; k <= n; ++k) EXPECT_NEAR(e.values[k], c.values[k - 1], c.valueTolerance);
    EXPECT_NEAR(e.maxabs, c.values[0], c.valueTolerance);
    ExpectBlock(e.vectors, c.vectors, c.vectorTolerance);
  }
}

TEST(Matrix, EigenReportsAnExhaustedBudget) {
  const Matrix a = FromRows({{2, -1, 0}, {-1, 2, -1}, {0, -1, 2}});
  const EigenSystem e = Eigen(a, 3, 1);
  EXPECT_FALSE(e.converged);
  EXPECT_EQ(e.sweeps, 1);
  EXPECT_EQ(EigenBudget(3), 315);
}

struct CrossCase {
  const char* what;
  int code;
  Rows expected;  // 3 x 3 cells and their sums
};

TEST(Matrix, CrossPercentTables) {
  // Counts 1 0 3 / 3 0 1 / 0 0 0 with row sums 4 4 0, column sums 4 0 4 and total 8: the second
  // column and the third row are empty. Percentages and expected values by hand.
  const Rows counts = {{1, 0, 3, 4}, {3, 0, 1, 4}, {0, 0, 0, 0}, {4, 0, 4, 8}};
  const CrossCase cases[] = {
      {"absolute", 10, counts},
      {"column percent", 1, {{25, 0, 75, 50}, {75, 0, 25, 50}, {0, 0, 0, 0}, {100, 0, 100, 100}}},
      {"row percent", 2, {{25, 0, 75, 100}, {75, 0, 25, 100}, {0, 0, 0, 0}, {50, 0, 50, 100}}},
      // Row sum * column sum / total: 4 * 4 / 8 = 2.
      {"expected, tens digit ignored", 23, {{2, 0, 2, 4}, {2, 0, 2, 4}, {0, 0, 0, 0}, {4, 0, 4, 8}}},
  };
  for (const CrossCase& c : cases) {
    SCOPED_TRACE(c.what);
    Matrix t = FromRows(counts);
    EXPECT_TRUE(CrossPercent(t, 3, 3, c.code));
    ExpectBlock(t, c.expected, 1e-13);
    ExpectZeroOutside(t, 4, 4);
  }
}

TEST(Matrix, CrossPercentTreatsSumsUpToHalfAsEmpty) {
  // A column sum of 0.4 and a total of 0.4: no percentages and no expected values.
  Matrix t = FromRows({{0.4, 0.4}, {0.4, 0.4}});
  EXPECT_TRUE(CrossPercent(t, 1, 1, 1));
  ExpectBlock(t, {{0, 0}, {0, 0}}, 0);
  t = FromRows({{0.4, 0.4}, {0.4, 0.4}});
  EXPECT_TRUE(CrossPercent(t, 1, 1, 3));
  ExpectBlock(t, {{0, 0.4}, {0.4, 0.4}}, 0);
}

TEST(Matrix, CrossPercentRefusesWhatItCannotHold) {
  // With 30 rows the sums would stand in row 31, outside the matrix.
  Matrix t = FromRows({{1, 1}, {1, 1}});
  const Matrix before = t;
  EXPECT_FALSE(CrossPercent(t, 30, 1, 1));
  EXPECT_FALSE(CrossPercent(t, 1, 30, 2));
  EXPECT_FALSE(CrossPercent(t, -1, 1, 1));
  EXPECT_FALSE(CrossPercent(t, 1, 1, 4));
  EXPECT_FALSE(CrossPercent(t, 1, 1, -1));
  EXPECT_EQ(t, before);
}

}  // namespace
}  // namespace veltrix
