#include "core/stats/matrix.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/stats/guarded_math.h"

namespace veltrix {

namespace {

int usedSize(int n) {
  return std::clamp(n, 0, kMatMaxVars);
}

// Eigenvectors whose first component is at least this large are scaled to a first component of 1.
constexpr double kEigenMinFirst = 1e-6;
constexpr double kEigenMinThreshold = 0.0005;
constexpr double kEigenThresholdShare = 0.001;
constexpr int kEigenSweepsPerSquare = 35;
// A total or a sum at or below this counts as empty in the percentage tables.
constexpr double kCrossMinSum = 0.5;

}  // namespace

void MatZero(Matrix& m) {
  for (auto& row : m.cell) row.fill(0.0);
}

void MatIdentity(Matrix& m, int n) {
  MatZero(m);
  n = usedSize(n);
  for (int i = 1; i <= n; ++i) m[i][i] = 1.0;
}

Matrix MatTranspose(const Matrix& a, int rows, int columns) {
  rows = usedSize(rows);
  columns = usedSize(columns);
  Matrix t;
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= columns; ++j) t[j][i] = a[i][j];
  }
  return t;
}

Matrix MatCombine(const Matrix& a, const Matrix& b, int rows, int columns, double alpha, double beta,
                  double gamma) {
  rows = usedSize(rows);
  columns = usedSize(columns);
  Matrix out;
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= columns; ++j) {
      const long double sum =
          static_cast<long double>(alpha) * a[i][j] + static_cast<long double>(beta) * b[i][j] + gamma;
      out[i][j] = static_cast<double>(sum);
    }
  }
  return out;
}

Matrix MatMultiply(const Matrix& a, const Matrix& b, int rows, int inner, int columns) {
  rows = usedSize(rows);
  inner = usedSize(inner);
  columns = usedSize(columns);
  Matrix out;
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= columns; ++j) {
      long double sum = 0.0L;
      for (int k = 1; k <= inner; ++k) sum += static_cast<long double>(a[i][k]) * b[k][j];
      out[i][j] = static_cast<double>(sum);
    }
  }
  return out;
}

MatSize MatDeleteRowCol(Matrix& m, int rows, int columns, int row, int column) {
  rows = usedSize(rows);
  columns = usedSize(columns);
  if (row >= 1 && row <= rows) {
    for (int i = row; i < rows; ++i) {
      for (int j = 1; j <= columns; ++j) m[i][j] = m[i + 1][j];
    }
    for (int j = 1; j <= columns; ++j) m[rows][j] = 0.0;
    --rows;
  }
  if (column >= 1 && column <= columns) {
    for (int i = 1; i <= rows; ++i) {
      for (int j = column; j < columns; ++j) m[i][j] = m[i][j + 1];
      m[i][columns] = 0.0;
    }
    --columns;
  }
  return MatSize{rows, columns};
}

void MatSwapRows(Matrix& m, int n, int i, int j) {
  n = usedSize(n);
  if (i < 1 || i > n || j < 1 || j > n) return;
  for (int k = 1; k <= n; ++k) std::swap(m[i][k], m[j][k]);
}

void MatSwapCols(Matrix& m, int n, int i, int j) {
  n = usedSize(n);
  if (i < 1 || i > n || j < 1 || j > n) return;
  for (int k = 1; k <= n; ++k) std::swap(m[k][i], m[k][j]);
}

void CorrToCov(Matrix& m, int n, const MatVector& sd) {
  n = usedSize(n);
  for (int i = 1; i <= n; ++i) {
    m[i][i] = sd[i] * sd[i];
    for (int j = i + 1; j <= n; ++j) {
      m[i][j] = m[i][j] * sd[i] * sd[j];
      m[j][i] = m[i][j];
    }
  }
}

// Gauss-Jordan elimination in place with partial pivoting; the row exchanges are undone at the end
// by exchanging the matching columns in reverse order (Press et al., Numerical Recipes, 2.1).
MatInverse MatInvert(const Matrix& a, int n) {
  n = usedSize(n);
  MatInverse result;
  Matrix& out = result.inverse;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) out[i][j] = a[i][j];
  }
  std::array<int, kMatDim> rowAt{};     // input row now standing at each position
  std::array<int, kMatDim> pivotRow{};  // position exchanged with position k at step k
  for (int k = 1; k <= n; ++k) rowAt[k] = k;
  double det = 1.0;
  for (int k = 1; k <= n; ++k) {
    int best = k;
    for (int i = k + 1; i <= n; ++i) {
      if (std::fabs(out[i][k]) > std::fabs(out[best][k])) best = i;
    }
    const double p = out[best][k];
    // Written as "not at least" so that a NaN pivot or determinant stops too.
    if (!(std::fabs(p) >= kInvertMinPivot) || !(std::fabs(det) >= kInvertMinDet)) {
      result.det = 0.0;
      std::sort(rowAt.begin() + 1, rowAt.begin() + 1 + result.rank);
      for (int i = 1; i <= result.rank; ++i) result.used[i] = rowAt[i];
      MatZero(out);
      return result;
    }
    pivotRow[k] = best;
    if (best != k) {
      for (int j = 1; j <= n; ++j) std::swap(out[k][j], out[best][j]);
      std::swap(rowAt[k], rowAt[best]);
      det = -det;
    }
    if (std::fabs(det) >= kInvertMaxDet / std::fabs(p)) {
      det = std::copysign(kInvertMaxDet, det * p);
    } else {
      det *= p;
    }
    ++result.rank;
    out[k][k] = 1.0;
    for (int j = 1; j <= n; ++j) out[k][j] /= p;
    for (int i = 1; i <= n; ++i) {
      if (i == k) continue;
      const double factor = out[i][k];
      if (factor == 0.0) continue;
      out[i][k] = 0.0;
      for (int j = 1; j <= n; ++j) out[i][j] -= factor * out[k][j];
    }
  }
  for (int k = n; k >= 1; --k) {
    if (pivotRow[k] == k) continue;
    for (int i = 1; i <= n; ++i) std::swap(out[i][k], out[i][pivotRow[k]]);
  }
  result.det = det;
  for (int i = 1; i <= n; ++i) result.used[i] = i;
  return result;
}

