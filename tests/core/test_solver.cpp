#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <random>

#include "characteristic.h"
#include "errors.h"
#include "minv3.h"
#include "mode_shape.h"
#include "opred.h"
#include "output_files.h"
#include "search_estimate.h"
#include "shaft_fixtures.h"
#include "sob.h"

using namespace vp;
using namespace vp::test;

namespace {

// The section relation as a 4x4 matrix: the images of the unit states.
Eigen::Matrix4d SectionMatrix(const TShaftModel& model, int i, double omega) {
  ShaftLayout layout(model, 1);
  Eigen::Matrix4d S;
  for (int c = 0; c < 4; ++c) {
    State s{};
    s[c] = 1;
    layout.Carry(i, omega, s);
    for (int r = 0; r < 4; ++r) S(r, c) = s[r];
  }
  return S;
}

TShaftModel OneSection(double l, double EI, double m) {
  TShaftModel model;
  model.N = 1;
  model.KM = 1;
  model.KZ = 1;
  model.KW = 1;
  model.SpanEnd[1] = 1;
  model.SupportSection[1] = 0;
  model.SectionLength[1] = l;
  model.SectionEI[1] = EI;
  model.SectionMass[1] = m;
  return model;
}

Eigen::MatrixXd Characteristic(const TShaftModel& model, double omega, int variant = 1) {
  ShaftLayout layout(model, variant);
  const int n = layout.n();
  std::vector<double> a(n * n);
  layout.Assemble(omega, MatrixView{a.data(), n});
  Eigen::MatrixXd A(n, n);
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) A(r, c) = a[r * n + c];
  return A;
}

double Determinant(Eigen::MatrixXd A, int* exponent = nullptr, int band = 8) {
  const int n = static_cast<int>(A.rows());
  std::vector<double> a(n * n);
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) a[r * n + c] = A(r, c);
  double mantissa = 0;
  int e = 0;
  OPRED(a.data(), n, band, mantissa, e, n);
  if (exponent) *exponent = e;
  return mantissa;
}

struct SearchRun {
  RecordingOutput out;
  TSearchParams P;
};

void Solve(const TShaftModel& model, SearchRun& run, int variant = 1, SearchProgress* progress = nullptr) {
  SolverContext ctx{model, run.out, progress};
  int v = variant;
  if (const std::optional<Error> error = SOB(run.P, v, ctx)) Raise(*error);
}

// Inverse through MINV3 of a row-major list, returned as an Eigen matrix.
Eigen::MatrixXd InverseByMinv3(const Eigen::MatrixXd& A, double* D = nullptr) {
  const int N = static_cast<int>(A.rows());
  std::vector<double> a(N * N);
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < N; ++j) a[j * N + i] = A(i, j);
  std::vector<int> L(N), M(N);
  double d = -1;
  MINV3(N, N * N, d, a.data(), L.data(), M.data());
  if (D) *D = d;
  Eigen::MatrixXd inv(N, N);
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < N; ++j) inv(i, j) = a[j * N + i];
  return inv;
}

// The determinant exactly as written: whole rows exchanged, every column of
// the pivot row subtracted.
double LiteralOpred(Eigen::MatrixXd A) {
  const int n = static_cast<int>(A.rows());
  double det = 1;
  for (int i = 0; i < n - 1; ++i) {
    const int w = i + 8 > n ? n - i : 8;
    int p = i;
    double best = std::fabs(A(i, i));
    for (int r = i; r < i + w; ++r)
      if (std::fabs(A(r, i)) > best) {
        best = std::fabs(A(r, i));
        p = r;
      }
    if (p != i) {
      A.row(i).swap(A.row(p));
      det = -det;
    }
    for (int r = i + 1; r < i + w; ++r) {
      const double factor = A(r, i) / A(i, i);
      for (int c = i; c < n; ++c) A(r, c) = A(r, c) - factor * A(i, c);
    }
  }
  for (int d = n - 1; d >= 0; --d) {
    if (!(std::fabs(det) < 1e30)) det = det / 1e30;
    det = det * A(d, d);
  }
  return det;
}

// The inversion exactly as written, loops in the written order.
Eigen::MatrixXd LiteralMinv3(Eigen::MatrixXd A) {
  const int N = static_cast<int>(A.rows());
  std::vector<int> L(N), M(N);
  for (int K = 0; K < N; ++K) {
    L[K] = K;
    M[K] = K;
    double big = A(K, K);
    for (int j = K; j < N; ++j)
      for (int i = K; i < N; ++i)
        if (std::fabs(big) < std::fabs(A(i, j))) {
          big = A(i, j);
          L[K] = i;
          M[K] = j;
        }
    if (L[K] > K)
      for (int j = 0; j < N; ++j) {
        const double hold = -A(K, j);
        A(K, j) = A(L[K], j);
        A(L[K], j) = hold;
      }
    if (M[K] > K)
      for (int i = 0; i < N; ++i) {
        const double hold = -A(i, K);
        A(i, K) = A(i, M[K]);
        A(i, M[K]) = hold;
      }
    for (int i = 0; i < N; ++i)
      if (i != K) A(i, K) = A(i, K) / (-big);
    for (int i = 0; i < N; ++i)
      for (int j = 0; j < N; ++j)
        if (i != K && j != K) A(i, j) = A(i, K) * A(K, j) + A(i, j);
    for (int j = 0; j < N; ++j)
      if (j != K) A(K, j) = A(K, j) / big;
    A(K, K) = 1 / big;
  }
  for (int K = N - 2; K >= 0; --K) {
    if (L[K] > K)
      for (int i = 0; i < N; ++i) {
        const double hold = A(i, K);
        A(i, K) = -A(i, L[K]);
        A(i, L[K]) = hold;
      }
    if (M[K] > K)
      for (int j = 0; j < N; ++j) {
        const double hold = A(K, j);
        A(K, j) = -A(M[K], j);
        A(M[K], j) = hold;
      }
  }
  return A;
}

}  // namespace

