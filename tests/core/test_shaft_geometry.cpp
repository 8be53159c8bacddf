#include "shaft_geometry.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <functional>

#include "beam_references.h"
#include "continuous_shaft.h"
#include "frequency_count.h"

using namespace vp;
using namespace vp::test;

namespace {

// Four sections on springs at cross-sections 1 and 3; spans end at 2 and 4.
TShaftModel Shaft() { return MakeShaft(Cut(2.0, 1.0, {0.25, 0.25, 0.25, 0.25}), {{1, 50.0}, {3, 80.0}}, {2, 4}); }

// The count and the continuous shaft read the model by one rule set: the same
// fault, or as many natural frequencies below each bound as a model read alike.
TEST(ShaftGeometry, TheCountAndTheContinuousShaftFollowOneRuleSet) {
  using Change = std::function<void(TShaftModel&)>;
  const struct {
    const char* name;
    Change change;
    std::optional<ErrorCode> fault;
    Change alike;
  } cases[] = {
      {"no span on the shaft", [](TShaftModel& m) { m.SpanEnd[1] = m.SpanEnd[2] = 0; }, ErrorCode::NoSpanOnShaft, {}},
      {"negative length", [](TShaftModel& m) { m.SectionLength[2] = -0.25; }, ErrorCode::SectionLength, {}},
      {"mass no number", [](TShaftModel& m) { m.SectionMass[3] = NAN; }, ErrorCode::SectionMass, {}},
      {"EI 0 on a length", [](TShaftModel& m) { m.SectionEI[4] = 0; }, ErrorCode::SectionStiffness, {}},
      {"infinite spring", [](TShaftModel& m) { m.SupportStiffness[2][1] = INFINITY; },
       ErrorCode::SupportStiffnessNotFinite, {}},
      // A point mass: its EI is not used, whatever it is.
      {"EI of a zero length", [](TShaftModel& m) { m.SectionLength[2] = 0, m.SectionEI[2] = 0; }, std::nullopt,
       [](TShaftModel& m) { m.SectionLength[2] = 0, m.SectionEI[2] = 7; }},
      // Supports at cross-section 0 and beyond the last span end do not act;
      // neither do faults beyond it.
      {"support at 0", [](TShaftModel& m) { m.SupportSection[1] = 0; }, std::nullopt,
       [](TShaftModel& m) { m.SupportStiffness[1][1] = 0; }},
      {"beyond the shaft's end", [](TShaftModel& m) { m.SpanEnd[2] = 3, m.SectionMass[4] = -1, m.SupportSection[2] = 4; },
       std::nullopt, [](TShaftModel& m) { m.SpanEnd[2] = 3, m.SupportStiffness[2][1] = 0; }},
  };
  for (const auto& c : cases) {
    TShaftModel m = Shaft(), alike = Shaft();
    c.change(m);
    const FrequencyCounter counter(m, 1);
    const ContinuousShaft shaft(m, 1);
    if (c.fault) {
      ASSERT_TRUE(counter.Fault() && shaft.Fault()) << c.name;
      EXPECT_EQ(counter.Fault()->code, *c.fault) << c.name;
      EXPECT_EQ(shaft.Fault()->code, *c.fault) << c.name;
      continue;
    }
    ASSERT_FALSE(counter.Fault() || shaft.Fault()) << c.name;
    c.change(alike);
    c.alike(alike);
    for (double omega : {1.0, 10.0, 100.0, 1000.0}) {
      EXPECT_EQ(counter.CountBelow(omega), FrequencyCounter(alike, 1).CountBelow(omega)) << c.name << " " << omega;
      EXPECT_EQ(shaft.CountBelow(omega), ContinuousShaft(alike, 1).CountBelow(omega)) << c.name << " " << omega;
    }
  }
}

TEST(ShaftGeometry, JoinsZeroLengthsSumsSpringsAndKeepsTheFlags) {
  TShaftModel m = Shaft();
  m.SectionLength[2] = 0;
  m.SupportSection[2] = 2;  // on the place section 2 joins, beside support 1
  m.SectionEI[3] = NAN;
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_EQ(ShaftGeometry(m, 1).Fault()->code, ErrorCode::SectionStiffness);
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);  // a NaN compared leaves no trace
  m.SectionEI[3] = 2;
  const ShaftGeometry g(m, 1);
  EXPECT_EQ(g.Nodes(), 4);
  EXPECT_EQ(g.SpringAt(g.NodeOf(1)), 130.0);
}

}  // namespace
