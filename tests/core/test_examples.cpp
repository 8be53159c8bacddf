// The example files describe real shafts: the masses and stiffnesses are those
// of the stated steel bars, and the frequencies the program finds for them
// agree with an independent finite-element model of the same bars.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "beam_references.h"
#include "form_fixtures.h"
#include "input_loader.h"
#include "numtext.h"

using namespace vp;

namespace {

constexpr double kE = 2.1e11;     // steel, Pa
constexpr double kRho = 7850;     // steel, kg/m3
constexpr double kPi = 3.14159265358979323846;

// The stepped rotor of both rotor examples, 2 m long in sections of 0.05 m:
// shaft ends and journals of 0.10 m (0 to 0.3 m), collars of 0.14 m (to 0.5 m),
// the body of 0.18 m (to 1.5 m), then the same in reverse.
const std::vector<double> kRotorDiameters = [] {
  std::vector<double> d;
  for (auto [diameter, count] : {std::pair{0.10, 6}, {0.14, 4}, {0.18, 20}, {0.14, 4}, {0.10, 6}}) d.insert(d.end(), count, diameter);
  return d;
}();
// The disc of rotor_with_disc.txt: 0.5 m across, 0.06 m wide, on the 0.18 m body.
const double kDiscMass = kRho * kPi * (0.5 * 0.5 - 0.18 * 0.18) / 4 * 0.06;

std::string Example(const char* name) { return std::string(VP_EXAMPLES_DIR) + "/" + name; }

ProgramState Solve(const char* name) {
  ProgramState st;
  EXPECT_FALSE(LoadInputFile(Example(name), st.form, '.'));
  test::RunToResults(st);
  return st;
}

// The stated bars, from their dimensions and not from the files: sections of
// the given length and diameters, bearings of the given stiffness (N/m) at
// 0.2 m and 1.8 m, with the disc at 1 m (a section of length 0) when asked.
TShaftModel SteelBars(double length, const std::vector<double>& diameters, double stiffness, bool disc = false) {
  std::vector<test::SectionData> s;
  for (double d : diameters) s.push_back({length, kRho * kPi * d * d / 4 * length, kE * kPi * std::pow(d, 4) / 64});
  if (disc) s.insert(s.begin() + s.size() / 2, {0, kDiscMass, 1});
  auto at = [&](double x) { return static_cast<int>(std::lround(x / length)) + (disc && x > 1); };
  return test::MakeShaft(s, {{at(0.2), stiffness}, {at(1.8), stiffness}});
}

// The program's frequencies of a variant as search variables (rad/s).
std::vector<double> Omegas(const ProgramState& st, int variant) {
  std::vector<double> omega;
  for (const ModeData& mode : st.summary.variants.at(variant - 1).modes) omega.push_back(mode.F / 100);
  return omega;
}

void ExpectSteelBarsOf(const TMainFormModel& form, const std::vector<double>& diameters) {
  const int KM = form.Spin(Count::Sections).Value();
  int bar = 0;
  for (int k = 1; k <= KM; ++k) {
    const double l = RealOfText(form.StringGrid1.Cell(k, 1), '.');
    const double m = RealOfText(form.StringGrid1.Cell(k, 2), '.');
    const double EI = RealOfText(form.StringGrid1.Cell(k, 3), '.');
    if (l == 0) {  // the disc: a point mass
      EXPECT_NEAR(m, kDiscMass, 1e-5 * kDiscMass) << "section " << k;
      continue;
    }
    const double d = diameters.at(bar++);
    // A solid round bar of steel: m = rho pi d^2/4 l and EI = E pi d^4/64.
    EXPECT_NEAR(m, kRho * kPi * d * d / 4 * l, 1e-5 * m) << "section " << k;
    EXPECT_NEAR(EI, kE * kPi * std::pow(d, 4) / 64, 1e-5 * EI) << "section " << k;
  }
  EXPECT_EQ(bar, static_cast<int>(diameters.size()));
}

}  // namespace

// Twice as long sections in rotor_coarse_sections.txt: every second diameter.
const std::vector<double> kCoarseDiameters = [] {
  std::vector<double> d;
  for (size_t i = 0; i < kRotorDiameters.size(); i += 2) d.push_back(kRotorDiameters[i]);
  return d;
}();

TEST(Examples, TheRotorsAreSteelBarsOfTheStatedDiameters) {
  for (const auto& [name, diameters] : {std::pair{"rotor_two_bearings.txt", kRotorDiameters},
                                        {"rotor_with_disc.txt", kRotorDiameters},
                                        {"rotor_coarse_sections.txt", kCoarseDiameters}}) {
    SCOPED_TRACE(name);
    TMainFormModel form;
    EXPECT_FALSE(LoadInputFile(Example(name), form, '.'));
    ExpectSteelBarsOf(form, diameters);
  }
}