// ---- Section and support relations, assembly ----------------------------------

TEST(TransferRelations, SectionRelationOfTheWorkedSection) {
  const Eigen::Matrix4d S = SectionMatrix(OneSection(2, 4, 3), 1, 1.0);
  Eigen::Matrix4d expected;
  expected << 2, 2, 0.5, 1.0 / 3, 1.5, 1, 0.5, 0.5, 6, 0, 1, 2, 3, 0, 0, 1;
  EXPECT_TRUE(S.isApprox(expected, 1e-15)) << S;
}

TEST(TransferRelations, ZeroFrequencyGivesTheStaticBeam) {
  const Eigen::Matrix4d S = SectionMatrix(OneSection(2, 4, 3), 1, 0.0);
  Eigen::Matrix4d expected;
  expected << 1, 2, 0.5, 1.0 / 3, 0, 1, 0.5, 0.5, 0, 0, 1, 2, 0, 0, 0, 1;
  EXPECT_TRUE(S.isApprox(expected, 1e-15)) << S;
}

TEST(TransferRelations, SupportsAddTheirSpringsAndOnlyInsideTheShaft) {
  TShaftModel model = UniformFreeFree(10, {4, 10});
  model.N = 4;
  model.SupportSection = {0, 3, 3, 0, 11};
  model.SupportStiffness[1][1] = 5;
  model.SupportStiffness[2][1] = 7;
  model.SupportStiffness[3][1] = 1000;  // at cross-section 0: never acts
  model.SupportStiffness[4][1] = 1000;  // beyond KM: never acts
  TShaftModel single = model;
  single.N = 1;
  single.SupportSection[1] = 3;
  single.SupportStiffness[1][1] = 12;
  EXPECT_TRUE(Characteristic(model, 7.5).isApprox(Characteristic(single, 7.5), 1e-14));

  TShaftModel none = model;
  none.N = 0;
  EXPECT_FALSE(Characteristic(model, 7.5).isApprox(Characteristic(none, 7.5), 1e-6));
}

TEST(TransferRelations, OneSpanMatrixHasTheWorkedForm) {
  const TShaftModel model = UniformFreeFree(5, {5});
  const double omega = 3.3;
  const Eigen::MatrixXd A = Characteristic(model, omega);
  ShaftLayout layout(model, 1);
  Eigen::Matrix4d U = Eigen::Matrix4d::Identity();
  for (int i = 1; i <= 5; ++i)
    for (int c = 0; c < 4; ++c) {
      State s{U(0, c), U(1, c), U(2, c), U(3, c)};
      layout.Carry(i, omega, s);
      for (int r = 0; r < 4; ++r) U(r, c) = s[r];
    }
  Eigen::Matrix4d expected;
  expected << -U(0, 0), -U(0, 1), 1, 0, -U(1, 0), -U(1, 1), 0, 1, -U(2, 0), -U(2, 1), 0, 0, -U(3, 0), -U(3, 1), 0, 0;
  EXPECT_EQ(A, expected);
  EXPECT_NEAR(Determinant(A), U(2, 0) * U(3, 1) - U(2, 1) * U(3, 0), 1e-9 * std::fabs(U(2, 0) * U(3, 1)));
}

TEST(TransferRelations, InnerSpanBlocksLinkNeighbouringSpans) {
  // Three spans: block j >= 2 sits in columns 4j-5..4j-2, and each row r has +1 at r+2.
  const Eigen::MatrixXd A = Characteristic(UniformFreeFree(9, {3, 6, 9}), 2.0);
  ASSERT_EQ(A.rows(), 12);
  for (int r = 0; r < 10; ++r) EXPECT_EQ(A(r, r + 2), 1) << r;
  for (int r = 4; r < 8; ++r) {
    for (int c = 0; c < 12; ++c) {
      const bool inBlock = c >= 2 && c <= 5;
      if (!inBlock && c != r + 2) {
        EXPECT_EQ(A(r, c), 0) << r << "," << c;
      }
    }
    EXPECT_NE(A(r, 2), 0);
  }
  EXPECT_EQ(A.row(10).segment(10, 2).norm(), 0);
}

