// The square matrix of the multivariate analyses and the cross tables, with its operations: fill,
// transpose, combine, multiply, delete and exchange rows and columns, correlations to covariances,
// inversion with rank and determinant, eigenvalues of a symmetric matrix and percentage tables.
#pragma once

#include <array>

namespace veltrix {

// Indices 0..30 in both directions.
inline constexpr int kMatDim = 31;
// Variables a matrix holds: rows and columns 1..30.
inline constexpr int kMatMaxVars = 30;

// Indexing: data live in rows and columns 1..n, as the callers number their variables; row 0 and
// column 0 are the caller's own (only MatZero and MatIdentity, which clear the whole matrix, write
// them). A used size passed to an operation is clamped to 0..30, and every operation touches only the
// used block. Values are doubles, rounded to six-byte reals only where a matrix is stored (the matrix
// work file). A fixed-size value: copies and results never allocate.
struct Matrix {
  std::array<std::array<double, kMatDim>, kMatDim> cell{};

  std::array<double, kMatDim>& operator[](int row) { return cell[row]; }
  const std::array<double, kMatDim>& operator[](int row) const { return cell[row]; }

  friend bool operator==(const Matrix&, const Matrix&) = default;
};

// A vector numbered like a matrix row: elements 1..n, element 0 unused.
using MatVector = std::array<double, kMatDim>;

// Sizes after a deletion.
struct MatSize {
  int rows = 0;
  int columns = 0;
};

// The computing operations return a fresh matrix that holds the result in the used block and 0
// elsewhere, so a result may be assigned to one of its own arguments (a = MatMultiply(a, b, ...)).

// All elements 0.
void MatZero(Matrix& m);
// Zero, then m[i][i] = 1 for i = 1..n.
void MatIdentity(Matrix& m, int n);
// t[j][i] = a[i][j] for i = 1..rows, j = 1..columns.
Matrix MatTranspose(const Matrix& a, int rows, int columns);
// alpha a[i][j] + beta b[i][j] + gamma over the rows x columns block.
Matrix MatCombine(const Matrix& a, const Matrix& b, int rows, int columns, double alpha, double beta,
                  double gamma);
// a (rows x inner) times b (inner x columns), each element summed in long double.
Matrix MatMultiply(const Matrix& a, const Matrix& b, int rows, int inner, int columns);

// Removes row `row` and column `column` of the rows x columns block by moving the following rows up
// and columns left; the freed last row and column of the block become 0. An index of 0 (or one outside
// the block) removes nothing in that direction, and only a count whose row or column went shrinks.
MatSize MatDeleteRowCol(Matrix& m, int rows, int columns, int row, int column);
// Exchange rows (columns) i and j over columns (rows) 1..n; an index outside 1..n changes nothing.
void MatSwapRows(Matrix& m, int n, int i, int j);
void MatSwapCols(Matrix& m, int n, int i, int j);

// Correlations to covariances: m[i][i] = sd[i]^2 and m[i][j] = m[j][i] = r_ij sd[i] sd[j], r_ij read
// from the upper triangle (i < j). The standard deviations come as a vector of their own (elements
// 1..n): kept inside the matrix they would cover a variable once all 30 are in use.
void CorrToCov(Matrix& m, int n, const MatVector& sd);

// Pivots smaller than this in magnitude end an inversion, as does a running determinant below
// kInvertMinDet before the next pivot; the determinant's magnitude is kept at kInvertMaxDet at most.
inline constexpr double kInvertMinPivot = 1e-6;
inline constexpr double kInvertMinDet = 1e-7;
inline constexpr double kInvertMaxDet = 1e37;

struct MatInverse {
  // The inverse in the order of the input rows and columns when rank == n; all 0 when the inversion
  // stopped early.
  Matrix inverse;
  // Pivots taken before a stop (n when complete).
  int rank = 0;
  // Product of the pivots with the sign of the row exchanges: the determinant, held at a magnitude of
  // 1e37 at most (a larger one stays at 1e37 with its true sign); 0 when the inversion stopped.
  double det = 0;
  // used[1..rank]: the input rows that received a pivot, ascending.
  std::array<int, kMatDim> used{};
};

// Gauss-Jordan inversion of the n x n block with partial pivoting (the largest magnitude of the pivot
// column among the rows not yet used). A pivot below kInvertMinPivot, or a running determinant below
// kInvertMinDet, stops the inversion there: the rows without a pivot at that point are those not in
// `used`, which for a dependent row early in the order includes every later row too.
MatInverse MatInvert(const Matrix& a, int n);

struct EigenSystem {
  // Column k holds the eigenvector of values[k]: divided by its first component when that exceeds
  // 1e-6 in magnitude, else of unit length.
  Matrix vectors;
  // values[1..n], descending.
  MatVector values{};
  // The largest magnitude among the eigenvalues.
  double maxabs = 0;
  int sweeps = 0;
  int rotations = 0;
  // False when the sweep budget ran out before the threshold reached its final value ("poor
  // convergence"); the values and vectors are then those reached.
  bool converged = true;
};

// The default sweep budget of Eigen: 35 n^2.
int EigenBudget(int n);
// Cyclic Jacobi method with a decreasing threshold for the symmetric n x n block of a (its upper
// triangle is read). The threshold starts at norm / n (norm = sqrt(2 * sum of the squared off-diagonal
// elements)) and is divided by n after every sweep without a rotation, until it falls to max(0.001 *
// norm / n, 0.0005); every sweep uses one unit of the budget.
EigenSystem Eigen(const Matrix& a, int n);
EigenSystem Eigen(const Matrix& a, int n, int budget);

// Derived tables of a frequency table of rows x columns cells, with the column sums in row rows + 1,
// the row sums in column columns + 1 and the grand total in their corner. mode = code mod 10:
// 0 leaves the table as it is; 1 multiplies each column, its sum and the row-sum column included, by
// 100 / column sum (0 when that sum is 0.5 or less); 2 does the same for each row with its row sum;
// 3 replaces each cell by row sum * column sum / grand total (0 when the total is 0.5 or less), the
// sums kept. The sums need rows and columns of at most 29; larger sizes, negative sizes and other modes
// leave the table unchanged and give false.
bool CrossPercent(Matrix& table, int rows, int columns, int code);

}  // namespace veltrix
