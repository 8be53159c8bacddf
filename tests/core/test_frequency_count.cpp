#include <gtest/gtest.h>

#include <array>
#include <random>

#include "beam_references.h"
#include "calculation_run.h"
#include "error_text.h"
#include "form_fixtures.h"
#include "frequency_count.h"
#include "shaft_fixtures.h"
#include "sob.h"

using namespace vp;
using namespace vp::test;

namespace {

// A steel rotor as the form fixture describes it, read into a model.
TShaftModel SteelRotor(const std::vector<double>& stiffness, int KP, double disc = 0) {
  TShaftModel m;
  TSearchParams P{};
  EXPECT_FALSE(ReadForm(SteelRotorForm(stiffness, KP, disc), m, P, '.'));
  m.ComputeSectionX();
  return m;
}

// Every frequency the sweep of variant v finds, with the parameters given.
std::vector<double> Sweep(const TShaftModel& m, int v, TSearchParams P) {
  RecordingOutput out;
  EXPECT_FALSE(SOB(P, v, SolverContext{m, out}));
  std::vector<double> found;
  for (const auto& mode : out.modes) found.push_back(mode.omega);
  return found;
}

// The ordinal of omega by the direct solve: the position, from 1, of the
// non-zero eigenfrequency nearest to it; 0 when none is within `tolerance`.
int DirectOrdinal(const std::vector<double>& eigen, double omega, double tolerance) {
  int ordinal = 0, nearest = 0;
  double distance = tolerance;
  for (double w : eigen) {
    if (!(w > 1e-3)) continue;  // rigid-body motion
    ++ordinal;
    if (std::fabs(w - omega) < distance) {
      distance = std::fabs(w - omega);
      nearest = ordinal;
    }
  }
  return nearest;
}

// Natural frequency number `index` (from 0) of the count below 1e4, bisected on it.
double CountRoot(const FrequencyCounter& counter, int index) {
  double a = 0, b = 1e4;
  for (int step = 0; step < 100; ++step) (counter.CountBelow((a + b) / 2) > index ? b : a) = (a + b) / 2;
  return a;
}

}  // namespace

TEST(FrequencyCount, FreeFreeShaftCountsRigidBodyAndElasticModes) {
  const TShaftModel m = UniformFreeFree(100, {30, 100});
  const FrequencyCounter counter(m, 1);
  ASSERT_EQ(test::Text(counter.Fault()), "");
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
    ASSERT_EQ(test::Text(counter.Fault()), "") << trial;
    const std::vector<double> exact = LumpedFrequencies(m, 1);
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
  TSearchParams P = Params(1, 70, 150, 1e-10, 1e-6);  // 22.4 and 61.7 share the first step
  int v = 1;
  EXPECT_FALSE(SOB(P, v, SolverContext{m, out}));
  std::vector<double> found;
  for (const auto& mode : out.modes) found.push_back(mode.omega);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_NEAR(found[0], 120.95, 0.01);
  const CompletenessReport report = CheckCompleteness(m, 1, {1, P[kStart], 1, 0.01}, found);
  ASSERT_TRUE(report.checked);
  EXPECT_EQ(report.found, 1);
  EXPECT_EQ(report.inRange, 3);
  ASSERT_EQ(report.missed.size(), 2u);
  EXPECT_LE(report.missed[0].first, 22.3768);
  EXPECT_GE(report.missed[0].second, 22.3768);
  EXPECT_LT(report.missed[0].second - report.missed[0].first, 0.011);
  EXPECT_NEAR(report.missed[1].first, 61.68, 0.02);
  // 120.95 is still the third, above the free shaft's two rigid-body motions.
  EXPECT_EQ(report.ordinals, std::vector<int>{3});
  EXPECT_EQ(report.ordinals[0], DirectOrdinal(LumpedFrequencies(m, 1), found[0], 1e-6 * found[0]));

  // A step far beyond the range still says where in the range each one lies.
  const CompletenessReport coarse = CheckCompleteness(m, 1, {1, 100, 1e308, 0.01}, {});
  ASSERT_EQ(coarse.missed.size(), 2u);
  EXPECT_NEAR(coarse.missed[0].first, 22.38, 1);
  EXPECT_NEAR(coarse.missed[1].second, 61.68, 1);
}

