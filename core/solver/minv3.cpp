#include "minv3.h"

#include <algorithm>
#include <cmath>

namespace vp {

void MINV3(int N, int /*NN*/, double& D, double* A, int* L, int* M) {
  auto a = [&](int i, int j) -> double& { return A[(j - 1) * N + (i - 1)]; };
  D = 1;
  for (int K = 1; K <= N; ++K) {
    int& LK = L[K - 1];
    int& MK = M[K - 1];
    LK = K;
    MK = K;
    double big = a(K, K);
    double bigAbs = std::fabs(big);
    for (int j = K; j <= N; ++j) {
      const double* col = &a(1, j);
      for (int i = K - 1; i < N; ++i) {
        const double candidate = std::fabs(col[i]);
        if (bigAbs < candidate) {
          bigAbs = candidate;
          big = col[i];
          LK = i + 1;
          MK = j;
        }
      }
    }
    if (LK > K)
      for (int j = 1; j <= N; ++j) {
        const double hold = -a(K, j);
        a(K, j) = a(LK, j);
        a(LK, j) = hold;
      }
    if (MK > K)
      for (int i = 1; i <= N; ++i) {
        const double hold = -a(i, K);
        a(i, K) = a(i, MK);
        a(i, MK) = hold;
      }
    if (big == 0) {
      D = 0;
      return;
    }
    for (int i = 1; i <= N; ++i)
      if (i != K) a(i, K) = a(i, K) / (-big);
    // Each element depends only on its own row's column-K entry and its own
    // column's row-K entry, neither of which this step changes, so the order of
    // the loops does not matter; going down the stored columns is the fast one.
    for (int j = 1; j <= N; ++j) {
      if (j == K) continue;
      const double rowK = a(K, j);
      double* col = &a(1, j);
      const double* colK = &a(1, K);
      for (int i = 0; i < K - 1; ++i) col[i] = colK[i] * rowK + col[i];
      for (int i = K; i < N; ++i) col[i] = colK[i] * rowK + col[i];
    }
    for (int j = 1; j <= N; ++j)
      if (j != K) a(K, j) = a(K, j) / big;
    a(K, K) = 1 / big;
  }
  for (int K = N - 1; K >= 1; --K) {
    const int LK = L[K - 1];
    if (LK > K)
      for (int i = 1; i <= N; ++i) {
        const double hold = a(i, K);
        a(i, K) = -a(i, LK);
        a(i, LK) = hold;
      }
    const int MK = M[K - 1];
    if (MK > K)
      for (int j = 1; j <= N; ++j) {
        const double hold = a(K, j);
        a(K, j) = -a(MK, j);
        a(MK, j) = hold;
      }
  }
}

}  // namespace vp
