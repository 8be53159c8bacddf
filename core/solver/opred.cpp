#include "opred.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "errors.h"

namespace vp {

void OPRED(double* A, int n, int band, double& mantissa, int& exponent, int rowLength, int upperBand) {
  auto at = [&](int r, int c) -> double& { return A[(r - 1) * rowLength + (c - 1)]; };

  // Last column holding a non-zero entry, per row. Entries beyond it are zero,
  // and subtracting a multiple of zero leaves a value unchanged, so the
  // elimination skips them; the result is the same as over the whole row.
  if (n < 1 || n > kMaxOrder) Raise(Error{ErrorCode::MatrixOrder, n});
  std::array<int, kMaxOrder + 1> last{};
  for (int r = 1; r <= n; ++r) {
    int c = upperBand >= 0 ? std::min(n, r + upperBand) : n;
    while (c > 0 && at(r, c) == 0) --c;
    last[r] = c;
  }

  double det = 1;
  // After a zero pivot in the band the elimination takes the whole column below
  // the diagonal, as plain partial pivoting does; the characteristic matrix has
  // nothing below the band, so there the column is zero and the matrix singular.
  bool wholeColumn = false;
  for (int i = 1; i <= n - 1; ++i) {
    int w = band;
    if (wholeColumn || i + band - 1 > n) w = n - i + 1;

    int p = i;
    double best = std::fabs(at(i, i));
    for (int r = i; r <= i + w - 1; ++r) {
      if (std::fabs(at(r, i)) > best) {
        best = std::fabs(at(r, i));
        p = r;
      }
    }
    if (best == 0 && !wholeColumn) {
      wholeColumn = true;
      for (int r = i + w; r <= n; ++r) {
        if (std::fabs(at(r, i)) > best) {
          best = std::fabs(at(r, i));
          p = r;
        }
      }
      w = n - i + 1;
    }
    // Zero from the diagonal down: the determinant of the computed matrix is 0.
    if (best == 0) {
      mantissa = 0;
      exponent = 0;
      return;
    }
    if (p != i) {
      // Columns before i are never read again, so the rows are exchanged from i on.
      const int end = std::max(last[i], last[p]);
      for (int c = i; c <= end; ++c) std::swap(at(i, c), at(p, c));
      std::swap(last[i], last[p]);
      det = -det;
    }
    const double pivot = at(i, i);
    for (int r = i + 1; r <= i + w - 1; ++r) {
      const double factor = at(r, i) / pivot;
      double* row = &at(r, 1);
      const double* pivotRow = &at(i, 1);
      for (int c = i; c <= last[i]; ++c) row[c - 1] = row[c - 1] - factor * pivotRow[c - 1];
      if (last[i] > last[r]) last[r] = last[i];
    }
  }

  int count = 0;
  for (int t = 1; t <= n; ++t) {
    const int d = n - t + 1;
    if (!(std::fabs(det) < 1e30)) {
      det = det / 1e30;
      ++count;
    }
    det = det * at(d, d);
  }
  mantissa = det;
  exponent = 30 * count;
}

}  // namespace vp
