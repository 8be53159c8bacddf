#include "minv3.h"

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
    for (int j = K; j <= N; ++j)
      for (int i = K; i <= N; ++i)
        if (std::fabs(big) < std::fabs(a(i, j))) {
          big = a(i, j);
          LK = i;
          MK = j;
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
    for (int i = 1; i <= N; ++i) {
      if (i == K) continue;
      const double hold = a(i, K);
      for (int j = 1; j <= N; ++j)
        if (j != K) a(i, j) = hold * a(K, j) + a(i, j);
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