TEST(TransferRelations, SectionsAfterTheLastSpanDoNotCount) {
  TShaftModel model = UniformFreeFree(10, {4, 8});
  const Eigen::MatrixXd before = Characteristic(model, 5.0);
  model.SectionMass[9] = 123;
  model.SectionEI[10] = 0.001;
  EXPECT_EQ(Characteristic(model, 5.0), before);
}

// ---- OPRED ---------------------------------------------------------------------

TEST(Opred, RescalesTheRunningProductByTenToTheThirty) {
  Eigen::MatrixXd A = Eigen::MatrixXd::Identity(3, 3) * 1e20;
  int exponent = 0;
  EXPECT_EQ(Determinant(A, &exponent), 1e30);
  EXPECT_EQ(exponent, 30);
}

TEST(Opred, EveryRowInterchangeFlipsTheSign) {
  Eigen::MatrixXd A(2, 2);
  A << 0, 1, 1, 0;
  EXPECT_EQ(Determinant(A), -1);
  Eigen::MatrixXd B(3, 3);
  B << 1, 2, 0, 3, 1, 0, 0, 0, 2;  // pivot row 2 comes up: one interchange
  EXPECT_NEAR(Determinant(B), B.determinant(), 1e-12);
}

TEST(Opred, AgreesWithLuOnBandedMatricesAndCharacteristicMatrices) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int trial = 0; trial < 50; ++trial) {
    const int n = 4 + trial % 20;
    Eigen::MatrixXd A = Eigen::MatrixXd::Zero(n, n);
    for (int r = 0; r < n; ++r)
      for (int c = std::max(0, r - 5); c < std::min(n, r + 6); ++c) A(r, c) = u(rng);
    EXPECT_NEAR(Determinant(A), A.determinant(), 1e-10 * std::max(1.0, std::fabs(A.determinant())));
  }
  const TShaftModel model = UniformFreeFree(40, {10, 20, 30, 40});
  for (double omega : {1.0, 10.0, 30.0}) {
    const Eigen::MatrixXd A = Characteristic(model, omega);
    EXPECT_NEAR(Determinant(A), A.determinant(), 1e-9 * std::fabs(A.determinant()));
  }
}

TEST(Opred, BandHintGivesTheSameDeterminantBitForBit) {
  const TShaftModel model = UniformFreeFree(60, {7, 20, 33, 41, 60});
  ShaftLayout layout(model, 1);
  const int n = layout.n();
  std::vector<double> a(n * n), b(n * n);
  for (double omega = 0.5; omega < 300; omega *= 1.7) {
    layout.Assemble(omega, MatrixView{a.data(), n});
    b = a;
    double ma, mb;
    int ea, eb;
    OPRED(a.data(), n, 8, ma, ea, n);
    OPRED(b.data(), n, 8, mb, eb, n, 2);
    EXPECT_EQ(ma, mb) << omega;
    EXPECT_EQ(ea, eb);
  }
}

TEST(Opred, MatchesTheWrittenAlgorithmBitForBit) {
  const TShaftModel model = UniformFreeFree(80, {9, 20, 33, 41, 52, 66, 80});
  for (double omega = 0.3; omega < 2000; omega *= 1.9) {
    const Eigen::MatrixXd A = Characteristic(model, omega);
    EXPECT_EQ(Determinant(A), LiteralOpred(A)) << omega;
  }
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int n = 2; n < 30; ++n) {
    Eigen::MatrixXd A = Eigen::MatrixXd::Zero(n, n);
    for (int r = 0; r < n; ++r)
      for (int c = std::max(0, r - 5); c < std::min(n, r + 4); ++c) A(r, c) = u(rng) * (c % 3 ? 1 : 1e-3);
    EXPECT_EQ(Determinant(A), LiteralOpred(A)) << n;
  }
}

TEST(Opred, WithoutAPivotInTheBandTakesTheWholeColumnAndKeepsTheSign) {
  // Column 2 vanishes below the first step: the matrix is singular. A zero on
  // the last diagonal entry is just a zero determinant.
  Eigen::MatrixXd singular(3, 3), lastZero(2, 2);
  singular << 1, 2, 3, 2, 4, 5, 0, 0, 7;
  lastZero << 1, 1, 1, 1;
  EXPECT_EQ(Determinant(singular), 0);
  EXPECT_EQ(Determinant(lastZero), 0);
  // With a band of 2 the pivots of columns 1 and 2 lie below it; the
  // exchanges beyond it flip the sign as any other.
  Eigen::MatrixXd cyclic(3, 3), beyond(4, 4);
  cyclic << 0, 1, 0, 0, 0, 1, 1, 0, 0;
  beyond << 0, 1, 2, 0, 0, 3, 1, 1, 5, 1, 0, 2, 0, 0, 1, 4;
  EXPECT_EQ(Determinant(cyclic, nullptr, 2), 1);
  EXPECT_NEAR(Determinant(beyond, nullptr, 2), beyond.determinant(), 1e-12 * std::fabs(beyond.determinant()));
}

// ---- MINV3 ---------------------------------------------------------------------

