#include "continuous_shaft.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <random>

#include "beam_references.h"
#include "error_text.h"
#include "frequency_count.h"

using namespace vp;
using namespace vp::test;

namespace {

// A stepped rotor: massless lead-in, a collar as a point mass, a massless
// coupling piece, springs of very different stiffness, two spans.
TShaftModel SteppedRotor() {
  return MakeShaft({{0.05, 0.0, 2e5},
                    {0.2, 9.0, 3e5},
                    {0.0, 4.0, 0.0},
                    {0.3, 18.0, 8e5},
                    {0.3, 18.0, 8e5},
                    {0.1, 0.0, 5e4},
                    {0.25, 6.0, 2e5},
                    {0.0, 1.5, 1.0},
                    {0.15, 3.0, 1e5}},
                   {{1, 5e7}, {4, 2e8}, {7, 1e6}}, {4, 9});
}

// The ordinals first..last must match the exact roots to `tolerance`.
void ExpectMatchesReference(const TShaftModel& model, int first, int last, double tolerance) {
  const ContinuousShaft shaft(model, 1);
  ASSERT_EQ(test::Text(shaft.Fault()), "");
  const TransferReference exact(model, 1);
  const std::vector<OrdinalFrequency> found = shaft.Frequencies(first, last);
  ASSERT_EQ(static_cast<int>(found.size()), last - first + 1);
  for (const OrdinalFrequency& f : found) {
    const double w = f.omega;
    ASSERT_TRUE(exact.ChangesSign(w * (1 - 1e-6), w * (1 + 1e-6))) << "ordinal " << f.ordinal << " at " << w;
    const double root = exact.Root(w * (1 - 1e-6), w * (1 + 1e-6));
    EXPECT_NEAR(w, root, tolerance * root) << "ordinal " << f.ordinal;
  }
}

// The mode shapes of the ordinals 1..last must match the exact ones, scaled
// alike (the largest deflection +1).
void ExpectModesMatchReference(const TShaftModel& model, int last) {
  const ContinuousShaft shaft(model, 1);
  const TransferReference exact(model, 1);
  for (int n = 1; n <= last; ++n) {
    const double w = *shaft.Frequency(n);
    const ContinuousMode mode = shaft.Mode(w);
    const auto [y, theta] = exact.Mode(exact.Root(w * (1 - 1e-9), w * (1 + 1e-9)));
    ASSERT_EQ(mode.y.size(), y.size());
    double slopeScale = 0;
    for (double t : theta) slopeScale = std::max(slopeScale, std::fabs(t));
    for (size_t c = 0; c < y.size(); ++c) {
      EXPECT_NEAR(mode.y[c], y[c], 1e-8) << n << " " << c;
      EXPECT_NEAR(mode.theta[c], theta[c], 1e-8 * slopeScale) << n << " " << c;
      EXPECT_LE(std::fabs(mode.y[c]), 1.0);
    }
  }
}

}  // namespace

TEST(ContinuousShaftClosedForms, FreeFreeUniformShaftHowEverItIsCut) {
  const double L = 2.5, EI = 3.0, mu = 1.7;
  // The last cut puts section 1's first clamped-clamped frequency on the
  // beam's second free-free one: the dynamic stiffness has a pole at the root.
  const double l1 = L * kFreeFreeBetaL[0] / kFreeFreeBetaL[1];
  for (const std::vector<double>& cut : std::vector<std::vector<double>>{
           {2.5}, {1.0, 1.5}, {0.5, 0.5, 0.5, 0.5, 0.5}, {1e-6, 0.7, 1e-3, 1.798999, 0.0}, {2.0, 0.4999, 1e-4}, {l1, L - l1}}) {
    SCOPED_TRACE(testing::Message() << cut.size() << " pieces from " << cut[0]);
    const ContinuousShaft shaft(MakeShaft(Cut(EI, mu, cut), {}), 1);
    ASSERT_EQ(test::Text(shaft.Fault()), "");
    EXPECT_EQ(shaft.RigidBodyModes(), 2);
    const std::vector<OrdinalFrequency> f = shaft.Frequencies(1, 5);
    ASSERT_EQ(f.size(), 5u);
    for (int n = 0; n < 5; ++n) {
      EXPECT_EQ(f[n].ordinal, n + 1);
      const double expected = BeamOmega(kFreeFreeBetaL[n], L, EI, mu);
      EXPECT_NEAR(f[n].omega, expected, 1e-12 * expected) << "ordinal " << n + 1;
    }
    // The second mode is antisymmetric, its largest deflections at the ends.
    const ContinuousMode mode = shaft.Mode(f[1].omega);
    EXPECT_NEAR(mode.y.front(), -mode.y.back(), 1e-7);
    EXPECT_NEAR(std::fabs(mode.y.front()), 1.0, 1e-7);
  }
}

