#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <random>

#include "frequency_count.h"
#include "shaft_fixtures.h"
#include "sob.h"

using namespace vp;
using namespace vp::test;

namespace {

// The natural frequencies of the lumped-mass beam, solved directly: the
// massless unknowns condensed out, then a symmetric eigenproblem.
std::vector<double> EigenFrequencies(const TShaftModel& m, int variant) {
  const int E = m.SpanEnd[m.KZ];
  const int n = 2 * (E + 1);
  Eigen::MatrixXd K = Eigen::MatrixXd::Zero(n, n);
  Eigen::VectorXd M = Eigen::VectorXd::Zero(n);
  for (int i = 1; i <= E; ++i) {
    const double l = m.SectionLength[i], c = m.SectionEI[i] / (l * l * l);
    Eigen::Matrix4d e;
    e << 12, 6 * l, -12, 6 * l, 6 * l, 4 * l * l, -6 * l, 2 * l * l, -12, -6 * l, 12, -6 * l, 6 * l, 2 * l * l,
        -6 * l, 4 * l * l;
    K.block(2 * (i - 1), 2 * (i - 1), 4, 4) += c * e;
    M[2 * (i - 1)] += m.SectionMass[i];
  }
  for (int s = 1; s <= m.N; ++s)
    if (m.SupportSection[s] >= 1 && m.SupportSection[s] <= E)
      K(2 * m.SupportSection[s], 2 * m.SupportSection[s]) += m.SupportStiffness[s][variant];
  std::vector<int> a, c;
  for (int i = 0; i < n; ++i) (M[i] > 0 ? a : c).push_back(i);
  auto sub = [&](const std::vector<int>& r, const std::vector<int>& s) {
    Eigen::MatrixXd out(r.size(), s.size());
    for (size_t i = 0; i < r.size(); ++i)
      for (size_t j = 0; j < s.size(); ++j) out(i, j) = K(r[i], s[j]);
    return out;
  };
  Eigen::MatrixXd reduced = sub(a, a) - sub(a, c) * sub(c, c).ldlt().solve(sub(c, a));
  Eigen::VectorXd root(a.size());
  for (size_t i = 0; i < a.size(); ++i) root[i] = 1 / std::sqrt(M[a[i]]);
  reduced = root.asDiagonal() * reduced * root.asDiagonal();
  Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(reduced);
  std::vector<double> omegas;
  for (int i = 0; i < solver.eigenvalues().size(); ++i)
    omegas.push_back(std::sqrt(std::max(0.0, solver.eigenvalues()[i])));
  return omegas;
}

}  // namespace

TEST(FrequencyCount, FreeFreeShaftCountsRigidBodyAndElasticModes) {
  const TShaftModel m = UniformFreeFree(100, {30, 100});
  const FrequencyCounter counter(m, 1);
  ASSERT_EQ(counter.Problem(), "");
  EXPECT_EQ(counter.CountBelow(1), 2);  // two rigid-body motions at 0
  EXPECT_EQ(counter.CountBelow(22.37), 2);
  EXPECT_EQ(counter.CountBelow(22.38), 3);
  EXPECT_EQ(counter.CountBelow(100), 4);
  EXPECT_EQ(counter.CountBelow(121), 5);
}

TEST(FrequencyCount, AgreesWithADirectEigenSolveOnRandomShafts) {
  std::mt19937 rng(29);
  std::uniform_real_distribution<double> u(0.2, 2.0);
  for (int trial = 0; trial < 40; ++trial) {
    TShaftModel m;
    m.KM = 5 + trial * 4;
    m.KZ = 1 + trial % 4;
    for (int j = 1; j <= m.KZ; ++j) m.SpanEnd[j] = m.KM * j / m.KZ;
    m.N = 1 + trial % 5;
    for (int s = 1; s <= m.N; ++s) {
      m.SupportSection[s] = 1 + static_cast<int>(rng() % m.KM);
      m.SupportStiffness[s][1] = trial % 3 == 0 ? 0.0 : u(rng) * 1e3;
    }
    for (int i = 1; i <= m.KM; ++i) {
      m.SectionLength[i] = u(rng) / m.KM;
      m.SectionMass[i] = i % 7 == 3 ? 0.0 : u(rng) / m.KM;  // some massless sections
      m.SectionEI[i] = u(rng);
    }
    const FrequencyCounter counter(m, 1);
    ASSERT_EQ(counter.Problem(), "") << trial;
    const std::vector<double> exact = EigenFrequencies(m, 1);
    for (double omega : {0.5, 5.0, 20.0, 80.0, 300.0, 1000.0}) {
      int expected = 0;
      bool near = false;
      for (double w : exact) {
        expected += w < omega;
        near = near || std::fabs(w - omega) < 1e-6 * omega;
      }
      if (!near) {
        EXPECT_EQ(counter.CountBelow(omega), expected) << trial << " " << omega;
      }
    }
  }
}

TEST(FrequencyCount, ASweepThatSteppedOverTwoZerosIsCaught) {
  const TShaftModel m = UniformFreeFree(100, {30, 100}, 5);
  RecordingOutput out;
  RecordingSink sink;
  TSearchParams P = Params(1, 70, 150, 1e-10, 1e-6);  // 22.4 and 61.7 share the first step
  int v = 1;
  SOB(P, v, SolverContext{m, out, sink, {}});
  std::vector<double> found;
  for (const auto& mode : out.modes) found.push_back(mode.omega);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_NEAR(found[0], 120.95, 0.01);
  const CompletenessReport report = CheckCompleteness(m, 1, 1, P[kStart], found, 0.01);
  ASSERT_TRUE(report.checked);
  EXPECT_EQ(report.found, 1);
  EXPECT_EQ(report.inRange, 3);
  ASSERT_EQ(report.missed.size(), 2u);
  EXPECT_LE(report.missed[0].first, 22.3768);
  EXPECT_GE(report.missed[0].second, 22.3768);
  EXPECT_LT(report.missed[0].second - report.missed[0].first, 0.011);
  EXPECT_NEAR(report.missed[1].first, 61.68, 0.02);
}

TEST(FrequencyCount, ACarefulSweepMissesNothing) {
  const TShaftModel m = UniformFreeFree(100, {25, 50, 75, 100}, 10);
  RecordingOutput out;
  RecordingSink sink;
  TSearchParams P = Params(1, 1, 300, 1e-10, 1e-6);
  int v = 1;
  SOB(P, v, SolverContext{m, out, sink, {}});
  std::vector<double> found;
  for (const auto& mode : out.modes) found.push_back(mode.omega);
  const CompletenessReport report = CheckCompleteness(m, 1, 1, P[kStart], found, 0.01);
  EXPECT_TRUE(report.checked);
  EXPECT_EQ(report.inRange, static_cast<int>(found.size()));
  EXPECT_EQ(report.inRange, 5);  // 22.4, 61.7, 120.9, 199.9, 298.6
  EXPECT_TRUE(report.missed.empty());
}

TEST(FrequencyCount, SaysWhenItCannotCount) {
  TShaftModel m = UniformFreeFree(10, {10});
  m.SectionEI[3] = 0;
  EXPECT_NE(FrequencyCounter(m, 1).Problem(), "");
  TShaftModel massless = UniformFreeFree(10, {10});
  for (int i = 1; i <= 10; ++i) massless.SectionMass[i] = 0;
  EXPECT_NE(FrequencyCounter(massless, 1).Problem(), "");
  const CompletenessReport report = CheckCompleteness(massless, 1, 1, 100, {}, 0.01);
  EXPECT_FALSE(report.checked);
  EXPECT_NE(report.problem, "");
}
