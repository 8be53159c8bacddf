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

namespace {

// Records where a walk ended early, beside everything else.
class EndRecorder : public RecordingOutput {
 public:
  void WalkEndedEarly(int variant, double omega) override { ends.push_back({variant, omega}); }
  std::vector<std::pair<int, double>> ends;
};

// A search of variant 1, with or without the count.
void Walk(const TShaftModel& m, TSearchParams& P, EndRecorder& out, bool counted) {
  const FrequencyCounter counter(m, 1);
  RecordingSink sink;
  SolverContext ctx{m, out, sink, {}};
  if (counted) ctx.counter = &counter;
  int v = 1;
  SOB(P, v, ctx);
}

}  // namespace

TEST(FrequencyCount, MayHoldFrequencyIsFalseOnlyWhereTheCountShowsNone) {
  const FrequencyCounter c(UniformFreeFree(100, {30, 100}), 1);  // 22.3768, 61.68, 120.9, ...
  double a = 1, b = 30;
  for (int step = 0; step < 100; ++step) (c.CountBelow(0.5 * (a + b)) > 2 ? b : a) = 0.5 * (a + b);
  const double first = b;
  EXPECT_FALSE(MayHoldFrequency(c, 1, first * (1 - 1e-5)));
  EXPECT_TRUE(MayHoldFrequency(c, 1, first * (1 - 1e-7)));  // within the margin
  EXPECT_TRUE(MayHoldFrequency(c, first * (1 + 1e-7), 61.6));
  EXPECT_FALSE(MayHoldFrequency(c, first * (1 + 1e-5), 61.6));
  EXPECT_TRUE(MayHoldFrequency(c, 22.4, 1e9));
  // Down to 0 the rigid-body motion and the mirrored zeros are there.
  EXPECT_TRUE(MayHoldFrequency(c, 0, 1));
  EXPECT_TRUE(MayHoldFrequency(c, -5, 10));
  // A count that overflows proves nothing.
  EXPECT_TRUE(MayHoldFrequency(c, 1e200, 1e201));
  EXPECT_FALSE(MayHoldFrequency(c, 1e100, 1e101));
}

TEST(FrequencyCount, AWalkWithTheCountEndsWhereNoFrequencyIsLeft) {
  // FK = 1E9 and KP = 20 for a shaft of 10 masses: the walk finds its 8
  // elastic frequencies, then ends instead of stepping on to 1E9.
  const TShaftModel m = UniformFreeFree(10, {10}, 20);
  TSearchParams P = Params(1, 1, 1e9, 1e-10, 1e-6);
  EndRecorder out;
  Walk(m, P, out, true);
  std::vector<double> exact;
  for (double w : EigenFrequencies(m, 1))
    if (w > 1) exact.push_back(w);
  ASSERT_EQ(exact.size(), 8u);
  ASSERT_EQ(out.modes.size(), 8u);
  for (size_t i = 0; i < exact.size(); ++i) EXPECT_NEAR(out.modes[i].omega, exact[i], 1e-6 * exact[i]) << i;
  ASSERT_EQ(out.ends.size(), 1u);
  EXPECT_EQ(out.ends[0].first, 1);
  EXPECT_EQ(out.ends[0].second, out.modes.back().omega + 0.01);
  EXPECT_EQ(P[kStart], out.ends[0].second);

  // Nothing in [F1, FK] at all: no trial is made.
  TSearchParams empty = Params(62, 1, 120, 1e-10, 1e-6);
  EndRecorder none;
  Walk(UniformFreeFree(100, {100}), empty, none, true);
  EXPECT_TRUE(none.entries.empty());
  ASSERT_EQ(none.ends.size(), 1u);
  EXPECT_EQ(empty[kStart], 62);
}

TEST(FrequencyCount, EndingEarlyNeverLosesAFrequencyTheWalkFinds) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(0.3, 2.0);
  int endedEarly = 0;
  for (int trial = 0; trial < 24; ++trial) {
    TShaftModel m;
    m.KM = 6 + trial;
    m.KZ = 1 + trial % 3;
    m.KP = 20;
    for (int j = 1; j <= m.KZ; ++j) m.SpanEnd[j] = m.KM * j / m.KZ;
    m.N = 2;
    for (int s = 1; s <= m.N; ++s) {
      m.SupportSection[s] = 1 + static_cast<int>(rng() % m.KM);
      m.SupportStiffness[s][1] = trial % 4 == 0 ? 0.0 : u(rng) * 100;
    }
    for (int i = 1; i <= m.KM; ++i) {
      m.SectionLength[i] = u(rng) / m.KM;
      m.SectionMass[i] = i % 5 == 2 ? 0.0 : u(rng) / m.KM;
      m.SectionEI[i] = u(rng);
    }
    m.ComputeSectionX();
    const double FK = 150 + 10 * trial;
    TSearchParams plainP = Params(0.5, 0.25, FK, 1e-12, 1e-7), countedP = plainP;
    EndRecorder plain, counted;
    Walk(m, plainP, plain, false);
    Walk(m, countedP, counted, true);
    ASSERT_EQ(counted.entries.size(), plain.entries.size()) << trial;
    for (size_t i = 0; i < plain.entries.size(); ++i) EXPECT_EQ(counted.entries[i].F, plain.entries[i].F) << trial;
    EXPECT_TRUE(plain.ends.empty());
    // Only a walk that would have reached FK may end early.
    if (static_cast<int>(plain.entries.size()) == m.KP) {
      EXPECT_TRUE(counted.ends.empty()) << trial;
    }
    endedEarly += !counted.ends.empty();
  }
  EXPECT_GT(endedEarly, 12);
}

TEST(FrequencyCount, FalseFrequenciesOfAStepBelowEpsfStopWhereNoNaturalOneIsLeft) {
  // FT1 < EPSF accepts the second trial of every search, whatever the
  // determinant. Where natural frequencies remain up to FK, that goes on as
  // before; where none does, the walk ends before making them up.
  const TShaftModel m = UniformFreeFree(10, {10}, 3);
  for (bool counted : {false, true}) {
    TSearchParams P = Params(1, 1e-7, 100, 0, 1e-6);
    EndRecorder out;
    Walk(m, P, out, counted);
    EXPECT_EQ(out.entries.size(), 3u);
    EXPECT_DOUBLE_EQ(out.entries[0].F, 100 * (1 + 1e-7));
  }
  TSearchParams above = Params(70, 1e-7, 100, 0, 1e-6);  // natural frequencies: 22.7, 62.5, 122.6, ...
  EndRecorder plain, counted;
  Walk(m, above, plain, false);
  EXPECT_EQ(plain.entries.size(), 3u);
  above[kStart] = 70;
  Walk(m, above, counted, true);
  EXPECT_TRUE(counted.entries.empty());
  std::vector<double> exact = EigenFrequencies(m, 1);
  ASSERT_GE(exact.size(), 5u);
  EXPECT_LT(exact[3], 70);  // two rigid-body motions first
  EXPECT_GT(exact[4], 100);
  EXPECT_EQ(counted.ends.size(), 1u);
}