TEST(ContinuousShaftClosedForms, PinnedPinnedThroughStiffSpringsOnMasslessLeadIns) {
  // Supports act at cross-sections 1..E, so massless sections lead in to the
  // pinned ends; nothing loads them, so they change nothing.
  const double L = 1.2, EI = 5.0, mu = 2.0, k = 1e15 * EI / (L * L * L);
  std::vector<SectionData> s{{0.3, 0.0, 1.0}};
  for (double l : {0.4, 0.5, 0.3}) s.push_back({l, mu * l, EI});
  s.push_back({0.2, 0.0, 7.0});
  const ContinuousShaft shaft(MakeShaft(s, {{1, k}, {4, k}}), 1);
  ASSERT_EQ(test::Text(shaft.Fault()), "");
  EXPECT_EQ(shaft.RigidBodyModes(), 0);
  for (int n = 1; n <= 6; ++n) {
    const double expected = BeamOmega(n * M_PI, L, EI, mu);
    EXPECT_NEAR(*shaft.Frequency(n), expected, 1e-12 * expected) << n;
  }
}

TEST(ContinuousShaftClosedForms, FreeFreeModeShape) {
  const double L = 1.0;
  const std::vector<double> cut{0.1, 0.25, 0.15, 0.2, 0.3};
  const ContinuousShaft shaft(MakeShaft(Cut(2.0, 3.0, cut), {}), 1);
  for (int n = 1; n <= 3; ++n) {
    const double bL = kFreeFreeBetaL[n - 1], b = bL / L;
    const double sigma = (std::cosh(bL) - std::cos(bL)) / (std::sinh(bL) - std::sin(bL));
    auto y = [&](double x) { return std::cosh(b * x) + std::cos(b * x) - sigma * (std::sinh(b * x) + std::sin(b * x)); };
    auto dy = [&](double x) {
      return b * (std::sinh(b * x) - std::sin(b * x) - sigma * (std::cosh(b * x) + std::cos(b * x)));
    };
    const ContinuousMode mode = shaft.Mode(*shaft.Frequency(n));
    ASSERT_EQ(mode.y.size(), cut.size() + 1);
    // The largest deflections are at the ends, y = 2 at x = 0, and as large at
    // the other end: compare relative to cross-section 0.
    EXPECT_NEAR(std::fabs(mode.y[0]), 1.0, 1e-9);
    double x = 0;
    for (size_t c = 0; c <= cut.size(); ++c) {
      EXPECT_NEAR(mode.y[c] / mode.y[0], y(x) / 2, 1e-9) << n << " " << c;
      EXPECT_NEAR(mode.theta[c] / mode.y[0], dy(x) / 2, 1e-8 * b) << n << " " << c;
      if (c < cut.size()) x += cut[c];
    }
  }
}

TEST(ContinuousShaftExact, SteppedShaftsWithSpringsPointMassesAndMasslessSections) {
  ExpectMatchesReference(SteppedRotor(), 1, 12, 1e-13);
  // The same rotor on other springs: free, one support, very stiff ones.
  TShaftModel m = SteppedRotor();
  for (const auto& [k1, k4, k7] : std::vector<std::array<double, 3>>{{0, 0, 0}, {0, 3e6, 0}, {1e13, 1e13, 1e12}}) {
    m.SupportStiffness[1][1] = k1;
    m.SupportStiffness[2][1] = k4;
    m.SupportStiffness[3][1] = k7;
    ExpectMatchesReference(m, 1, 10, 1e-13);
  }
}