TEST(Minv3, InvertsTheWorkedMatrices) {
  Eigen::Matrix3d A;
  A << 2, 1, 1, 1, 3, 2, 1, 0, 0;
  Eigen::Matrix3d expected;
  expected << 0, 0, 1, -2, 1, 3, 3, -1, -5;
  double D = 0;
  EXPECT_TRUE(InverseByMinv3(A, &D).isApprox(expected, 1e-14));
  EXPECT_EQ(D, 1);

  Eigen::Matrix2d exchange;
  exchange << 0, 1, 1, 0;
  EXPECT_EQ(InverseByMinv3(exchange), Eigen::MatrixXd(exchange));

  Eigen::Matrix2d B;
  B << 1, 2, 3, 4;
  Eigen::Matrix2d Binv;
  Binv << -2, 1, 1.5, -0.5;
  EXPECT_TRUE(InverseByMinv3(B).isApprox(Binv, 1e-15));

  Eigen::MatrixXd one(1, 1);
  one << 4;
  EXPECT_EQ(InverseByMinv3(one)(0, 0), 0.25);

  const Eigen::MatrixXd I = Eigen::MatrixXd::Identity(5, 5);
  EXPECT_EQ(InverseByMinv3(I, &D), I);
  EXPECT_EQ(D, 1);
}

TEST(Minv3, MatchesTheWrittenAlgorithmBitForBit) {
  std::mt19937 rng(13);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int N : {3, 7, 16, 31}) {
    Eigen::MatrixXd A(N, N);
    for (int i = 0; i < N; ++i)
      for (int j = 0; j < N; ++j) A(i, j) = (i + j) % 4 == 0 ? 0.0 : u(rng);
    EXPECT_EQ(InverseByMinv3(A), LiteralMinv3(A)) << N;
  }
}

TEST(Minv3, ZeroColumnStopsWithFlagZero) {
  Eigen::Matrix3d A;
  A << 1, 0, 2, 3, 0, 4, 5, 0, 6;
  double D = 1;
  InverseByMinv3(A, &D);
  EXPECT_EQ(D, 0);
}

TEST(Minv3, RandomMatricesGiveResidualsNearRounding) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int N : {2, 5, 12, 23, 40}) {
    Eigen::MatrixXd A(N, N);
    for (int i = 0; i < N; ++i)
      for (int j = 0; j < N; ++j) A(i, j) = u(rng);
    const Eigen::MatrixXd inv = InverseByMinv3(A);
    EXPECT_LT((A * inv - Eigen::MatrixXd::Identity(N, N)).norm(), 1e-10) << N;
  }
}

// ---- SOB: the search -------------------------------------------------------------

TEST(Sob, FreeFreeShaftReportsTwoFrequenciesAndEndsAtFK) {
  for (auto spans : {std::vector<int>{100}, std::vector<int>{30, 100}, std::vector<int>{25, 50, 75, 100}}) {
    TShaftModel model = UniformFreeFree(100, {1}, 3);
    model.KZ = static_cast<int>(spans.size());
    for (size_t j = 0; j < spans.size(); ++j) model.SpanEnd[j + 1] = spans[j];
    SearchRun run;
    run.P = Params(1, 1, 100, 1e-10, 1e-6);
    Solve(model, run);
    ASSERT_EQ(run.out.entries.size(), 2u) << spans.size();
    EXPECT_NEAR(run.out.entries[0].F, 2237.675, 5e-4);
    EXPECT_NEAR(run.out.entries[1].F, 6168.90, 5e-3);
    EXPECT_EQ(run.out.entries[1].k, 2);
    EXPECT_GT(run.P[kStart], 100);  // ended by passing FK
  }
}

TEST(Sob, LowestFrequencyConvergesAsSectionsAreAdded) {
  const std::pair<int, double> cases[] = {{25, 22.42889}, {50, 22.38716}, {100, 22.37675}, {200, 22.37415}};
  for (auto [KM, omega] : cases) {
    SearchRun run;
    run.P = Params(1, 1, 30, 1e-30, 1e-8);
    Solve(UniformFreeFree(KM, {KM}, 1), run);
    ASSERT_EQ(run.out.modes.size(), 1u);
    EXPECT_NEAR(run.out.modes[0].omega, omega, 5e-6) << KM;
  }
}

TEST(Sob, StepBelowAccuracyAcceptsEverySecondTrial) {
  SearchRun run;
  run.P = Params(1, 1e-7, 100, 0, 1e-6);
  TShaftModel model = UniformFreeFree(10, {10}, 3);
  Solve(model, run);
  ASSERT_EQ(run.out.entries.size(), 3u);
  double omega = 1 + 1e-7;
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(run.out.entries[k].F, omega * 100) << k;
    omega = omega + 0.01 + 1e-7;
  }
  EXPECT_EQ(run.P[kStart], run.out.modes.back().omega);  // the KP-th frequency leaves P[0] at it
}

TEST(Sob, NonPositiveCountStillFindsOneFrequency) {
  for (int KP : {0, -3}) {
    SearchRun run;
    run.P = Params(1, 1, 100, 1e-10, 1e-6);
    Solve(UniformFreeFree(20, {20}, KP), run);
    EXPECT_EQ(run.out.entries.size(), 1u);
  }
}

