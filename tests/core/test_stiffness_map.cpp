#include "stiffness_map.h"

#include <gtest/gtest.h>

#include <cmath>

#include "beam_references.h"
#include "continuous_shaft.h"
#include "error_text.h"

using namespace vp;
using namespace vp::test;

namespace {

// A uniform beam (length 2, EI 3, mass 1.5 per length) between two supports
// at its ends; massless lead-ins carry the supports (which act at
// cross-sections 1..E) to the ends without loading anything.
constexpr double kL = 2.0, kEI = 3.0, kMu = 1.5;
TShaftModel BeamOnEndSupports() {
  std::vector<SectionData> s{{0.1, 0.0, 1.0}};
  for (double l : {0.5, 0.7, 0.8}) s.push_back({l, kMu * l, kEI});
  s.push_back({0.2, 0.0, 1.0});
  return MakeShaft(s, {{1, 1.0}, {4, 1.0}});
}


}  // namespace

TEST(StiffnessMapRange, RefusesWhatCannotBeMapped) {
  const std::string low = "нижняя граница жесткости опор должна быть больше нуля",
                    order = "верхняя граница жесткости опор должна быть больше нижней",
                    points = "число точек карты должно быть от 2 до 1000",
                    ordinals = "число частот карты должно быть от 1 до 100";
  const std::pair<StiffnessMapRange, std::string> cases[] = {
      {{1, 10, 2, 1}, ""},       {{1e-30, 1e30, 1000, 100}, ""}, {{0, 10, 5, 1}, low},
      {{-1, 10, 5, 1}, low},     {{NAN, 10, 5, 1}, low},         {{10, 10, 5, 1}, order},
      {{10, 1, 5, 1}, order},    {{10, NAN, 5, 1}, order},       {{1, 10, 1, 1}, points},
      {{1, 10, 1001, 1}, points}, {{1, 10, 5, 0}, ordinals},     {{1, 10, 5, 101}, ordinals},
      {{10, INFINITY, 5, 1}, "верхняя граница жесткости опор должна быть конечным числом"},
  };
  for (const auto& [range, problem] : cases)
    EXPECT_EQ(test::Text(StiffnessMapRangeFault(range)), problem) << range.low << " " << range.high << " " << range.points;
  const StiffnessMap map = ComputeStiffnessMap(BeamOnEndSupports(), {1, 10, 1, 1});
  EXPECT_EQ(test::Text(map.problem), points);
  EXPECT_TRUE(map.stiffness.empty() && map.lines.empty());
}

TEST(StiffnessMapRange, TheDefaultSpansTheVariantsAndThoseWithEqualSupportsAreOnIt) {
  TShaftModel m = BeamOnEndSupports();
  m.KW = 3;
  m.KP = 4;
  m.SupportStiffness[1] = {0, 5e6, 0, 2e8, 7.0};  // entries after KW are not read
  m.SupportStiffness[2] = {0, 0, -3, 1e7, 1e-9};  // zero and negative ones are skipped
  EXPECT_EQ(DefaultStiffnessMapRange(m), (StiffnessMapRange{5e4, 2e10, 61, 4}));
  m.KP = 20;
  EXPECT_EQ(DefaultStiffnessMapRange(m)->ordinals, 6);
  m.KP = 0;
  EXPECT_EQ(DefaultStiffnessMapRange(m)->ordinals, 1);
  // Variant 1 alike (on the map), variant 2 not, variant 3 alike but zero (not on log axes).
  m.SupportStiffness[1] = {0, 5e6, 1e7, 0};
  m.SupportStiffness[2] = {0, 5e6, 2e7, 0};
  EXPECT_EQ(CommonVariantStiffness(m, 1), 5e6);
  for (int v : {0, 2, 3}) EXPECT_FALSE(CommonVariantStiffness(m, v)) << v;
  // On the map, a variant's frequencies are those of its own calculation.
  const StiffnessMap map = ComputeStiffnessMap(m, {5e6, 5e7, 3, 3});
  ASSERT_EQ(map.lines.size(), 3u);
  const std::vector<OrdinalFrequency> own = ContinuousShaft(m, 1).Frequencies(1, 3);
  for (int n = 0; n < 3; ++n) EXPECT_NEAR(map.lines[n].omega[0], own[n].omega, 1e-13 * own[n].omega);
  for (int v = 1; v <= 3; ++v) m.SupportStiffness[1][v] = m.SupportStiffness[2][v] = 0;
  EXPECT_FALSE(DefaultStiffnessMapRange(m));
}