TEST(ContinuousShaftExact, RandomStepsAndScales) {
  std::mt19937 rng(12);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (int trial = 0; trial < 12; ++trial) {
    std::vector<SectionData> s;
    const int KM = 3 + trial;
    for (int i = 0; i < KM; ++i) {
      const double kind = u(rng);
      const double l = kind < 0.15 ? 0.0 : 0.05 + u(rng);
      const double m = kind > 0.85 ? 0.0 : (0.1 + u(rng)) * (l > 0 ? l : 0.3);
      s.push_back({l, m, 0.5 + 2 * u(rng)});
    }
    s[0].l = 0.3;  // some length, so that the shaft can bend
    s[0].m = 0.2;
    std::vector<std::pair<int, double>> supports;
    for (int k = 0; k < trial % 4; ++k) supports.push_back({1 + static_cast<int>(rng() % KM), std::pow(10.0, 4 * u(rng))});
    SCOPED_TRACE(trial);
    ExpectMatchesReference(MakeShaft(s, supports), 1, 8, 1e-13);
  }
}

TEST(ContinuousShaftExact, LargeAndSmallMagnitudes) {
  // EI 1e6, lengths in millimetres and stiffness 1e12 against the exact roots,
  // then the same shaft in other units: frequencies scale by sqrt(b / (c a^3))
  // for lengths * a, EI * b, masses * c and springs * b / a^3.
  std::vector<SectionData> s;
  for (int i = 0; i < 12; ++i) s.push_back({1e-3 * (1 + i % 3), 2e-3 * (1 + i % 2), 1e6 * (1 + i % 4)});
  s[5] = {0, 5e-3, 1e6};
  const TShaftModel base = MakeShaft(s, {{2, 1e12}, {9, 3e11}});
  ExpectMatchesReference(base, 1, 6, 1e-13);
  const std::vector<double> reference = [&] {
    std::vector<double> w;
    for (const OrdinalFrequency& f : ContinuousShaft(base, 1).Frequencies(1, 6)) w.push_back(f.omega);
    return w;
  }();
  for (const auto& [a, b, c] : std::vector<std::array<double, 3>>{{1e3, 1e-6, 1e3}, {1e-2, 1e9, 1e-4}, {7.0, 3.0, 0.5}}) {
    TShaftModel scaled = base;
    for (int i = 1; i <= scaled.KM; ++i) {
      scaled.SectionLength[i] *= a;
      scaled.SectionEI[i] *= b;
      scaled.SectionMass[i] *= c;
    }
    for (int k = 1; k <= scaled.N; ++k) scaled.SupportStiffness[k][1] *= b / (a * a * a);
    const std::vector<OrdinalFrequency> f = ContinuousShaft(scaled, 1).Frequencies(1, 6);
    ASSERT_EQ(f.size(), 6u);
    const double factor = std::sqrt(b / (c * a * a * a));
    for (int n = 0; n < 6; ++n) EXPECT_NEAR(f[n].omega, reference[n] * factor, 1e-13 * reference[n] * factor) << a;
  }
}

TEST(ContinuousShaftExact, ShortStiffSectionsBesideLongOnesAndModeShapes) {
  ExpectModesMatchReference(SteppedRotor(), 5);
  // A micrometre at a free end, a millimetre inside, a massless stub: stiffness
  // ratios up to 1e18 between neighbours. Frequencies and modes still exact.
  const TShaftModel m = MakeShaft({{1e-6, 1e-6, 2.0},
                                   {0.6, 0.6, 2.0},
                                   {1e-3, 1e-3, 50.0},
                                   {0.0, 0.2, 0.0},
                                   {0.5, 0.4, 1.0},
                                   {1e-4, 0.0, 1.0},
                                   {0.3, 0.5, 3.0}},
                                  {{2, 40.0}, {5, 90.0}});
  ExpectMatchesReference(m, 1, 10, 1e-13);
  ExpectModesMatchReference(m, 6);
}

TEST(ContinuousShaftComplete, EveryRootOnceInOrder) {
  // The exact roots found by a fine scan are the ordinals, in order.
  const TShaftModel m = SteppedRotor();
  const ContinuousShaft shaft(m, 1);
  const TransferReference exact(m, 1);
  const double top = *shaft.Frequency(15) * 1.001;
  const std::vector<double> roots = exact.Roots(1e-3 * top, top, 3000);
  ASSERT_EQ(roots.size(), 15u);
  const std::vector<OrdinalFrequency> in = shaft.FrequenciesIn(0, top, 100);
  ASSERT_EQ(in.size(), 15u);
  for (int n = 0; n < 15; ++n) {
    EXPECT_EQ(in[n].ordinal, n + 1);
    EXPECT_NEAR(in[n].omega, roots[n], 1e-13 * roots[n]);
    EXPECT_EQ(shaft.CountBelow(roots[n] * (1 - 1e-9)), n);
    EXPECT_EQ(shaft.CountBelow(roots[n] * (1 + 1e-9)), n + 1);
  }
}