// The count holds at every frequency the arithmetic can hold: beyond every
// natural frequency it is all of them, and scaling masses, stiffnesses and
// springs alike (which leaves the frequencies as they are) leaves it as it is,
// also where omega^2 times a mass, or omega^2 itself, would overflow.
TEST(FrequencyCount, CountsToTheEndOfTheNumbers) {
  TShaftModel m = UniformFreeFree(20, {20});
  m.N = 1;
  m.SupportSection[1] = 10;
  m.SupportStiffness[1][1] = 1e3;
  TShaftModel heavy = m;
  for (int i = 1; i <= 20; ++i) heavy.SectionMass[i] *= 1e290, heavy.SectionEI[i] *= 1e290;
  heavy.SupportStiffness[1][1] *= 1e290;
  const FrequencyCounter light(m, 1), scaled(heavy, 1);
  for (double omega : {0.5, 1.0, 22.0, 63.0, 1e3, 1e5, 1e10, 1e100, 1e154, 1e155, 1e200, 1e300, 1.7e308, double(INFINITY)})
    EXPECT_EQ(scaled.CountBelow(omega), light.CountBelow(omega)) << omega;
  EXPECT_EQ(light.CountBelow(1e200), 20);  // a mass at each of the 20 left cross-sections
  EXPECT_EQ(light.CountBelow(INFINITY), 20);
  EXPECT_EQ(light.CountBelow(1e5), 20);
  EXPECT_LT(light.CountBelow(1e3), 20);

  // A range that ends before it starts holds nothing, wherever it lies.
  for (double start : {1e3, 1e300}) {
    const CompletenessReport r = CheckCompleteness(m, 1, {start, 100, 5, 1e-6}, {});
    EXPECT_TRUE(r.checked);
    EXPECT_EQ(r.inRange, 0) << start;
    EXPECT_TRUE(r.missed.empty()) << start;
  }
  // Up to the end of the numbers: every frequency of the shaft, each located.
  const CompletenessReport all = CheckCompleteness(m, 1, {1, 1e300, 1e299, 1e-6}, {});
  EXPECT_EQ(all.inRange, light.CountBelow(INFINITY) - light.AtOrBelowZero());
  EXPECT_EQ(all.missed.size(), static_cast<size_t>(all.inRange));
}

TEST(FrequencyCount, ACarefulSweepMissesNothing) {
  const TShaftModel m = UniformFreeFree(100, {25, 50, 75, 100}, 10);
  RecordingOutput out;
  TSearchParams P = Params(1, 1, 300, 1e-10, 1e-6);
  int v = 1;
  EXPECT_FALSE(SOB(P, v, SolverContext{m, out}));
  std::vector<double> found;
  for (const auto& mode : out.modes) found.push_back(mode.omega);
  const CompletenessReport report = CheckCompleteness(m, 1, {1, P[kStart], 1, 0.01, 1000}, found);
  EXPECT_TRUE(report.checked);
  EXPECT_EQ(report.inRange, static_cast<int>(found.size()));
  EXPECT_EQ(report.inRange, 5);  // 22.4, 61.7, 120.9, 199.9, 298.6
  EXPECT_EQ(report.inWholeRange, 9);  // up to 1000, searched or not: (beta L)^2 up to 29.85^2
  EXPECT_TRUE(report.missed.empty());
}

TEST(FrequencyCount, SaysWhenItCannotCount) {
  TShaftModel m = UniformFreeFree(10, {10});
  m.SectionEI[3] = 0;
  EXPECT_NE(test::Text(FrequencyCounter(m, 1).Fault()), "");
  TShaftModel tooShort = UniformFreeFree(10, {10});
  tooShort.SectionLength[3] = 1e-310;  // EI / l overflows
  EXPECT_EQ(test::Text(FrequencyCounter(tooShort, 1).Fault()),
            "участок 3: длина, масса и жесткость вне пределов вычислений");
  TShaftModel massless = UniformFreeFree(10, {10});
  for (int i = 1; i <= 10; ++i) massless.SectionMass[i] = 0;
  EXPECT_NE(test::Text(FrequencyCounter(massless, 1).Fault()), "");
  const CompletenessReport report = CheckCompleteness(massless, 1, {1, 100, 1, 0.01}, {});
  EXPECT_FALSE(report.checked);
  EXPECT_NE(test::Text(report.problem), "");
}