TEST(Sob, UpperBoundBelowStartWritesNothingEvenForBadData) {
  TShaftModel model = UniformFreeFree(10, {10});
  model.SectionEI[4] = 0;  // would fail at the first trial
  SearchRun run;
  run.P = Params(5, 1, 4, 1e-10, 1e-6);
  Solve(model, run);
  EXPECT_TRUE(run.out.entries.empty());
  EXPECT_EQ(run.P[kStart], 5);
}

TEST(Sob, ArithmeticFaultsAreCalculationErrors) {
  TShaftModel model = UniformFreeFree(10, {10});
  model.SectionEI[4] = 0;
  SearchRun run;
  run.P = Params(1, 1, 100, 1e-10, 1e-6);
  EXPECT_THROW(Solve(model, run), Failure);
  EXPECT_TRUE(run.out.entries.empty());

  TShaftModel huge = UniformFreeFree(10, {10});
  huge.SectionMass[3] = 1e300;  // m*omega*omega overflows
  SearchRun run2;
  run2.P = Params(1e10, 1, 1e11, 1e-10, 1e-6);
  EXPECT_THROW(Solve(huge, run2), Failure);

  // The message names the reported frequency (100 * omega) as every number is written.
  for (auto [sep, text] : {std::pair{',', "1234567,8"}, std::pair{'.', "1234567.8"}}) {
    SearchRun run3;
    run3.P = Params(12345.678, 1, 1e11, 1e-10, 1e-6);
    int v = 1;
    EXPECT_EQ(ErrorOf([&] { return SOB(run3.P, v, SolverContext{huge, run3.out, {}, nullptr, sep}); }),
              std::string("Арифметическая ошибка (деление на ноль или переполнение) при расчете варианта 1 на частоте ") + text);
  }
}

TEST(Sob, UnheldShaftAtZeroFrequencyMeetsAZeroPivotAndGoesOn) {
  // The first trial records the rigid-body zero; the walk then finds what it finds from 1.
  SearchRun fromZero, fromOne;
  fromZero.P = Params(0, 1, 100, 1e-10, 1e-6);
  fromOne.P = Params(1, 1, 100, 1e-10, 1e-6);
  Solve(UniformFreeFree(10, {5, 10}), fromZero);
  Solve(UniformFreeFree(10, {5, 10}), fromOne);
  ASSERT_EQ(fromZero.out.entries.size(), 2u);
  for (size_t i = 0; i < 2; ++i) EXPECT_EQ(fromZero.out.entries[i].F, fromOne.out.entries[i].F);
}

TEST(Sob, SpanEndNeverMetFailsAtTheFirstTrial) {
  TShaftModel model = UniformFreeFree(10, {6, 4});
  SearchRun run;
  run.P = Params(1, 1, 100, 1e-10, 1e-6);
  EXPECT_THROW(Solve(model, run), Failure);  // its matrix would be singular at every frequency
  EXPECT_TRUE(run.out.entries.empty());
}

TEST(Sob, NeverLoopsForeverOnDegenerateParameters) {
  const TShaftModel model = UniformFreeFree(10, {10}, 2);
  {  // no accuracy at all: refinement ends at an exact zero or where the step
     // no longer moves omega, and the frequencies are still right
    for (double EPSF : {0.0, -1.0}) {
      SearchRun run;
      run.P = Params(1, 1, 100, 0, EPSF);
      Solve(model, run);
      ASSERT_EQ(run.out.entries.size(), 2u);
      EXPECT_NEAR(run.out.modes[0].omega, 22.72588049, 1e-8);
    }
  }
  {  // a step that never moves: the walk ends as if FK were passed
    SearchRun run;
    run.P = Params(1, 0, 100, 0, 0);
    Solve(model, run);
    EXPECT_TRUE(run.out.entries.empty());
    EXPECT_EQ(run.P[kStart], 1);
  }
  {  // a step backwards never reaches FK: it ends where it stops moving forward
    SearchRun run;
    run.P = Params(1, -1, 100, 0, -5);
    Solve(model, run);
    EXPECT_LT(run.P[kStart], 1);
  }
}

TEST(Sob, ProgressIsAShareOfTheEstimatedTrials) {
  // Trials made, estimated, percent shown (none without an estimate, 99 at most).
  for (auto [trials, expected, percent] : {std::tuple{10, 0., -1}, {0, 400., 0}, {100, 400., 25}, {399, 400., 99}, {900, 400., 99}}) {
    SearchProgress progress;
    progress.trials = trials;
    progress.expected = expected;
    EXPECT_EQ(progress.Percent(), percent) << trials << " of " << expected;
  }
}