TEST(ContinuousShaftComplete, CloselySpacedPairsAreTwoOrdinals) {
  // Two equal spans on their own supports, joined by a soft massless link:
  // each mode of a span appears twice, a hair apart.
  std::vector<SectionData> s;
  for (int i = 0; i < 4; ++i) s.push_back({0.25, 0.25, 1.0});
  s.push_back({0.1, 0.0, 1e-10});
  for (int i = 0; i < 4; ++i) s.push_back({0.25, 0.25, 1.0});
  const TShaftModel m = MakeShaft(s, {{1, 1e4}, {3, 1e4}, {6, 1e4}, {8, 1e4}});
  const ContinuousShaft shaft(m, 1);
  const TransferReference exact(m, 1);
  const std::vector<OrdinalFrequency> f = shaft.Frequencies(1, 10);
  ASSERT_EQ(f.size(), 10u);
  for (int pair = 0; pair < 5; ++pair) {
    const double a = f[2 * pair].omega, b = f[2 * pair + 1].omega;
    EXPECT_LT(a, b);
    EXPECT_LT(b - a, 1e-6 * a) << "a pair of nearly equal frequencies";
    // Each has its own exact root between it and its partner's midpoint.
    const double mid = 0.5 * (a + b);
    EXPECT_TRUE(exact.ChangesSign(a - (mid - a), mid)) << pair;
    EXPECT_TRUE(exact.ChangesSign(mid, b + (b - mid))) << pair;
    EXPECT_NEAR(a, exact.Root(a - (mid - a), mid), 1e-13 * a);
    EXPECT_NEAR(b, exact.Root(mid, b + (b - mid)), 1e-13 * b);
  }
}

TEST(ContinuousShaftComplete, HighOrdinalsAndTheirLimit) {
  const ContinuousShaft shaft(MakeShaft(Cut(1.0, 1.0, {0.3, 0.2, 0.5}), {}), 1);
  // Free-free: beta*L -> (n + 1/2) pi.
  const double w = *shaft.Frequency(1000);
  EXPECT_NEAR(w, BeamOmega(1000.5 * M_PI, 1.0, 1.0, 1.0), 1e-9 * w);
  EXPECT_EQ(shaft.CountBelow(w * (1 - 1e-9)), 1001);
  EXPECT_EQ(shaft.CountBelow(w * (1 + 1e-9)), 1002);
  EXPECT_FALSE(shaft.Frequency(ContinuousShaft::kMaxOrdinal + 1));
  EXPECT_FALSE(shaft.Frequency(0));
  EXPECT_EQ(shaft.FrequenciesIn(0, 1e9, 5).size(), 5u);
}

TEST(ContinuousShaftComplete, PointMassesOnMasslessBeamsHaveFinitelyMany) {
  // Three point masses on a massless beam held by two springs: a 3x3 problem.
  const TShaftModel m = MakeShaft({{0.0, 1.0, 0.0}, {1.0, 0.0, 2.0}, {0.0, 2.0, 0.0}, {1.0, 0.0, 2.0}, {0.0, 1.5, 0.0}},
                                  {{2, 30.0}, {4, 50.0}});
  const ContinuousShaft shaft(m, 1);
  ASSERT_EQ(test::Text(shaft.Fault()), "");
  const std::vector<OrdinalFrequency> f = shaft.Frequencies(1, 10);
  ASSERT_EQ(f.size(), 3u);
  EXPECT_FALSE(shaft.Frequency(4));
  // All the mass is in the point masses, so the lumped model is the same shaft.
  const std::vector<double> direct = LumpedFrequencies(m, 1);
  ASSERT_EQ(direct.size(), 3u);
  for (int n = 0; n < 3; ++n) EXPECT_NEAR(f[n].omega, direct[n], 1e-12 * direct[n]);
}