int EigenBudget(int n) {
  return kEigenSweepsPerSquare * n * n;
}

EigenSystem Eigen(const Matrix& a, int n) {
  return Eigen(a, n, EigenBudget(usedSize(n)));
}

// Threshold variant of the cyclic Jacobi method (Golub and Van Loan, Matrix Computations, "Jacobi
// methods"); the rotation comes from the half-angle formulas, the threshold shrinks by the factor n.
EigenSystem Eigen(const Matrix& a, int n, int budget) {
  n = usedSize(n);
  EigenSystem result;
  Matrix& v = result.vectors;
  MatIdentity(v, n);
  if (n == 0) return result;

  Matrix w;
  double offSum = 0.0;
  for (int i = 1; i <= n; ++i) {
    w[i][i] = a[i][i];
    for (int j = i + 1; j <= n; ++j) {
      w[i][j] = a[i][j];
      w[j][i] = a[i][j];
      offSum += a[i][j] * a[i][j];
    }
  }
  const double norm = std::sqrt(2.0 * offSum);
  const double lastThreshold = MaxReal(kEigenThresholdShare * norm / n, kEigenMinThreshold);
  double threshold = MaxReal(norm / n, lastThreshold);

  while (true) {
    if (result.sweeps >= budget) {
      result.converged = false;
      break;
    }
    ++result.sweeps;
    bool rotated = false;
    for (int l = 1; l < n; ++l) {
      for (int m = l + 1; m <= n; ++m) {
        const double alm = w[l][m];
        if (!(std::fabs(alm) > threshold)) continue;
        rotated = true;
        ++result.rotations;
        const double all = w[l][l];
        const double amm = w[m][m];
        const double x = (all - amm) / 2.0;
        double y = -alm / std::sqrt(alm * alm + x * x);
        if (x < 0.0) y = -y;
        // Rounding can put |y| a hair above 1; the roots must not see a negative argument.
        const double sinx = y / std::sqrt(2.0 * (1.0 + std::sqrt(std::max(0.0, 1.0 - y * y))));
        const double sin2 = sinx * sinx;
        const double cosx = std::sqrt(std::max(0.0, 1.0 - sin2));
        const double cos2 = cosx * cosx;
        const double sincos = sinx * cosx;
        for (int i = 1; i <= n; ++i) {
          if (i != l && i != m) {
            const double ail = w[i][l];
            const double aim = w[i][m];
            w[i][l] = w[l][i] = ail * cosx - aim * sinx;
            w[i][m] = w[m][i] = ail * sinx + aim * cosx;
          }
          const double vil = v[i][l];
          const double vim = v[i][m];
          v[i][l] = vil * cosx - vim * sinx;
          v[i][m] = vil * sinx + vim * cosx;
        }
        const double twice = 2.0 * alm * sincos;
        w[l][l] = all * cos2 + amm * sin2 - twice;
        w[m][m] = all * sin2 + amm * cos2 + twice;
        w[l][m] = w[m][l] = (all - amm) * sincos + alm * (cos2 - sin2);
      }
    }
    if (rotated) continue;
    threshold /= n;
    if (threshold <= lastThreshold) break;
  }

  for (int i = 1; i <= n; ++i) {
    result.values[i] = w[i][i];
    result.maxabs = MaxReal(result.maxabs, std::fabs(w[i][i]));
  }
  // Selection sort, descending, carrying the vector columns along.
  for (int i = 1; i < n; ++i) {
    int largest = i;
    for (int j = i + 1; j <= n; ++j) {
      if (result.values[j] > result.values[largest]) largest = j;
    }
    if (largest == i) continue;
    std::swap(result.values[i], result.values[largest]);
    for (int k = 1; k <= n; ++k) std::swap(v[k][i], v[k][largest]);
  }
  for (int j = 1; j <= n; ++j) {
    const double first = v[1][j];
    if (!(std::fabs(first) > kEigenMinFirst)) continue;
    for (int k = 1; k <= n; ++k) v[k][j] /= first;
  }
  return result;
}

bool CrossPercent(Matrix& table, int rows, int columns, int code) {
  if (rows < 0 || columns < 0 || rows >= kMatMaxVars || columns >= kMatMaxVars) return false;
  const int mode = code % 10;
  const int sumRow = rows + 1;
  const int sumColumn = columns + 1;
  switch (mode) {
    case 0:
      return true;
    case 1:
      for (int j = 1; j <= sumColumn; ++j) {
        const double sum = table[sumRow][j];
        const double factor = sum > kCrossMinSum ? 100.0 / sum : 0.0;
        for (int i = 1; i <= sumRow; ++i) table[i][j] *= factor;
      }
      return true;
    case 2:
      for (int i = 1; i <= sumRow; ++i) {
        const double sum = table[i][sumColumn];
        const double factor = sum > kCrossMinSum ? 100.0 / sum : 0.0;
        for (int j = 1; j <= sumColumn; ++j) table[i][j] *= factor;
      }
      return true;
    case 3: {
      const double total = table[sumRow][sumColumn];
      for (int i = 1; i <= rows; ++i) {
        for (int j = 1; j <= columns; ++j) {
          table[i][j] = total > kCrossMinSum ? table[i][sumColumn] * table[sumRow][j] / total : 0.0;
        }
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace veltrix