TEST(Sob, ProgressIsWrittenAtEveryTrialAndAStopEndsTheWalkAtOnce) {
  // Below the first frequency (22.7): the walk from 0.5 to 1 in steps of 1E-4.
  SearchRun walk;
  walk.P = Params(0.5, 1e-4, 1, 1e-10, 1e-6);
  SearchProgress progress;
  Solve(UniformFreeFree(10, {10}), walk, 2, &progress);
  EXPECT_EQ(progress.variant, 2);
  EXPECT_NEAR(progress.trials, 5001, 1);
  EXPECT_NEAR(progress.omega, 1, 1e-4);

  // A stop requested as the first frequency is accepted: no trial follows.
  struct StopAtFirst : RecordingOutput {
    StopFlag stop;
    SearchProgress progress;
    long long trialsAtStop = -1;
    void SectionResults(const ModeResult& m) override {
      RecordingOutput::SectionResults(m);
      trialsAtStop = progress.trials;
      stop.Request();
    }
  } out;
  const TShaftModel model = UniformFreeFree(10, {10}, 3);
  TSearchParams P = Params(1, 1, 100, 1e-10, 1e-6);
  int v = 1;
  EXPECT_EQ(SOB(P, v, SolverContext{model, out, &out.progress, nullptr, '.', &out.stop})->code, ErrorCode::Interrupted);
  EXPECT_EQ(out.modes.size(), 1u);
  EXPECT_EQ(out.progress.trials, out.trialsAtStop);
}

TEST(Sob, EachVariantUsesItsOwnStiffness) {
  TShaftModel model = UniformFreeFree(20, {10, 20}, 1);
  model.N = 2;
  model.KW = 2;
  model.SupportSection = {0, 2, 18};
  model.SupportStiffness[1] = {0, 1e3, 1e6};
  model.SupportStiffness[2] = {0, 1e3, 1e6};
  SearchRun soft, stiff;
  soft.P = stiff.P = Params(1, 1, 100, 1e-10, 1e-6);
  Solve(model, soft, 1);
  Solve(model, stiff, 2);
  ASSERT_EQ(soft.out.modes.size(), 1u);
  ASSERT_EQ(stiff.out.modes.size(), 1u);
  EXPECT_EQ(soft.out.modes[0].variant, 1);
  EXPECT_EQ(stiff.out.modes[0].variant, 2);
  EXPECT_LT(soft.out.modes[0].omega, stiff.out.modes[0].omega);
}

// ---- Mode shapes ---------------------------------------------------------------

namespace {

// M and Q at the free right end, relative to their largest values along the shaft.
std::pair<double, double> RightEndForces(const RecordedMode& mode) {
  double maxM = 0, maxQ = 0;
  for (size_t i = 1; i < mode.states.size(); ++i) {
    maxM = std::max(maxM, std::fabs(mode.states[i][2]));
    maxQ = std::max(maxQ, std::fabs(mode.states[i][3]));
  }
  const State& end = mode.states.back();
  return {std::fabs(end[2]) / maxM, std::fabs(end[3]) / maxQ};
}

std::vector<RecordedMode> Modes(std::initializer_list<int> spans, int KM = 100) {
  SearchRun run;
  run.P = Params(1, 1, 100, 1e-10, 1e-6);
  Solve(UniformFreeFree(KM, spans, 2), run);
  EXPECT_EQ(run.out.modes.size(), 2u);
  return run.out.modes;
}

RecordedMode FirstMode(std::initializer_list<int> spans) { return Modes(spans).at(0); }

}  // namespace

TEST(ModeShape, FreeFreeShaftDeflectionsAndFreeRightEnd) {
  for (auto spans : {std::initializer_list<int>{30, 100}, std::initializer_list<int>{25, 50, 75, 100}}) {
    const RecordedMode mode = FirstMode(spans);
    EXPECT_FALSE(mode.fromNullVector);
    const std::pair<int, double> expected[] = {{1, 0.9524}, {25, -0.1204}, {50, -0.6220},
                                               {75, -0.0823}, {99, 1.0000}, {100, 1.0476}};
    for (auto [i, y] : expected) EXPECT_NEAR(mode.states[i][0], y, 5e-5) << i;
    auto [M, Q] = RightEndForces(mode);
    EXPECT_LT(M, 1e-4);
    EXPECT_LT(Q, 1e-4);
  }
}

TEST(ModeShape, UndefinedReducedSystemsStillGiveTheMode) {
  // Two equal spans (singular reduced matrix at the first frequency) and one span
  // (a zero column always): the mode must be the same as with spans at 30 and 100.
  const RecordedMode reference = FirstMode({30, 100});
  for (auto spans : {std::initializer_list<int>{50, 100}, std::initializer_list<int>{100}}) {
    const RecordedMode mode = FirstMode(spans);
    EXPECT_TRUE(mode.fromNullVector);
    for (int i = 1; i <= 100; ++i) EXPECT_NEAR(mode.states[i][0], reference.states[i][0], 1e-4) << i;
    auto [M, Q] = RightEndForces(mode);
    EXPECT_LT(M, 1e-4);
    EXPECT_LT(Q, 1e-4);
  }
}

TEST(ModeShape, EqualSpansSolveTheSecondFrequencyNormally) {
  const std::vector<RecordedMode> equal = Modes({50, 100});
  const std::vector<RecordedMode> reference = Modes({30, 100});
  EXPECT_FALSE(equal.at(1).fromNullVector);
  for (int i = 1; i <= 100; ++i) EXPECT_NEAR(equal[1].states[i][0], reference.at(1).states[i][0], 1e-4) << i;
}

