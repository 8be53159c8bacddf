// The continuous shaft beside the lumped one: the run's comparison against an
// independent exact solution, pairing by true ordinal, the text lines and the
// window's table, and the second line beside a mode shape.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "beam_references.h"
#include "calculation_run.h"
#include "continuous_lines.h"
#include "error_text.h"
#include "form_fixtures.h"
#include "frequency_map.h"
#include "numtext.h"

using namespace vp;
using namespace vp::test;

namespace {

// Runs the form; with a display, records every mode-shape form shown.
struct Solved : AcceptingUi, ModeShapeDisplay {
  ProgramState st;
  std::vector<TNewFormModel> shown;
  explicit Solved(TMainFormModel form, bool showModes = false) {
    st.form = std::move(form);
    st.form.CheckBox1 = showModes;
    EXPECT_EQ(RunCalculation(st, *this, '.'), RunOutcome::Completed);
    EXPECT_EQ(messages, std::vector<std::string>{});
  }
  ModeShapeDisplay* ModeDisplay() override { return st.form.CheckBox1 ? this : nullptr; }
  bool ShowModeShape(const TNewFormModel& form) override { return shown.push_back(form), true; }
};

// The main form holding a shaft of one variant, searched from F1 to FK.
TMainFormModel FormOf(const TShaftModel& m, const std::string& F1, const std::string& FT1, const std::string& FK, int KP) {
  TMainFormModel f;
  f.SetSpinValue(Count::Supports, m.N);
  f.SetSpinValue(Count::Sections, m.KM);
  f.SetSpinValue(Count::Spans, m.KZ);
  f.SetSpinValue(Count::Variants, 1);
  f.Edit3 = std::to_string(KP);
  f.Edit8 = F1;
  f.Edit9 = FT1;
  f.Edit10 = FK;
  f.Edit11 = "1E-10";
  f.Edit12 = "1E-9";
  for (int k = 1; k <= m.KM; ++k) {
    f.StringGrid1.SetCell(k, 1, GeneralFormat(m.SectionLength[k], '.'));
    f.StringGrid1.SetCell(k, 2, GeneralFormat(m.SectionMass[k], '.'));
    f.StringGrid1.SetCell(k, 3, GeneralFormat(m.SectionEI[k], '.'));
  }
  for (int s = 1; s <= m.N; ++s) {
    f.StringGrid3.SetCell(s - 1, 1, std::to_string(m.SupportSection[s]));
    f.StringGrid2.SetCell(1, s, GeneralFormat(m.SupportStiffness[s][1], '.'));
  }
  for (int j = 1; j <= m.KZ; ++j) f.StringGrid4.SetCell(j - 1, 1, std::to_string(m.SpanEnd[j]));
  return f;
}

// A uniform free-free beam of length 1, EI 1, mass 1 in one section: its
// natural frequencies are (beta L)^2.
TShaftModel OneSectionBeam() { return MakeShaft({{1, 1, 1}}, {{1, 0}}); }

// A solved variant with found frequencies of the given ordinals.
VariantResult Found(const std::vector<double>& omegas, const std::vector<int>& ordinals) {
  VariantResult v;
  v.variant = 1;
  v.solved = true;
  for (double w : omegas) v.modes.push_back(ModeData{w, 100 * w, {}, {}});
  v.completeness.checked = true;
  v.completeness.ordinals = ordinals;
  return v;
}

}  // namespace