TEST(FrequencyCount, ZeroLengthSectionsJoinTheirCrossSections) {
  // Random shafts in which every fifth section is a point mass (length 0).
  std::mt19937 rng(31);
  std::uniform_real_distribution<double> u(0.2, 2.0);
  for (int trial = 0; trial < 20; ++trial) {
    TShaftModel m;
    m.KM = 6 + trial * 3;
    m.KZ = 1 + trial % 3;
    for (int j = 1; j <= m.KZ; ++j) m.SpanEnd[j] = m.KM * j / m.KZ;
    m.N = 2;
    for (int s = 1; s <= m.N; ++s) {
      m.SupportSection[s] = 1 + static_cast<int>(rng() % m.KM);
      m.SupportStiffness[s][1] = trial % 4 == 0 ? 0.0 : u(rng) * 1e3;
    }
    for (int i = 1; i <= m.KM; ++i) {
      m.SectionLength[i] = i % 5 == 2 ? 0.0 : u(rng) / m.KM;
      m.SectionMass[i] = u(rng) / m.KM * (i % 5 == 2 ? 10 : 1);
      m.SectionEI[i] = u(rng);
    }
    const FrequencyCounter counter(m, 1);
    ASSERT_EQ(test::Text(counter.Fault()), "") << trial;
    const std::vector<double> exact = LumpedFrequencies(m, 1);
    int rigid = 0;
    for (double w : exact) rigid += std::fabs(w) < 0.05;  // rounding of the direct solve, well below the lowest
    EXPECT_GT(exact[rigid], 0.5) << trial;
    EXPECT_EQ(counter.AtOrBelowZero(), rigid) << trial;
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

TEST(FrequencyCount, ASectionOfAnyLengthBesideLongOnesKeepsTheCountExact) {
  // A disc typed with a tiny length in the rotor on bearings, free, and between
  // couplings of EI 1 (the one after it massless): each frequency counted is a
  // root of the quadruple-precision reference to 1e-11, one between midpoints.
  const struct { double bearings, couplingEI; } shafts[] = {{1e8, 0}, {0, 0}, {1e8, 1}};
  for (double length : {1e-12, 1e-9, 1e-5, 1e-3, 0.1})
    for (const auto& [bearings, couplingEI] : shafts) {
      TShaftModel m = SteelRotor({bearings}, 6, 80);
      m.SectionLength[11] = length;
      if (couplingEI > 0) m.SectionEI[10] = m.SectionEI[12] = couplingEI, m.SectionMass[12] = 0;
      const FrequencyCounter counter(m, 1);
      ASSERT_EQ(test::Text(counter.Fault()), "");
      const TransferReference reference(PointMassesOnMasslessBeams(m), 1);
      double mid = 1;
      for (int i = counter.CountBelow(1), last = counter.CountBelow(6000); i < last; ++i) {
        const double root = CountRoot(counter, i), next = i + 1 < last ? (root + CountRoot(counter, i + 1)) / 2 : 6000;
        SCOPED_TRACE(testing::Message() << length << " " << bearings << " " << couplingEI << " " << root);
        EXPECT_TRUE(reference.ChangesSign(root * (1 - 1e-11), root * (1 + 1e-11)));
        EXPECT_TRUE(reference.ChangesSign(mid, next));
        mid = next;
      }
    }
}

TEST(FrequencyCount, SweepValuesOffTheirRootsAreRefinedOnTheCount) {
  // A coupling of EI 1E-6 in a shaft of EI 1 on very stiff and very soft supports:
  // the sweep lands off some roots by more than EPSF, the refined values on them.
  for (const auto& [k, F1, FT1, FK] : {std::array{1e8, 1.0, 1.0, 100.0}, std::array{1e-3, 0.001, 0.01, 20.0}}) {
    TShaftModel m = MakeShaft(Cut(1, 1, std::vector<double>(100, 0.01)), {{10, k}, {90, k}}, {30, 100});
    m.SectionEI[50] = 1e-6;
    const std::vector<double> found = Sweep(m, 1, Params(F1, FT1, FK, 1e-10, 1e-6));
    const CompletenessReport r = CheckCompleteness(m, 1, {F1, FK, FT1, 1e-6}, found);
    const TransferReference reference(PointMassesOnMasslessBeams(m), 1);
    ASSERT_EQ(r.refined.size(), found.size());
    for (size_t i = 0; i < found.size(); ++i) {
      const double root = reference.Root(found[i] - FT1, found[i] + FT1);
      EXPECT_EQ(r.refined[i].has_value(), std::fabs(found[i] - root) > 1e-6) << k << " " << i;
      EXPECT_NEAR(r.refined[i].value_or(root), root, 1e-11 * root) << k << " " << i;
    }
    EXPECT_NE(std::count(r.refined.begin(), r.refined.end(), std::nullopt), std::ssize(found)) << k;
  }
}

TEST(FrequencyCount, RigidBodyMotionsAreWhatTheSpringsLeaveFree) {
  TShaftModel m = UniformFreeFree(12, {12});
  EXPECT_EQ(FrequencyCounter(m, 1).AtOrBelowZero(), 2);  // free: translation and rotation
  m.N = 2;
  m.SupportSection[1] = 4;
  m.SupportStiffness[1][1] = 50;
  EXPECT_EQ(FrequencyCounter(m, 1).AtOrBelowZero(), 1);  // rotation about the spring
  m.SupportSection[2] = 4;
  m.SupportStiffness[2][1] = 50;
  EXPECT_EQ(FrequencyCounter(m, 1).AtOrBelowZero(), 1);  // two springs at one place
  m.SupportSection[2] = 5;
  EXPECT_EQ(FrequencyCounter(m, 1).AtOrBelowZero(), 0);
  m.SectionLength[5] = 0;  // cross-sections 4 and 5 are one place again
  EXPECT_EQ(FrequencyCounter(m, 1).AtOrBelowZero(), 1);
  EXPECT_EQ(FrequencyCounter(m, 1).CountBelow(0.5), 1);
  m.SectionLength[5] = 1.0 / 12;
  // A negative spring: the motions it makes unstable count as well.
  m.SupportStiffness[2][1] = -80;
  const std::vector<double> exact = LumpedFrequencies(m, 1);
  int nonPositive = 0;
  for (double w : exact) nonPositive += w < 1e-6;
  EXPECT_EQ(FrequencyCounter(m, 1).AtOrBelowZero(), nonPositive);
  EXPECT_GE(nonPositive, 1);
}

TEST(FrequencyCount, OrdinalsOfARealRotorAgreeWithADirectEigenSolve) {
  // Bearings from soft to stiff, with and without a disc entered as a section
  // of length 0: the sweep, the count and the direct solve see the same
  // natural frequencies, and every one found gets its ordinal.
  for (double disc : {0.0, 100.0}) {
    const TShaftModel m = SteelRotor({1e7, 1e8, 1e9, 1e10}, 6, disc);
    ASSERT_EQ(m.SectionLength[11] == 0, disc > 0);
    for (int v = 1; v <= 4; ++v) {
      SCOPED_TRACE(testing::Message() << "disc " << disc << ", variant " << v);
      const std::vector<double> found = Sweep(m, v, Params(10, 5, 3000, 1e-10, 1e-6));
      const std::vector<double> exact = LumpedFrequencies(m, v);
      const FrequencyCounter counter(m, v);
      EXPECT_EQ(counter.AtOrBelowZero(), 0);
      const CompletenessReport r = CheckCompleteness(m, v, {10, found.back(), 5, 1e-6}, found);
      ASSERT_EQ(r.ordinals.size(), found.size());
      EXPECT_EQ(r.Confirmed(), static_cast<int>(found.size()));
      EXPECT_EQ(r.inRange, static_cast<int>(found.size()));
      for (size_t k = 0; k < found.size(); ++k) {
        EXPECT_NEAR(exact[k], found[k], 1e-6 * found[k]) << k;
        EXPECT_EQ(counter.CountBelow(found[k] * (1 - 1e-6)), static_cast<int>(k)) << k;
        EXPECT_EQ(counter.CountBelow(found[k] * (1 + 1e-6)), static_cast<int>(k) + 1) << k;
        EXPECT_EQ(r.ordinals[k], DirectOrdinal(exact, found[k], 1e-6 * found[k])) << k;
        EXPECT_EQ(r.ordinals[k], static_cast<int>(k) + 1);  // a careful sweep: nothing passed over
      }
    }
  }
}

TEST(FrequencyCount, ASweepStartedAboveTheFirstFrequenciesGivesTheOrdinalsAboveThem) {
  const TShaftModel m = UniformFreeFree(100, {30, 100}, 5);
  const std::vector<double> high = Sweep(m, 1, Params(150, 1, 300, 1e-10, 1e-6));
  const CompletenessReport h = CheckCompleteness(m, 1, {150, 300, 1, 1e-6}, high);
  EXPECT_EQ(h.ordinals, (std::vector<int>{4, 5}));
  EXPECT_EQ(h.inRange, 2);
  EXPECT_TRUE(h.missed.empty());
}

TEST(FrequencyCount, AStepBelowThePrecisionAcceptsFrequenciesThatAreNone) {
  // FT1 < EPSF: every second trial is accepted wherever it lies.
  const TShaftModel m = UniformFreeFree(100, {30, 100}, 3);
  const std::vector<double> found = Sweep(m, 1, Params(1, 1e-7, 100, 1e-10, 1e-6));
  ASSERT_EQ(found.size(), 3u);
  const CompletenessReport r = CheckCompleteness(m, 1, {1, found.back(), 1e-7, 1e-6}, found);
  EXPECT_TRUE(r.stepBelowPrecision);
  EXPECT_EQ(r.ordinals, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(r.Confirmed(), 0);
  EXPECT_EQ(r.inRange, 0);  // the range ends just above 1
}

TEST(FrequencyCount, VeryStiffSupportsGiveFrequenciesNearTheRootsAndSomeThatAreNone) {
  // A pinned beam: 15 sections, springs of 1e12 at cross-sections 1 and 15.
  // Its natural frequencies, from an exact count in rational arithmetic:
  const double exact[] = {11.2891252185, 44.6453023807, 98.1113736441, 165.525213243, 235.531197633, 320.560468246};
  TShaftModel m = UniformFreeFree(15, {15}, 10);
  for (int i = 1; i <= 15; ++i) m.SectionLength[i] = m.SectionMass[i] = 0.0666666666666667;
  m.N = 2;
  m.SupportSection[1] = 1;
  m.SupportSection[2] = 15;
  m.SupportStiffness[1][1] = m.SupportStiffness[2][1] = 1e12;
  const FrequencyCounter counter(m, 1);
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(counter.CountBelow(exact[k] * (1 - 1e-9)), k);
    EXPECT_EQ(counter.CountBelow(exact[k] * (1 + 1e-9)), k + 1);
  }
  // The determinant is at the level of rounding here: the sweep lands off the
  // roots by more than its refined step, and accepts noise above the sixth.
  const std::vector<double> found = Sweep(m, 1, Params(1, 1, 400, 1e-10, 1e-6));
  ASSERT_EQ(found.size(), 10u);
  const CompletenessReport r = CheckCompleteness(m, 1, {1, found.back(), 1, 1e-6}, found);
  EXPECT_EQ(r.inRange, 6);
  EXPECT_TRUE(r.missed.empty());
  EXPECT_EQ(r.Confirmed(), 6);
  for (size_t k = 0; k < found.size(); ++k) {
    if (r.ordinals[k] == 0) {
      EXPECT_GT(found[k], exact[4] + 1) << k;  // only around and beyond the sixth
      continue;
    }
    EXPECT_NEAR(found[k], exact[r.ordinals[k] - 1], 1) << k;
    EXPECT_EQ(r.ordinals[k], DirectOrdinal(LumpedFrequencies(m, 1), found[k], 1)) << k;
  }
  for (int k = 0; k < 5; ++k) EXPECT_EQ(r.ordinals[k], k + 1);
}

TEST(FrequencyCount, NeitherAZeroPivotNorRoundingNoiseEndsTheSearchOrUsesItUp) {
  // A steel shaft of 10 m on bearings of 1E9 at its ends in one span: above the
  // tenth frequency its determinant meets zero pivots and is rounding noise
  // (the run ended after 21 values, 5 of them noise). 40 sections with a
  // nearly hinged section 20 in two spans: a zero pivot after 5 values.
  const TMainFormModel steel = UniformShaftForm(200, 10, 1.03e6, 308, {1, 200}, 1e9, {200}, 25, 0.647, 1e9);
  TMainFormModel hinged = UniformShaftForm(40, 1, 1, 1, {5, 35}, 1e3, {20, 40}, 10, 5, 1e4);
  hinged.Edit8 = "1";
  hinged.StringGrid1.SetCell(20, 3, "1E-6");
  const struct { TMainFormModel form; size_t found, likeContinuous; } cases[] = {{steel, 25, 10}, {hinged, 10, 0}};
  for (const auto& c : cases) {
    ProgramState st;
    st.form = c.form;
    RunToResults(st);
    const VariantResult& v = st.summary.variants.at(0);
    ASSERT_EQ(v.modes.size(), c.found);
    EXPECT_GT(v.rejectedTotal, 0);
    const FrequencyCounter counter(st.model, 1);
    const int zero = counter.AtOrBelowZero();
    // Each value accepted lies within a step of the natural frequency of its ordinal.
    std::vector<int> taken;
    for (size_t i = 0; i < c.found; ++i) {
      const int ordinal = v.completeness.ordinals[i];
      ASSERT_GT(ordinal, 0) << i;
      taken.push_back(zero + ordinal - 1);
      EXPECT_NEAR(v.modes[i].omega, CountRoot(counter, taken.back()), st.params[kStep]) << i;
    }
    // No value rejected has a natural frequency within its range but those found.
    for (const RejectedValue& r : v.rejected)
      for (int i = std::max(zero, counter.CountBelow(r.from)); i < counter.CountBelow(r.to); ++i)
        EXPECT_NE(std::find(taken.begin(), taken.end(), i), taken.end()) << r.high;
    // The lowest agree with the continuous shaft.
    for (size_t i = 0; i < c.likeContinuous; ++i)
      EXPECT_NEAR(v.modes[i].omega / v.continuous.sameOrdinal.at(i).value(), 1, 1e-3) << i;
  }
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
  SolverContext ctx{m, out};
  if (counted) ctx.counter = &counter;
  int v = 1;
  EXPECT_FALSE(SOB(P, v, ctx));
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
  // The count holds to the end of the numbers: nothing lies that far up.
  EXPECT_FALSE(MayHoldFrequency(c, 1e200, 1e201));
  EXPECT_FALSE(MayHoldFrequency(c, 1e100, 1e101));
  EXPECT_FALSE(MayHoldFrequency(c, 1e5, INFINITY));
}

TEST(FrequencyCount, AWalkWithTheCountEndsWhereNoFrequencyIsLeft) {
  // FK = 1E9 and KP = 20 for a shaft of 10 masses: the walk finds its 8
  // elastic frequencies, then ends instead of stepping on to 1E9.
  const TShaftModel m = UniformFreeFree(10, {10}, 20);
  TSearchParams P = Params(1, 1, 1e9, 1e-10, 1e-6);
  EndRecorder out;
  Walk(m, P, out, true);
  std::vector<double> exact;
  for (double w : LumpedFrequencies(m, 1))
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
  std::vector<double> exact = LumpedFrequencies(m, 1);
  ASSERT_GE(exact.size(), 5u);
  EXPECT_LT(exact[3], 70);  // two rigid-body motions first
  EXPECT_GT(exact[4], 100);
  EXPECT_EQ(counted.ends.size(), 1u);
}