// Each entry of the solution is the quantity at the cross-section that
// SolutionUnknowns names, whether solved directly or from the null vector.
TEST(ModeShape, SolutionUnknownsNameWhatTheSolutionHolds) {
  for (auto spans : {std::initializer_list<int>{30, 100}, {50, 100}, {20, 45, 100}}) {
    const std::vector<SolutionUnknown> unknowns = SolutionUnknowns(UniformFreeFree(100, spans));
    ASSERT_EQ(unknowns.size(), 4 * spans.size() - 1);
    for (const RecordedMode& mode : Modes(spans)) {
      State scale{};
      for (const State& s : mode.states)
        for (int q = 0; q < 4; ++q) scale[q] = std::max(scale[q], std::fabs(s[q]));
      for (size_t r = 0; r < unknowns.size(); ++r) {
        const auto [q, c] = unknowns[r];
        EXPECT_NEAR(mode.V.at(r + 1), mode.states.at(c)[q], 1e-6 * scale[q]) << r << " " << mode.k;
      }
    }
  }
}

TEST(ModeShape, SolutionSatisfiesTheCharacteristicSystem) {
  const TShaftModel model = UniformFreeFree(60, {15, 40, 60}, 3);
  SearchRun run;
  run.P = Params(1, 1, 200, 1e-10, 1e-7);
  Solve(model, run);
  ASSERT_EQ(run.out.modes.size(), 3u);
  for (const RecordedMode& mode : run.out.modes) {
    const Eigen::MatrixXd A = Characteristic(model, mode.omega);
    Eigen::VectorXd x(A.rows());
    x[0] = 1;
    for (int r = 1; r < A.rows(); ++r) x[r] = mode.V[r];
    EXPECT_LT((A * x).norm(), 1e-5 * A.norm() * x.norm()) << mode.k;
  }
}

TEST(ModeShape, SupportAtAnInnerSpanEndKeepsTheRightEndFree) {
  TShaftModel model = UniformFreeFree(40, {20, 40}, 2);
  model.N = 2;
  model.SupportSection = {0, 20, 5};
  model.SupportStiffness[1][1] = 500;
  model.SupportStiffness[2][1] = 200;
  SearchRun run;
  run.P = Params(1, 1, 100, 1e-10, 1e-7);
  Solve(model, run);
  ASSERT_GE(run.out.modes.size(), 1u);
  for (const RecordedMode& mode : run.out.modes) {
    auto [M, Q] = RightEndForces(mode);
    EXPECT_LT(M, 1e-4) << mode.k;
    EXPECT_LT(Q, 1e-4) << mode.k;
  }
}

TEST(ModeShape, AcceptedThroughSmallDeterminantUsesTheSystemAtThatFrequency) {
  // EPS so large that the second trial is accepted with a coarse step, before any
  // reduced system was prepared: the mode must still belong to the accepted omega.
  const TShaftModel model = UniformFreeFree(30, {10, 30}, 1);
  SearchRun run;
  run.P = Params(5, 1, 100, 1e300, 1e-9);
  Solve(model, run);
  ASSERT_EQ(run.out.modes.size(), 1u);
  const double omega = run.out.modes[0].omega;
  EXPECT_EQ(omega, 6);

  ShaftLayout layout(model, 1);
  ModeShape direct(layout);
  std::vector<double> a(8 * 8);
  layout.Assemble(omega, MatrixView{a.data(), 8});
  direct.Prepare(MatrixView{a.data(), 8});
  direct.Compute(omega);
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(run.out.modes[0].states[i], direct.States()[i]) << i;
}

// A stop request reaches a mode shape accepted away from a natural frequency
// before its null vector, the long part.
TEST(ModeShape, AStopRequestReachesTheNullVector) {
  const TShaftModel model = UniformFreeFree(30, {10, 30}, 1);
  const ShaftLayout layout(model, 1);
  StopFlag stop;
  stop.Request();
  ModeShape mode(layout);
  std::vector<double> a(8 * 8);
  layout.Assemble(6, MatrixView{a.data(), 8});
  mode.Prepare(MatrixView{a.data(), 8});
  EXPECT_EQ(ErrorOf([&] { mode.Compute(6, &stop); }), "Расчет прерван");
}

// ---- The estimate of a search --------------------------------------------------

namespace {

// Trials of a walk.
long long Trials(const TShaftModel& model, TSearchParams P) {
  SearchRun run;
  run.P = P;
  SearchProgress progress;
  Solve(model, run, 1, &progress);
  return progress.trials;
}

}  // namespace

TEST(SearchEstimate, TrialsAgreeWithTheWalk) {
  const TShaftModel model = UniformFreeFree(10, {5, 10}, 2);
  // From 1 to the second frequency (63.3) in steps of 1E-3, then refined to 1E-6.
  const TSearchParams P = Params(1, 1e-3, 100, 1e-10, 1e-6);
  const SearchEstimate e = EstimateSearch(model, P);
  ASSERT_TRUE(e.made);
  const double trials = static_cast<double>(Trials(model, P));
  EXPECT_NEAR(e.trials, trials, 0.05 * trials);
  EXPECT_NEAR(e.trials, 62.3e3, 1e3);
  // The time is the trials at the speed of this machine.
  EXPECT_GT(e.seconds / e.trials, 1e-9);
  EXPECT_LT(e.seconds / e.trials, 1e-3);

  // Each variant walks its own way: a stiff support moves the frequencies.
  TShaftModel two = model;
  two.KW = 2;
  two.SupportSection[1] = 5;
  two.SupportStiffness[1][2] = 1e4;
  const SearchEstimate both = EstimateSearch(two, P);
  ASSERT_TRUE(both.made);
  two.KW = 1;
  const double first = EstimateSearch(two, P).trials;
  two.SupportStiffness[1][1] = 1e4;
  const double second = EstimateSearch(two, P).trials;
  EXPECT_GT(std::fabs(second - first), 1e3);
  EXPECT_DOUBLE_EQ(both.trials, first + second);
}