TEST(Examples, RotorFrequenciesAgreeWithAFiniteElementModel) {
  const ProgramState st = Solve("rotor_two_bearings.txt");
  // Bearings of 1E8 N/m: four frequencies up to FK = 4000 rad/s; of 1E9 N/m two.
  const double stiffness[2] = {1e8, 1e9};
  const size_t found[2] = {4, 2};
  for (int v = 1; v <= 2; ++v) {
    SCOPED_TRACE(v);
    const std::vector<double> program = Omegas(st, v);
    const std::vector<double> fe = test::FiniteElementFrequencies(SteelBars(0.05, kRotorDiameters, stiffness[v - 1]), 1, 8);
    ASSERT_EQ(program.size(), found[v - 1]);
    EXPECT_GT(fe[found[v - 1]], 4000);  // nothing more below FK
    // Masses lumped at the sections' left ends against a continuous bar.
    for (size_t i = 0; i < program.size(); ++i) EXPECT_NEAR(program[i], fe[i], 0.01 * fe[i]) << "frequency " << i + 1;
  }
}

TEST(Examples, TheDiscLowersOnlyTheModesThatMoveIt) {
  const ProgramState plain = Solve("rotor_two_bearings.txt");
  const ProgramState disc = Solve("rotor_with_disc.txt");
  const std::vector<double> fe = test::FiniteElementFrequencies(SteelBars(0.05, kRotorDiameters, 1e9, true), 1, 8);
  const std::vector<double> program = Omegas(disc, 2);
  ASSERT_EQ(program.size(), 2u);
  for (size_t i = 0; i < program.size(); ++i) EXPECT_NEAR(program[i], fe[i], 0.01 * fe[i]) << "frequency " << i + 1;
  // The first mode swings the disc at mid-span: clearly lower. The second has
  // its node there: hardly changed.
  EXPECT_LT(program[0], 0.9 * Omegas(plain, 2)[0]);
  EXPECT_NEAR(program[1], Omegas(plain, 2)[1], 0.005 * program[1]);
}

TEST(Examples, TheFreeFreeShaftMatchesTheClosedForm) {
  // A uniform free-free beam: omega_1 = (4.730041)^2 sqrt(EI / (m L^4)) with
  // EI = 1, m = 1 per length, L = 1.
  const ProgramState st = Solve("free_free_shaft.txt");
  const std::vector<double> omega = Omegas(st, 1);
  ASSERT_EQ(omega.size(), 2u);
  EXPECT_NEAR(omega[0], std::pow(4.730040745, 2), 0.001 * omega[0]);
  EXPECT_NEAR(omega[1], std::pow(7.853204624, 2), 0.001 * omega[1]);
}

TEST(Examples, TheRotorInTwentySectionsIsTheSameShaftToTheContinuousModelButNotToTheLumpedOne) {
  const ProgramState coarse = Solve("rotor_coarse_sections.txt");
  const ProgramState fine = Solve("rotor_two_bearings.txt");
  double largest = 0;  // difference of a lumped frequency from its continuous one
  for (int v = 1; v <= 2; ++v) {
    SCOPED_TRACE(v);
    const double stiffness = v == 1 ? 1e8 : 1e9;
    const std::vector<double> fe = test::FiniteElementFrequencies(SteelBars(0.1, kCoarseDiameters, stiffness), 1, 16);
    const std::vector<OrdinalFrequency>& exact = coarse.summary.variants[v - 1].continuous.inRange;
    // All of the finite-element model's up to FK = 8000 rad/s, and no more.
    ASSERT_EQ(exact.size(), static_cast<size_t>(std::count_if(fe.begin(), fe.end(), [](double w) { return w <= 8000; })));
    ASSERT_GE(exact.size(), 4u);
    // (The masses are given to 6 or 7 digits.)
    for (size_t i = 0; i < exact.size(); ++i) EXPECT_NEAR(exact[i].omega, fe[i], 5e-6 * fe[i]) << i;
    // Halving every section changes nothing but the rounding.
    const std::vector<OrdinalFrequency>& halved = fine.summary.variants[v - 1].continuous.inRange;
    ASSERT_FALSE(halved.empty());
    for (size_t i = 0; i < halved.size(); ++i) EXPECT_NEAR(halved[i].omega, exact[i].omega, 1e-11 * exact[i].omega);
    const VariantResult& lumped = coarse.summary.variants[v - 1];
    for (size_t i = 0; i < lumped.modes.size(); ++i)
      largest = std::max(largest, std::fabs(lumped.modes[i].omega / *lumped.continuous.sameOrdinal.at(i) - 1));
  }
  EXPECT_GT(largest, 0.2);
}