TEST(ContinuousComparison, TheRunGivesTheExactFrequenciesOfAStepFreeShaftWithSpringsPointMassesAndMasslessParts) {
  // Stepped, a massless lead-in, a disc as a section of length 0, a massless
  // overhang; two springs, two spans.
  const TShaftModel shaft = MakeShaft({{0.3, 2.0, 5.0}, {0.2, 0.0, 3.0}, {0, 1.5, 1.0}, {0.25, 1.2, 4.0},
                                       {0.4, 3.0, 8.0}, {0.1, 0.0, 2.0}},
                                      {{1, 50}, {5, 200}}, {3, 6});
  Solved run(FormOf(shaft, "0.5", "0.5", "60", 6));
  const VariantResult& v = run.st.summary.variants.at(0);
  ASSERT_TRUE(v.continuous.made);
  EXPECT_EQ(test::Text(v.continuous.problem), "");
  // Every root of the quadruple-precision transfer determinant in [F1, FK], in order.
  const TransferReference exact(run.st.model, 1);
  const std::vector<double> roots = exact.Roots(0.5, 60, 6000);
  ASSERT_GE(roots.size(), 3u);
  ASSERT_EQ(v.continuous.inRange.size(), roots.size());
  const int below = static_cast<int>(exact.Roots(1e-6, 0.5, 200).size());
  for (size_t i = 0; i < roots.size(); ++i) {
    EXPECT_EQ(v.continuous.inRange[i].ordinal, below + static_cast<int>(i) + 1);
    EXPECT_NEAR(v.continuous.inRange[i].omega, roots[i], 1e-10 * roots[i]);
  }
  // Each found frequency stands beside the root of its ordinal.
  ASSERT_GE(v.modes.size(), 3u);
  for (size_t i = 0; i < v.modes.size(); ++i) {
    const int n = v.completeness.ordinals.at(i);
    ASSERT_GT(n, 0);
    ASSERT_TRUE(v.continuous.sameOrdinal[i]);
    EXPECT_NEAR(*v.continuous.sameOrdinal[i], roots[n - below - 1], 1e-10 * roots[n - below - 1]);
  }
}

TEST(ContinuousComparison, FrequenciesArePairedByOrdinalWhenTheSweepPassedOverSomeAndShownWithTheirModes) {
  // A step of 280 passes over two frequencies of variant 1 (soft bearings);
  // the mode shapes are shown before the check, and their ordinals have gaps.
  TMainFormModel form = SteelRotorForm({1e7, 1e8}, 6);
  form.Edit9 = "280";
  Solved run(form, true);
  const VariantResult& v = run.st.summary.variants.at(0);
  ASSERT_FALSE(v.completeness.missed.empty());
  ASSERT_GE(run.shown.size(), v.modes.size());
  const ContinuousShaft shaft(run.st.model, 1);
  bool gap = false;
  for (size_t i = 0; i < v.modes.size(); ++i) {
    const int n = v.completeness.ordinals[i];
    gap = gap || n != static_cast<int>(i) + 1;
    ASSERT_TRUE(v.continuous.sameOrdinal[i]);
    const double omega = *v.continuous.sameOrdinal[i];
    EXPECT_EQ(omega, v.continuous.inRange.at(n - 1).omega);
    // The same mode of two models of one shaft: close, where a shifted pairing is not.
    EXPECT_NEAR(v.modes[i].omega / omega, 1, 0.03) << i;
    // Beside the mode shape: its P, and its deflections at cross-sections
    // 1..20 scaled so that cross-section 0 deflects as the lumped mode does
    // (1 there: the overhang's free end moves).
    const TNewFormModel& f = run.shown[i];
    EXPECT_NE(f.Label8.find("P= " + GeneralFormat(omega * 100, '.').substr(0, 8)), std::string::npos) << f.Label8;
    EXPECT_NE(f.Label8.find("об/мин\n(при единицах СИ)\nотличие "), std::string::npos);
    const ContinuousMode mode = shaft.Mode(omega);
    EXPECT_EQ(v.continuous.sameOrdinalModes.at(i)->y, mode.y);  // kept for the report
    ASSERT_EQ(f.Series2.size(), 21u);
    double products = 0;
    for (int c = 0; c <= 20; ++c) {
      EXPECT_EQ(f.Series2[c].x, c == 0 ? 0 : run.st.model.SectionX[c]);
      EXPECT_NEAR(f.Series2[c].y, mode.y[c] / mode.y[0], 1e-9 * std::fabs(1 / mode.y[0]));
      products += f.Series2[c].y * f.Series1[c].y;
    }
    EXPECT_GT(products, 0);
  }
  EXPECT_TRUE(gap);
  EXPECT_TRUE(run.st.newForm.Series2.empty());
  EXPECT_TRUE(run.st.newForm.Label8.empty());
  // The frequency map carries the same continuous frequency beside each ordinal.
  for (const MapLine& line : BuildFrequencyMap(run.st.summary).lines)
    for (size_t c = 0; c < 2; ++c) {
      const std::optional<double> omega = run.st.summary.variants[c].ContinuousOfOrdinal(line.ordinal);
      ASSERT_EQ(line.continuous[c].has_value(), omega.has_value());
      if (omega) {
        EXPECT_EQ(*line.continuous[c], *omega * 100);
      }
    }
}