TEST(SearchEstimate, WhereTheWalkEnds) {
  const TShaftModel model = UniformFreeFree(10, {10}, 2);  // 22.73, 63.32, 125.4, ...
  auto trials = [&](TSearchParams P, int KP = 2) {
    TShaftModel m = model;
    m.KP = KP;
    const SearchEstimate e = EstimateSearch(m, P);
    EXPECT_TRUE(e.made);
    return e.trials;
  };
  // FK = 1E9 as "no upper bound": the walk ends at the second frequency.
  // Forward trials to the last frequency, then per frequency log3(FT1 / EPSF)
  // rounds of about 2 refined trials, and 2 more.
  EXPECT_NEAR(trials(Params(1, 1, 1e9, 1e-10, 1e-6)), 63.3 + 2 * (13 * 2 + 2), 2);
  // Fewer frequencies up to FK than KP: it ends after the last of them.
  EXPECT_NEAR(trials(Params(1, 0.01, 100, 1e-10, 1e-6), 5), 6233 + 2 * (9 * 2 + 2), 4);
  // Not one frequency up to FK: from F1 > 0 it ends at once; from F1 <= 0 it walks to FK.
  EXPECT_LT(trials(Params(64, 0.01, 120, 1e-10, 1e-6)), 2);
  EXPECT_NEAR(trials(Params(-10, 0.01, 20, 1e-10, 1e-6)), 3000, 2);
  // Rigid-body motion near 0 is no frequency of the walk, for a coarse shaft and
  // a fine one, whose rounding puts it near 1E-2.
  EXPECT_NEAR(trials(Params(1e-9, 0.01, 100, 1e-10, 1e-6), 1), 2274 + 9 * 2 + 2, 4);
  TShaftModel fine = UniformFreeFree(200, {200}, 1);
  EXPECT_NEAR(EstimateSearch(fine, Params(1e-9, 0.01, 100, 1e-10, 1e-6)).trials, 2238 + 9 * 2 + 2, 4);
  // FT1 below EPSF: two trials per search, whose mode comes from a null vector; FK below F1: none.
  EXPECT_EQ(trials(Params(1, 1e-7, 100, 1e-10, 1e-6), 3), 6);
  EXPECT_EQ(EstimateSearch(model, Params(1, 1e-7, 100, 1e-10, 1e-6)).nullVectors, 2);
  EXPECT_GT(SecondsPerModeShape(model, 1.5), 0);
  EXPECT_EQ(trials(Params(5, 1, 4, 1e-10, 1e-6)), 0);
  // A step beyond FK: the first trial only records, the second lies past FK.
  EXPECT_EQ(trials(Params(1, 1e308, 100, 1e-10, 1e-6)), 1);
  EXPECT_EQ(trials(Params(1, 99.5, 100, 1e-10, 1e-6)), 1);
  // A step below the resolution of F1 never moves the walk: it ends at its second trial.
  EXPECT_EQ(trials(Params(-1e20, 5, 100, 1e-10, 1e-6)), 2);
  // Refinements from the largest step to the smallest accuracy stay countable.
  EXPECT_NEAR(trials(Params(1, 1e10, 2e10, 1e-10, 1e-300), 1), 1 + 650 * 2 + 2, 2);
}

TEST(SearchEstimate, NotMadeWithoutACount) {
  TShaftModel model = UniformFreeFree(10, {10}, 2);
  model.SectionMass[4] = -0.1;
  EXPECT_FALSE(EstimateSearch(model, Params(1, 1, 100, 1e-10, 1e-6)).made);
  // Nor one whose stiffness overflows (EI / l); the count up to FK = 1E300 is made.
  TShaftModel stiff = UniformFreeFree(10, {10}, 2);
  stiff.SectionLength[3] = 1e-310;
  EXPECT_FALSE(EstimateSearch(stiff, Params(1, 1, 100, 1e-10, 1e-6)).made);
  const SearchEstimate far = EstimateSearch(UniformFreeFree(10, {10}, 2), Params(1, 1, 1e300, 1e-10, 1e-6));
  EXPECT_TRUE(far.made);
  EXPECT_LT(far.trials, 200);  // to the second frequency, as with FK = 1E9
  // A model that cannot be solved (its span never closes) cannot be timed.
  EXPECT_EQ(SecondsPerTrial(UniformFreeFree(10, {11}), 1, 100), 0);
  EXPECT_GT(SecondsPerTrial(UniformFreeFree(10, {10}), 1, 100), 0);
}
