#pragma once
// In-place inversion of a general square matrix by Gauss-Jordan elimination
// with full pivoting.

namespace vp {

// A: N x N stored column by column, A[(j-1)*N + (i-1)] is element (i, j).
// On return A holds the inverse and D = 1; a zero pivot stops the inversion
// with D = 0 and A partly transformed. L and M are work vectors of N entries
// (row and column of each pivot). NN is N*N and is not used.
void MINV3(int N, int NN, double& D, double* A, int* L, int* M);

}  // namespace vp