TEST(ContinuousComparison, NothingStandsBesideADoubtfulFrequencyOrOneBeyondTheRange) {
  const TShaftModel beam = OneSectionBeam();
  const ContinuousShaft shaft(beam, 1);
  const double w1 = std::pow(kFreeFreeBetaL[0], 2), w2 = std::pow(kFreeFreeBetaL[1], 2);
  VariantResult v = Found({w1 * 0.99, 30, w2 * 1.5}, {1, 0, 3});
  CompareWithContinuous(shaft, 1, w2 * 1.01, v);
  ASSERT_EQ(v.continuous.inRange.size(), 2u);
  EXPECT_NEAR(v.continuous.inRange[1].omega, w2, 1e-11 * w2);
  ASSERT_TRUE(v.continuous.sameOrdinal[0]);
  EXPECT_NEAR(*v.continuous.sameOrdinal[0], w1, 1e-11 * w1);
  EXPECT_EQ(v.continuous.inRangeTotal, 2);
  EXPECT_FALSE(v.continuous.sameOrdinal[1]);  // doubtful
  EXPECT_FALSE(v.continuous.sameOrdinal[2]);  // the third lies above FK
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(v.continuous.sameOrdinalModes.at(i).has_value(), i == 0) << i;
  const std::optional<std::string> reasons[] = {std::nullopt, "не вычислена: номер собственной частоты не определен",
                                                "вне диапазона"};
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(NoContinuousReason(v, i), reasons[i]) << i;
  const std::vector<std::string> lines = ContinuousLines(v, 100, '.');
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_NE(lines[2].find("непрерывная модель: нет (номер собственной частоты не определен)"), std::string::npos);
  EXPECT_NE(lines[3].find("Частота № 3: P = "), std::string::npos);
  EXPECT_NE(lines[3].find("непрерывная модель: собственной частоты № 3 в диапазоне нет"), std::string::npos);
}

TEST(ContinuousComparison, AnOrdinalBeyondTheHundredListedIsFoundOnItsOwn) {
  const ContinuousShaft shaft(OneSectionBeam(), 1);
  // High free-free modes: beta L = (2n + 1) pi / 2 to far below the rounding.
  const double w150 = std::pow(301 * std::numbers::pi / 2, 2);
  VariantResult v = Found({w150}, {150});
  CompareWithContinuous(shaft, 1, 1e9, v);
  ASSERT_EQ(v.continuous.inRange.size(), 100u);
  EXPECT_EQ(v.continuous.inRange.back().ordinal, 100);
  EXPECT_EQ(v.continuous.inRangeTotal, 10065);  // (2n + 1) pi / 2 up to sqrt(1E9)
  ASSERT_TRUE(v.continuous.sameOrdinal[0]);
  EXPECT_NEAR(*v.continuous.sameOrdinal[0], w150, 1e-10 * w150);
  EXPECT_NE(ContinuousLines(v, 100, '.')[0].find("от 100 до 100000000000: не менее 100;"), std::string::npos);
}