TEST(StiffnessMap, LimitsOfSoftAndRigidSupports) {
  const double unit = kEI / (kL * kL * kL), M = kMu * kL;
  const StiffnessMap map = ComputeStiffnessMap(BeamOnEndSupports(), {1e-7 * unit, 1e13 * unit, 41, 5});
  ASSERT_EQ(test::Text(map.problem), "");
  ASSERT_EQ(map.lines.size(), 5u);
  ASSERT_EQ(map.stiffness.size(), 41u);
  EXPECT_EQ(map.stiffness.front(), 1e-7 * unit);
  EXPECT_EQ(map.stiffness.back(), 1e13 * unit);
  for (size_t i = 1; i < map.stiffness.size(); ++i)
    EXPECT_NEAR(map.stiffness[i] / map.stiffness[i - 1], std::pow(1e20, 1.0 / 40), 1e-12);
  // Soft springs: the shaft bounces and rocks on them like a rigid body
  // (omega^2 = 2k/M and 6k/M), and bends as a free-free beam.
  const double k = map.stiffness.front();
  EXPECT_NEAR(map.lines[0].omega.front(), std::sqrt(2 * k / M), 1e-6 * std::sqrt(2 * k / M));
  EXPECT_NEAR(map.lines[1].omega.front(), std::sqrt(6 * k / M), 1e-6 * std::sqrt(6 * k / M));
  for (int n = 2; n < 5; ++n) {
    const double free = BeamOmega(kFreeFreeBetaL[n - 2], kL, kEI, kMu);
    EXPECT_NEAR(map.lines[n].omega.front(), free, 1e-6 * free) << n + 1;
  }
  // Rigid supports: pinned-pinned, n pi.
  for (int n = 0; n < 5; ++n) {
    const double pinned = BeamOmega((n + 1) * M_PI, kL, kEI, kMu);
    EXPECT_NEAR(map.lines[n].omega.back(), pinned, 1e-10 * pinned) << n + 1;
  }
  // Lines rise with k, never cross, and a spring r times stiffer raises a
  // frequency by at most sqrt(r).
  for (const StiffnessMapLine& line : map.lines)
    for (size_t i = 1; i < line.omega.size(); ++i) {
      EXPECT_GE(line.omega[i], line.omega[i - 1]) << line.ordinal << " " << i;
      EXPECT_LE(line.omega[i], line.omega[i - 1] * std::sqrt(map.stiffness[i] / map.stiffness[i - 1]) * (1 + 1e-12));
    }
  for (size_t n = 1; n < map.lines.size(); ++n)
    for (size_t i = 0; i < map.stiffness.size(); ++i) EXPECT_LT(map.lines[n - 1].omega[i], map.lines[n].omega[i]);
}

TEST(StiffnessMap, EveryPointExact) {
  // A stepped rotor with a point mass and a massless coupling; at every point
  // each frequency is a root of the exact frequency equation.
  const TShaftModel model = MakeShaft({{0.2, 9.0, 3e5}, {0.0, 4.0, 0.0}, {0.3, 18.0, 8e5}, {0.1, 0.0, 5e4},
                                       {0.25, 6.0, 2e5}, {0.15, 3.0, 1e5}},
                                      {{1, 1.0}, {3, 1.0}, {5, 1.0}});
  const StiffnessMap map = ComputeStiffnessMap(model, {1e4, 1e10, 13, 6});
  ASSERT_EQ(test::Text(map.problem), "");
  ASSERT_EQ(map.lines.size(), 6u);
  for (size_t i = 0; i < map.stiffness.size(); ++i) {
    TShaftModel at = model;
    for (int s = 1; s <= at.N; ++s) at.SupportStiffness[s][1] = map.stiffness[i];
    const TransferReference exact(at, 1);
    for (const StiffnessMapLine& line : map.lines) {
      const double w = line.omega[i];
      ASSERT_TRUE(exact.ChangesSign(w * (1 - 1e-7), w * (1 + 1e-7))) << i << " " << line.ordinal;
      EXPECT_NEAR(w, exact.Root(w * (1 - 1e-7), w * (1 + 1e-7)), 1e-12 * w) << i << " " << line.ordinal;
    }
    // ... and the map's ordinals are the shaft's (its own search, unaided).
    const std::vector<OrdinalFrequency> own = ContinuousShaft(at, 1).Frequencies(1, 6);
    for (int n = 0; n < 6; ++n) EXPECT_NEAR(map.lines[n].omega[i], own[n].omega, 1e-12 * own[n].omega);
  }
}

TEST(StiffnessMap, ShaftsItCannotOrNeedNotMap) {
  // All mass in two point masses: two frequencies, however many are asked for.
  const TShaftModel points = MakeShaft({{0.0, 1.0, 0.0}, {1.0, 0.0, 2.0}, {0.0, 3.0, 0.0}}, {{1, 1.0}, {3, 1.0}});
  const StiffnessMap two = ComputeStiffnessMap(points, {1, 100, 5, 6});
  EXPECT_EQ(test::Text(two.problem), "");
  EXPECT_EQ(two.lines.size(), 2u);
  // A shaft the continuous model refuses: its reason, nothing else.
  const TShaftModel negative = MakeShaft({{1.0, -1.0, 2.0}}, {{1, 1.0}});
  const StiffnessMap refused = ComputeStiffnessMap(negative, {1, 100, 5, 3});
  EXPECT_EQ(test::Text(refused.problem), "участок 1: масса должна быть не меньше нуля");
  EXPECT_TRUE(refused.stiffness.empty() && refused.lines.empty());
  // Supports that do not act (beyond the spans): flat lines.
  TShaftModel beyond = BeamOnEndSupports();
  beyond.SpanEnd[1] = 3;
  beyond.SupportSection[1] = 0;
  const StiffnessMap flat = ComputeStiffnessMap(beyond, {1, 1e6, 4, 2});
  ASSERT_EQ(flat.lines.size(), 2u);
  for (const StiffnessMapLine& line : flat.lines)
    for (double w : line.omega) EXPECT_NEAR(w, line.omega.front(), 1e-12 * w);
}