TEST(ContinuousShaftFiniteElements, ConsistentMassModelConvergesToIt) {
  // All sections massive (the element mass matrix must be definite); point
  // masses and springs included. Cubic elements with consistent mass bound
  // the frequencies from above and converge with the fourth power of the
  // element length (until their own rounding, about 1e-9, takes over).
  const TShaftModel m = MakeShaft({{0.2, 1.0, 3.0}, {0.0, 0.4, 0.0}, {0.5, 4.0, 9.0}, {0.3, 1.2, 2.0}, {0.4, 0.8, 1.0}},
                                  {{1, 400.0}, {4, 900.0}});
  const std::vector<OrdinalFrequency> exact = ContinuousShaft(m, 1).Frequencies(1, 5);
  ASSERT_EQ(exact.size(), 5u);
  std::vector<double> previous;
  for (int q : {2, 4, 8, 16}) {
    const std::vector<double> fe = FiniteElementFrequencies(m, 1, q);
    for (int n = 0; n < 5; ++n) {
      const double error = fe[n] / exact[n].omega - 1;
      EXPECT_GT(error, 0) << "q " << q << " ordinal " << n + 1;
      if (!previous.empty()) {
        const double ratio = (previous[n] / exact[n].omega - 1) / error;
        EXPECT_GT(ratio, 12) << "q " << q << " ordinal " << n + 1;
        EXPECT_LT(ratio, 18) << "q " << q << " ordinal " << n + 1;
        // Richardson's extrapolation of the last two to zero element length.
        if (q == 16) {
          EXPECT_NEAR((16 * fe[n] - previous[n]) / 15, exact[n].omega, 3e-8 * exact[n].omega) << n + 1;
        }
      }
    }
    previous = fe;
  }
}

TEST(ContinuousShaftLumped, LumpedFrequenciesApproachItAsSectionsAreCut) {
  // The lumped model (each section's mass at its left cross-section) of the
  // same rotor cut into q pieces per section: first-order convergence, the
  // error about halving with every halving of the pieces.
  const std::vector<SectionData> rotor{{0.3, 3.0, 40.0}, {0.4, 6.0, 90.0}, {0.5, 5.0, 60.0}, {0.2, 1.0, 20.0}};
  const TShaftModel model = MakeShaft(rotor, {{1, 2000.0}, {3, 5000.0}});
  const std::vector<OrdinalFrequency> exact = ContinuousShaft(model, 1).Frequencies(1, 4);
  ASSERT_EQ(exact.size(), 4u);
  std::vector<double> previousError;
  for (int q : {4, 8, 16, 32, 50}) {
    std::vector<SectionData> cut;
    for (const SectionData& s : rotor)
      for (int p = 0; p < q; ++p) cut.push_back({s.l / q, s.m / q, s.EI});
    const TShaftModel fine = MakeShaft(cut, {{q, 2000.0}, {3 * q, 5000.0}});
    const FrequencyCounter lumped(fine, 1);
    ASSERT_EQ(test::Text(lumped.Fault()), "");
    std::vector<double> error;
    for (int n = 0; n < 4; ++n) {
      double a = 1e-6 * exact[0].omega, b = 10 * exact[3].omega;
      for (int step = 0; step < 60; ++step) {
        const double mid = 0.5 * (a + b);
        (lumped.CountBelow(mid) > n ? b : a) = mid;
      }
      error.push_back(std::fabs(a / exact[n].omega - 1));
      if (!previousError.empty()) {
        EXPECT_LT(error[n], 0.75 * previousError[n]) << q << " " << n + 1;
        EXPECT_GT(error[n], 0.35 * previousError[n]) << q << " " << n + 1;
      }
    }
    previousError = error;
  }
  for (int n = 0; n < 4; ++n) EXPECT_LT(previousError[n], 0.01) << n + 1;
}

TEST(ContinuousShaftInput, RigidBodyMotions) {
  const auto uniform = Cut(1.0, 1.0, {0.5, 0.0, 0.5});
  EXPECT_EQ(ContinuousShaft(MakeShaft(uniform, {{1, 0.0}}), 1).RigidBodyModes(), 2);
  EXPECT_EQ(ContinuousShaft(MakeShaft(uniform, {{1, 10.0}}), 1).RigidBodyModes(), 1);
  // Two springs at one place (a zero-length section between them) still leave a turn.
  EXPECT_EQ(ContinuousShaft(MakeShaft(uniform, {{1, 10.0}, {2, 5.0}}), 1).RigidBodyModes(), 1);
  EXPECT_EQ(ContinuousShaft(MakeShaft(uniform, {{1, 10.0}, {3, 5.0}}), 1).RigidBodyModes(), 0);
  // A support at cross-section 0, or after the last span, does not act.
  EXPECT_EQ(ContinuousShaft(MakeShaft(uniform, {{0, 10.0}, {3, 5.0}}), 1).RigidBodyModes(), 1);
  EXPECT_EQ(ContinuousShaft(MakeShaft(uniform, {{1, 10.0}, {3, 5.0}}, {2}), 1).RigidBodyModes(), 1);
  // With one spring the first ordinal is the lowest bending frequency, not the turn.
  const ContinuousShaft held(MakeShaft(uniform, {{1, 10.0}}), 1);
  EXPECT_EQ(held.CountBelow(1e-3), 1);
  EXPECT_GT(*held.Frequency(1), 1.0);
}

