#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "errors.h"
#include "main_form_model.h"
#include "messages.h"
#include "numtext.h"
#include "stiffness_calculator_model.h"

using vp::CalcError;
using vp::JestkCount;
using vp::TMainFormJestkModel;
using vp::TMainFormModel;

namespace {

// A calculator with modulus 64, bore 0, the given diameters and discs
// (section number, width) as texts.
TMainFormJestkModel Calculator(const std::vector<std::string>& diameters,
                               const std::vector<std::pair<std::string, std::string>>& discs = {}) {
  TMainFormJestkModel f;
  f.Edit1 = "64";
  f.Edit2 = "0";
  f.SetSpinValue(JestkCount::Sections, static_cast<int>(diameters.size()));
  for (size_t i = 0; i < diameters.size(); ++i) f.StringGrid1.SetCell(static_cast<int>(i), 0, diameters[i]);
  f.SetSpinValue(JestkCount::Discs, static_cast<int>(discs.size()));
  for (size_t j = 0; j < discs.size(); ++j) {
    f.StringGrid2.SetCell(static_cast<int>(j), 0, discs[j].first);
    f.StringGrid3.SetCell(static_cast<int>(j), 0, discs[j].second);
  }
  return f;
}

double Result(const TMainFormJestkModel& f, int section) {
  return vp::RealOfText(f.StringGrid4.Cell(section - 1, 0), '.');
}

// EI / 10^9 of a section of diameter 100 without discs, modulus 64, no bore.
const double kPlain100 = 1e8 * 3.141592653589793 / 1e9;

// The message of the error the calculation stops with, or "" when it completes.
std::string Failure(TMainFormJestkModel& f) {
  try {
    f.BitBtn1Click('.');
  } catch (const std::exception& e) {
    return vp::MessageOf(e);
  }
  return "";
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

double K(double ratio) {
  double k = -1;
  EXPECT_TRUE(TMainFormJestkModel::Nomogramma(ratio, k));
  return k;
}

}  // namespace

TEST(JestkCalculation, StiffnessOfPlainSectionsInTheGeneralFormat) {
  auto f = Calculator({"1", "100"});
  f.BitBtn1Click('.');
  EXPECT_EQ(f.StringGrid4.ColCount(), 2);
  EXPECT_EQ(f.StringGrid4.Cell(0, 0), "3.14159265358979E-9");
  EXPECT_EQ(f.StringGrid4.Cell(1, 0), "0.314159265358979");

  auto g = Calculator({"1,5"});
  g.Edit2 = "0,5";
  g.BitBtn1Click(',');  // (1.5^4 - 0.5^4) * pi = 5 * pi
  EXPECT_EQ(g.StringGrid4.Cell(0, 0), "1,5707963267949E-8");
  EXPECT_THROW(g.BitBtn1Click('.'), vp::Failure);
}

TEST(JestkCalculation, DiscsRaiseTheirSectionByHalfOfOnePlusTheFactor) {
  EXPECT_NEAR(K(0.1), 1.412502, 5e-7);
  EXPECT_EQ(K(0.2), 1.714286);
  EXPECT_EQ(K(0), 1.044444);

  auto f = Calculator({"100", "100", "100", "100"}, {{"1", "10"}, {"2", "20"}, {"3", "0"}, {"4", "10"}, {"4", "20"}});
  f.BitBtn1Click('.');
  EXPECT_NEAR(Result(f, 1) / kPlain100, 1.206251, 5e-7);
  EXPECT_NEAR(Result(f, 2) / kPlain100, 1.357143, 5e-7);
  EXPECT_NEAR(Result(f, 3) / kPlain100, 1.022222, 5e-7);
  // Two discs on one section: the second factor applies to the raised EI.
  EXPECT_NEAR(Result(f, 4) / kPlain100, (1 + K(0.1)) / 2 * (1 + K(0.2)) / 2, 1e-14);

  // The ratio is width over the outer diameter, not reduced by the bore.
  auto g = Calculator({"100"}, {{"1", "20"}});
  g.Edit2 = "50";
  g.BitBtn1Click('.');
  EXPECT_NEAR(Result(g, 1), (1e8 - 6.25e6) * 3.141592653589793 / 1e9 * 1.357143, 1e-7);
}

TEST(JestkCalculation, DiscsOffTheSectionsChangeNothingAndTheCheckBoxOnlyHides) {
  auto f = Calculator({"100", "100"}, {{"0", "10"}, {"2.5", "10"}, {"3", "10"}, {"-1", "10"}});
  f.BitBtn1Click('.');
  EXPECT_EQ(f.StringGrid4.Cell(0, 0), "0.314159265358979");
  EXPECT_EQ(f.StringGrid4.Cell(1, 0), "0.314159265358979");

  auto g = Calculator({"100"}, {{"1", "10"}, {"1", "20"}});
  g.SetCheckBox1(true);
  EXPECT_TRUE(g.DiscControlsVisible && g.Bevel3Raised);
  g.SetCheckBox1(false);
  EXPECT_FALSE(g.DiscControlsVisible || g.Bevel3Raised);
  g.BitBtn1Click('.');
  EXPECT_NEAR(Result(g, 1) / kPlain100, (1 + K(0.1)) / 2 * (1 + K(0.2)) / 2, 1e-14);
}

TEST(JestkCalculation, ReadsInOrderAndKeepsWhatWasWrittenBeforeAFailure) {
  auto f = Calculator({"1", "1", "", "1", "1"});
  for (int c = 0; c < 5; ++c) f.StringGrid4.SetCell(c, 0, "old");
  EXPECT_TRUE(Contains(Failure(f), "Диаметры ротора, участок 3: '' is not a valid floating point value"));
  EXPECT_EQ(f.StringGrid4.Cell(0, 0), "3.14159265358979E-9");
  EXPECT_EQ(f.StringGrid4.Cell(1, 0), "3.14159265358979E-9");
  for (int c = 2; c < 5; ++c) EXPECT_EQ(f.StringGrid4.Cell(c, 0), "old");

  // Bore before modulus; an empty bore is not 0. Discs before any section.
  auto g = Calculator({"1"}, {{"1", "x"}});
  g.Edit2 = "";
  g.Edit1 = "E";
  EXPECT_TRUE(Contains(Failure(g), "Диаметр центрального свеления: ''"));
  g.Edit2 = "0";
  EXPECT_TRUE(Contains(Failure(g), "Модуль упругости: 'E'"));
  g.Edit1 = "64";
  EXPECT_TRUE(Contains(Failure(g), "Ширина дисков, диск 1: 'x'"));
  EXPECT_EQ(g.StringGrid4.Cell(0, 0), "");
}

TEST(JestkCalculation, ArithmeticFaultsAndNegativeRatiosStopWithTheSectionNamed) {
  auto zero = Calculator({"1", "0", "1"}, {{"2", "5"}});
  zero.StringGrid4.SetCell(2, 0, "old");
  EXPECT_TRUE(Contains(Failure(zero), "участка 2"));
  EXPECT_EQ(zero.StringGrid4.Cell(0, 0), "3.14159265358979E-9");
  EXPECT_EQ(zero.StringGrid4.Cell(2, 0), "old");

  auto noDisc = Calculator({"0"});
  noDisc.BitBtn1Click('.');
  EXPECT_EQ(noDisc.StringGrid4.Cell(0, 0), "0");

  auto negative = Calculator({"100", "100", "100"}, {{"3", "-10"}});
  const std::string message = Failure(negative);
  EXPECT_TRUE(Contains(message, "Отрицательное отношение") && Contains(message, "участка 3")) << message;
  EXPECT_EQ(negative.StringGrid4.Cell(1, 0), "0.314159265358979");
  auto negDiameter = Calculator({"-100"}, {{"1", "10"}});
  EXPECT_THROW(negDiameter.BitBtn1Click('.'), CalcError);

  auto huge = Calculator({"1e100"});
  EXPECT_THROW(huge.BitBtn1Click('.'), CalcError);
  EXPECT_EQ(huge.StringGrid4.Cell(0, 0), "");

  auto wide = Calculator({"100"}, {{"1", "100"}});
  wide.BitBtn1Click('.');
  EXPECT_NEAR(Result(wide, 1) / kPlain100, (1 + 2.616667) / 2, 1e-14);
}

TEST(JestkCounts, SpinEditsSizeTheRowsWithinZeroTo200) {
  TMainFormJestkModel f;
  EXPECT_EQ(f.StringGrid1.ColCount(), 1);
  f.SetSpinText(JestkCount::Sections, "7");
  EXPECT_EQ(f.StringGrid1.ColCount(), 7);
  f.SetSpinText(JestkCount::Sections, "250");
  EXPECT_EQ(f.SectionCount(), 200);
  EXPECT_EQ(f.StringGrid1.ColCount(), 200);
  f.LeaveSpin(JestkCount::Sections);
  EXPECT_EQ(f.SpinEdit1.Text(), "200");
  f.SetSpinText(JestkCount::Sections, "abc");
  EXPECT_EQ(f.SectionCount(), 0);
  EXPECT_EQ(f.StringGrid1.ColCount(), 1);
  f.SetSpinText(JestkCount::Discs, "3");
  EXPECT_EQ(f.StringGrid2.ColCount(), 3);
  EXPECT_EQ(f.StringGrid3.ColCount(), 3);
  f.SetSpinText(JestkCount::Discs, "-4");
  EXPECT_EQ(f.DiscCount(), 0);
  EXPECT_EQ(f.StringGrid3.ColCount(), 1);

  // Section count 0 computes nothing.
  f.Edit1 = "64";
  f.Edit2 = "0";
  f.StringGrid4.SetCell(0, 0, "old");
  f.BitBtn1Click('.');
  EXPECT_EQ(f.StringGrid4.ColCount(), 1);
  EXPECT_EQ(f.StringGrid4.Cell(0, 0), "old");
}

TEST(JestkTransfer, OpeningTakesKMAndTransferSendsEIOfTheFieldsAsTheyAreNow) {
  TMainFormModel main;
  main.SetSpinValue(vp::Count::Sections, 25);
  TMainFormJestkModel f;
  f.Open(main);
  EXPECT_TRUE(f.Visible);
  EXPECT_EQ(f.SectionCount(), 25);
  EXPECT_EQ(f.StringGrid1.ColCount(), 25);

  // Computed, then a diameter edited: the transfer computes again.
  f = Calculator({"100", "100", "100"});
  f.BitBtn1Click('.');
  f.StringGrid1.SetCell(1, 0, "200");
  f.BitBtn2Click(main, '.');
  EXPECT_FALSE(f.Visible);
  EXPECT_EQ(main.SpinEdit2.Text(), "3");
  EXPECT_EQ(main.StringGrid1.ColCount(), 4);
  EXPECT_EQ(main.StringGrid1.Cell(3, 0), "Участок 3");
  EXPECT_EQ(main.StringGrid1.Cell(1, 3), "0.314159265358979");
  EXPECT_EQ(main.StringGrid1.Cell(2, 3), "5.02654824574367");

  // A field that does not read transfers nothing, and names the field.
  const TMainFormModel before = main;
  f.StringGrid1.SetCell(2, 0, "1,5");
  try {
    f.BitBtn2Click(main, '.');
    ADD_FAILURE() << "transferred";
  } catch (const vp::Failure& e) {
    EXPECT_TRUE(Contains(vp::Message(e.error()), "Диаметры ротора, участок 3: '1,5'"));
  }
  EXPECT_TRUE(main == before);
}

// Results taken in one system of units are cleared when another is chosen.
TEST(JestkUnits, AnotherChoiceClearsTheResults) {
  auto f = Calculator({"100", "100"});
  f.BitBtn1Click('.');
  f.SetUnits(vp::JestkUnits::MegapascalMillimetre);
  EXPECT_EQ(f.StringGrid4.Cell(1, 0), "0.314159265358979");
  f.SetUnits(vp::JestkUnits::PascalMetre);
  EXPECT_EQ(f.StringGrid4.Cell(0, 0), "");
  EXPECT_EQ(f.StringGrid4.Cell(1, 0), "");
}

// A steel shaft of 100 mm (E = 2.1E5 МПа) is 1030.8 кН·м²; taken in Pa and m
// it is the same 1.0308E6 Н·м², transferred unscaled.
TEST(JestkUnits, TheSiChoiceTransfersEIUnscaledTheDefaultInKilonewtonSquareMetres) {
  auto steel = Calculator({"100"});
  steel.Edit1 = "2.1E5";
  steel.BitBtn1Click('.');
  auto si = Calculator({"0.1"});
  si.Edit1 = "2.1E11";
  si.SetUnits(vp::JestkUnits::PascalMetre);
  si.BitBtn1Click('.');
  EXPECT_NEAR(Result(steel, 1), 2.1e5 * 1e8 * 3.141592653589793 / 64 / 1e9, 1e-9);
  EXPECT_NEAR(Result(si, 1), 1000 * Result(steel, 1), 1e-6);
  EXPECT_STREQ(vp::UnitTexts(steel.Units).modulus, "МПа");
  EXPECT_STREQ(vp::UnitTexts(si.Units).length, "м");
}

TEST(JestkTransfer, FewerSectionsThanTheMainFormHasAreAskedAbout) {
  TMainFormModel main;
  main.SetSpinValue(vp::Count::Sections, 40);
  for (const auto& [n, loss] : {std::pair{20, "Число участков на главной форме уменьшится с 40 до 20: данные участков "
                                              "21 - 40 будут потеряны."},
                                std::pair{40, ""}, std::pair{250, ""}}) {
    auto f = Calculator(std::vector<std::string>(n, "1"));
    const std::optional<vp::Error> error = f.TransferLoss(main);
    EXPECT_EQ(error ? vp::Message(*error) : "", loss) << n;
  }
}

TEST(JestkNomogram, KnotsExactlyAndStraightLinesBetween) {
  const auto& r = TMainFormJestkModel::kNomRatio;
  const auto& k = TMainFormJestkModel::kNomFactor;
  EXPECT_EQ(r[3], 0.066666);
  EXPECT_EQ(k[28], 2.5111111);
  EXPECT_EQ(k[39], 2.616667);
  for (int i = 0; i < TMainFormJestkModel::kKnots; ++i) EXPECT_EQ(K(r[i]), k[i]) << "knot " << i + 1;
  for (int i = 0; i + 1 < TMainFormJestkModel::kKnots; ++i) {
    EXPECT_LT(r[i], r[i + 1]);
    for (double t : {0.25, 0.5, 0.9}) {
      const double x = r[i] + t * (r[i + 1] - r[i]);
      EXPECT_NEAR(K(x), k[i] + t * (k[i + 1] - k[i]), 1e-12) << "knot " << i + 1 << " t " << t;
    }
  }
  // The last interval slopes down from 2.622222 to 2.616667.
  EXPECT_LT(K(0.9), 2.622222);
  EXPECT_GT(K(0.9), 2.616667);
  EXPECT_EQ(K(5.0), 2.616667);
  double untouched = 7;
  EXPECT_FALSE(TMainFormJestkModel::Nomogramma(-0.001, untouched));
  EXPECT_EQ(untouched, 7);
}
