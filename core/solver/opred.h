#pragma once
// Determinant of the characteristic matrix by Gaussian elimination with row
// interchanges restricted to a band of rows below the diagonal.

#include "shaft_model.h"

namespace vp {

// The largest order of the characteristic matrix: four unknowns per span.
inline constexpr int kMaxOrder = 4 * kMaxSpans;

// A: n x n, 1-based, row-major with rowLength reals per row; destroyed (it ends
// as the triangular factor). The determinant is mantissa * 10^exponent, the
// exponent a multiple of 30. Where the band holds no pivot the elimination
// goes on with row exchanges over the whole column (the sign follows them);
// a column that is zero from the diagonal down gives the determinant 0.
// upperBand, when not negative, promises that row r has no non-zero entry
// right of column r + upperBand (2 for the characteristic matrix), which
// spares a scan of the matrix.
void OPRED(double* A, int n, int band, double& mantissa, int& exponent, int rowLength, int upperBand = -1);

}  // namespace vp