TEST(ContinuousShaftInput, SaysWhyItCannotSolve) {
  const auto uniform = Cut(1.0, 1.0, {0.5, 0.5});
  auto problem = [](const TShaftModel& m) { return test::Text(ContinuousShaft(m, 1).Fault()); };
  EXPECT_EQ(problem(MakeShaft(uniform, {})), "");
  EXPECT_EQ(problem(MakeShaft({{0.5, -1.0, 1.0}, {0.5, 1.0, 1.0}}, {})), "участок 1: масса должна быть не меньше нуля");
  EXPECT_EQ(problem(MakeShaft({{0.5, 1.0, 1.0}, {0.5, 1.0, 0.0}}, {})), "участок 2: жесткость должна быть больше нуля");
  EXPECT_EQ(problem(MakeShaft({{0.5, 1.0, 1.0}, {-0.5, 1.0, 1.0}}, {})), "участок 2: длина должна быть не меньше нуля");
  EXPECT_EQ(problem(MakeShaft({{0.5, 1.0, 1.0}, {0.5, NAN, 1.0}}, {})), "участок 2: масса должна быть не меньше нуля");
  EXPECT_EQ(problem(MakeShaft({{0.5, 1.0, 1.0}, {0.5, 1.0, INFINITY}}, {})), "участок 2: жесткость должна быть больше нуля");
  EXPECT_EQ(problem(MakeShaft(uniform, {{1, -5.0}})), "опора 1: жесткость должна быть не меньше нуля");
  // EI of a zero-length section is not used; a section after the spans is not read.
  EXPECT_EQ(problem(MakeShaft({{0.5, 1.0, 1.0}, {0.0, 1.0, 0.0}, {0.5, -1.0, -1.0}}, {}, {2})), "");
  EXPECT_EQ(problem(MakeShaft(uniform, {}, {5})), "");  // a span end after KM closes at KM
  EXPECT_EQ(problem(MakeShaft(uniform, {}, {0})), "ни один пролет не замыкается на валу");
  // Motions without mass or stiffness.
  const std::string massless = "безмассовые части вала не закреплены";
  EXPECT_EQ(problem(MakeShaft({{0.5, 0.0, 1.0}, {0.5, 0.0, 1.0}}, {})), massless);
  EXPECT_EQ(problem(MakeShaft({{0.5, 0.0, 1.0}, {0.0, 3.0, 1.0}, {0.5, 0.0, 1.0}}, {})), massless);
  EXPECT_EQ(problem(MakeShaft({{0.5, 0.0, 1.0}, {0.0, 3.0, 1.0}, {0.5, 0.0, 1.0}}, {{1, 9.0}})), massless);
  EXPECT_EQ(problem(MakeShaft({{0.5, 0.0, 1.0}, {0.0, 3.0, 1.0}, {0.5, 0.0, 1.0}}, {{2, 9.0}})), massless);
  EXPECT_EQ(problem(MakeShaft({{0.5, 0.0, 1.0}, {0.0, 3.0, 1.0}, {0.5, 0.0, 1.0}}, {{3, 9.0}})), "");
  EXPECT_EQ(problem(MakeShaft({{0.0, 3.0, 1.0}}, {{1, 9.0}})), massless);  // a point turns freely
  EXPECT_NE(test::Text(ContinuousShaft(MakeShaft(uniform, {}), 0).Fault()), "");
  EXPECT_NE(test::Text(ContinuousShaft(MakeShaft(uniform, {}), kMaxVariants + 1).Fault()), "");

  // Stiffness at a scale where the elimination's products leave the range of
  // doubles is refused, where it would give frequencies twice or out of order;
  // within it, scaling EI and the springs alike scales the frequencies exactly.
  const std::string range = "участок 1: длина, масса и жесткость вне пределов вычислений";
  for (double scale : {1e-200, 1e-300, 1e151, 1e200}) {
    EXPECT_EQ(problem(MakeShaft(Cut(scale, 1.0, {0.5, 0.5}), {{1, scale}, {2, scale}})), range) << scale;
    EXPECT_EQ(problem(MakeShaft({{0.5, 1.0, scale}, {0.5, 1.0, 1.0}}, {{1, 1.0}})), range) << scale;
  }
  const double plain = *ContinuousShaft(MakeShaft(Cut(1.0, 1.0, {0.3, 0.7}), {{1, 5.0}}), 1).Frequency(2);
  for (double scale : {0x1p-480, 0x1p-240, 0x1p240, 0x1p480}) {  // EI / l^3 from about 1E-144 to 1E145
    const ContinuousShaft scaled(MakeShaft(Cut(scale, 1.0, {0.3, 0.7}), {{1, 5.0 * scale}}), 1);
    EXPECT_EQ(test::Text(scaled.Fault()), "") << scale;
    EXPECT_NEAR(*scaled.Frequency(2) / std::sqrt(scale), plain, 1e-12 * plain) << scale;
  }

  const ContinuousShaft bad(MakeShaft({{0.5, -1.0, 1.0}}, {}), 1);
  EXPECT_EQ(bad.CountBelow(10), -1);
  EXPECT_FALSE(bad.Frequency(1));
  EXPECT_TRUE(bad.FrequenciesIn(0, 100, 10).empty());
  EXPECT_TRUE(bad.Mode(10).y.empty());
}