TEST(ContinuousComparison, LinesGiveHertzRpmTheDifferenceAndMarkItAboveOnePercent) {
  const double w = 2 * std::numbers::pi;  // 1 Hz
  VariantResult v = Found({1.02 * w, 2.995 * w}, {1, 2});
  v.continuous.made = true;
  v.continuous.low = 1, v.continuous.high = 100;
  v.continuous.sameOrdinal = {w, 3 * w};
  v.continuous.inRange = {{1, w}, {2, 3 * w}};
  const std::vector<std::string> lines = ContinuousLines(v, 100, ',');
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0],
            "Вариант № 1: непрерывная модель вала (масса каждого участка распределена по его длине), собственных "
            "частот в диапазоне от 100 до 10000: 2; Гц и об/мин - при единицах СИ.");
  EXPECT_EQ(lines[1],
            "Частота № 1: P = 640,88490 (1,02 Гц, 61,2 об/мин); непрерывная модель: P = 628,31853 (1 Гц, 60 об/мин); "
            "отличие +2,00 % !");
  EXPECT_NE(lines[2].find("(2,995 Гц, 179,7 об/мин); непрерывная модель: P = 1884,95559 (3 Гц, 180 об/мин)"), std::string::npos);
  EXPECT_NE(lines[2].find("отличие -0,17 %"), std::string::npos);
  EXPECT_EQ(ContinuousLines(v, 100, '.')[1],  // the point given, also where the C library writes the comma (ru_RU)
            "Частота № 1: P = 640.88490 (1.02 Гц, 61.2 об/мин); непрерывная модель: P = 628.31853 (1 Гц, 60 об/мин); отличие +2.00 % !");
  EXPECT_EQ(lines[2].find('!'), std::string::npos);
  EXPECT_NE(lines[3].find("разбейте вал на большее число более коротких участков"), std::string::npos);
  // The window's table: one row per frequency, the large one marked.
  ResultsSummary summary;
  summary.variants = {v};
  std::vector<int> marked;
  const StringTable table = ContinuousTable(summary, '.', &marked);
  ASSERT_EQ(table.RowCount(), 3);
  EXPECT_EQ(table.Cell(4, 0), "Непрерывная модель");
  EXPECT_EQ(table.Cell(2, 1), "1.02");  // the found frequency in Hz and rpm
  EXPECT_EQ(table.Cell(3, 1), "61.2");
  EXPECT_EQ(table.Cell(4, 1), "628.318530717959");
  EXPECT_EQ(table.Cell(5, 1), "1");
  EXPECT_EQ(table.Cell(6, 1), "60");
  EXPECT_EQ(table.Cell(7, 1), "+2.00 !");
  EXPECT_EQ(table.Cell(7, 2), "-0.17");
  EXPECT_EQ(marked, std::vector<int>{1});
  EXPECT_EQ(ContinuousNotes(summary), std::vector<std::string>{lines[3]});
  // Within 1 %: no mark, no advice.
  v.modes[0].omega = 1.0099 * w;
  EXPECT_EQ(ContinuousLines(v, 100, '.').size(), 3u);
}

TEST(ContinuousComparison, AShaftItCannotSolveIsSaidSoInOneLine) {
  TShaftModel beam = OneSectionBeam();
  beam.SectionMass[1] = -1;
  VariantResult v = Found({5}, {0});
  CompareWithContinuous(ContinuousShaft(beam, 1), 1, 100, v);
  ASSERT_NE(test::Text(v.continuous.problem), "");
  EXPECT_FALSE(v.continuous.sameOrdinal.at(0));
  EXPECT_EQ(ContinuousLines(v, 100, '.'),
            std::vector<std::string>{"Вариант № 1: непрерывная модель вала не рассчитана: " + test::Text(v.continuous.problem) + "."});
  ResultsSummary summary;
  summary.variants = {v};
  // The found frequency keeps its row, with Hz and rpm.
  const StringTable table = ContinuousTable(summary, '.');
  ASSERT_EQ(table.RowCount(), 2);
  EXPECT_EQ(table.Cell(4, 1), "не рассчитана");
  EXPECT_EQ(ContinuousNotes(summary), ContinuousLines(v, 100, '.'));
}

TEST(ContinuousComparison, TheSecondLineMatchesTheFirstAtCrossSectionZeroOrAtItsLargestWithTheBetterSign) {
  EXPECT_DOUBLE_EQ(CompanionScale({2, 3, -1}, {1, 1.4, -0.6}), 2);
  EXPECT_DOUBLE_EQ(CompanionScale({2, 3, -1}, {-1, -1.4, 0.6}), -2);
  // Near zero at cross-section 0 (in either line): the largest deflections.
  EXPECT_DOUBLE_EQ(CompanionScale({0.01, 1, -2}, {0.3, 2, -4}), 0.5);
  EXPECT_DOUBLE_EQ(CompanionScale({1, 1, -2}, {0.01, 2, -4}), 0.5);
  EXPECT_EQ(CompanionScale({0, 0}, {1, 2}), 0);
  EXPECT_EQ(CompanionScale({1, 2}, {}), 0);
}