TEST(ContinuousShaftInput, LeavesTheFloatingPointFlagsAlone) {
  // Poles and the edge of the arithmetic raise flags inside; a caller that
  // checks them around its own calculation must not see those.
  const ContinuousShaft shaft(MakeShaft(Cut(1.0, 1.0, {1.0}), {}), 1);  // every root at a pole
  for (const bool raised : {false, true}) {
    std::feclearexcept(FE_ALL_EXCEPT);
    if (raised) std::feraiseexcept(FE_INEXACT);
    ASSERT_EQ(shaft.Frequencies(1, 30).size(), 30u);
    shaft.Mode(*shaft.Frequency(2));
    shaft.FrequenciesIn(0, INFINITY, 3);
    shaft.CountBelow(1e300);
    ContinuousShaft(MakeShaft({{1.0, 1.0, 0.0}}, {}), 1);
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW), 0);
    EXPECT_EQ(std::fetestexcept(FE_INEXACT) != 0, raised);
  }
}

TEST(ContinuousShaftInput, NothingOutsideTheRangeOfNumbers) {
  const ContinuousShaft shaft(SteppedRotor(), 1);
  EXPECT_TRUE(shaft.FrequenciesIn(-5, -1, 10).empty());
  EXPECT_TRUE(shaft.FrequenciesIn(10, 10, 10).empty());
  EXPECT_TRUE(shaft.FrequenciesIn(0, 1e6, 0).empty());
  EXPECT_TRUE(shaft.FrequenciesIn(NAN, 1e6, 3).empty());
  EXPECT_EQ(shaft.CountBelow(0), 0);
  EXPECT_EQ(shaft.CountBelow(INFINITY), -1);
  const std::vector<OrdinalFrequency> all = shaft.FrequenciesIn(0, INFINITY, 3);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].ordinal, 1);
  // A range starting inside the spectrum starts at the right ordinal.
  const std::vector<OrdinalFrequency> some = shaft.FrequenciesIn(all[1].omega * 0.999, all[2].omega * 1.001, 10);
  ASSERT_EQ(some.size(), 2u);
  EXPECT_EQ(some[0].ordinal, 2);
  EXPECT_NEAR(some[1].omega, all[2].omega, 1e-13 * all[2].omega);
  // A mode away from a natural frequency is still made of finite numbers.
  for (double w : {1e-9, 1.0, 1234.5, 1e12}) {
    const ContinuousMode mode = shaft.Mode(w);
    for (double v : mode.y) EXPECT_TRUE(std::isfinite(v)) << w;
    for (double v : mode.theta) EXPECT_TRUE(std::isfinite(v)) << w;
  }
  EXPECT_TRUE(shaft.Mode(0).y.empty());
  EXPECT_TRUE(shaft.Mode(NAN).y.empty());
}
