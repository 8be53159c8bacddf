#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "numtext.h"
#include "results_tables.h"
#include "shaft_fixtures.h"
#include "sob.h"

using namespace vp;
using namespace vp::test;

namespace {

// Records what the mode-shape form holds each time it is shown.
class RecordingDisplay : public ModeShapeDisplay {
 public:
  bool ShowModeShape(const TNewFormModel& form) override { return shown.push_back(form), true; }
  std::vector<TNewFormModel> shown;
};

TShaftModel Model(int KM, int KZ, int KW, int KP) {
  TShaftModel m;
  m.N = 1;
  m.KM = KM;
  m.KZ = KZ;
  m.KW = KW;
  m.KP = KP;
  for (int i = 1; i <= KM; ++i) m.SectionLength[i] = 0.5 * i;
  m.ComputeSectionX();
  return m;
}

// A mode whose quantities tell where they came from: y = i + 0.5, theta = -i,
// M = 10 i + k, Q = v / 4; V[r] = r / 10.
struct SyntheticMode {
  std::vector<State> states;
  std::vector<double> V;
  ModeResult result;
  SyntheticMode(const TShaftModel& m, int v, int k, double F) {
    states.resize(m.KM + 1);
    for (int i = 1; i <= m.KM; ++i) states[i] = {i + 0.5, -1.0 * i, 10.0 * i + k, v / 4.0};
    const int n = 4 * m.KZ;
    V.assign(n + 2, 0);
    for (int r = 1; r < n; ++r) V[r] = r / 10.0;
    result = {v, k, F / 100, F, n, &V, &states};
  }
};

struct Writer {
  ResultsTables tables;
  TNewFormModel newForm;
  RecordingDisplay display;
  ResultsWriter writer;
  Writer(const TShaftModel& m, bool showModes, char sep = '.')
      : writer(tables, newForm, m, showModes, &display, sep) {}
  void Frequency(const TShaftModel& m, int v, int k, double F) {
    writer.FrequencyEntry(v, k, F);
    SyntheticMode mode(m, v, k, F);
    writer.SectionResults(mode.result);
  }
};

}  // namespace

TEST(ResultsTables, FrequencyTableHasAColumnPerFrequencyAndARowPerVariant) {
  const TShaftModel m = Model(5, 2, 2, 2);
  Writer w(m, false, ',');
  w.Frequency(m, 1, 1, 123.5);
  w.Frequency(m, 1, 2, 456.25);
  w.Frequency(m, 2, 1, 130);
  const StringTable& g = w.tables.StringGrid1;
  EXPECT_EQ(g.Cell(1, 0), "Частота № 1");
  EXPECT_EQ(g.Cell(2, 0), "Частота № 2");
  EXPECT_EQ(g.Cell(0, 1), "Вариант № 1");
  EXPECT_EQ(g.Cell(0, 2), "Вариант № 2");
  EXPECT_EQ(g.Cell(1, 1), "123,5");
  EXPECT_EQ(g.Cell(2, 1), "456,25");
  EXPECT_EQ(g.Cell(1, 2), "130");
  // Variant 2 found fewer frequencies: variant 1's second one stays in view.
  EXPECT_EQ(g.ColCount(), 3);
  EXPECT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.Cell(2, 2), "");
}

TEST(ResultsTables, FrequencyColumnsAreTheMostAnyVariantFound) {
  const TShaftModel m = Model(3, 1, 3, 4);
  Writer w(m, false);
  for (int k = 1; k <= 2; ++k) w.Frequency(m, 1, k, 100.0 * k);
  for (int k = 1; k <= 4; ++k) w.Frequency(m, 2, k, 110.0 * k);
  w.Frequency(m, 3, 1, 120);
  EXPECT_EQ(w.tables.StringGrid1.ColCount(), 5);
  EXPECT_EQ(w.tables.StringGrid1.Cell(4, 0), "Частота № 4");
  EXPECT_EQ(w.tables.StringGrid1.Cell(4, 2), "440");
  // A new run starts from the initial sizes, not from the last run's.
  w.tables.Clear();
  w.Frequency(m, 1, 1, 100);
  EXPECT_EQ(w.tables.StringGrid1.ColCount(), 2);
}

TEST(ResultsTables, SectionTableBlocksForFiveSections) {
  const TShaftModel m = Model(5, 2, 2, 2);
  Writer w(m, false);
  w.Frequency(m, 1, 1, 100);
  w.Frequency(m, 1, 2, 200);
  w.Frequency(m, 2, 1, 110);
  const StringTable& g2 = w.tables.StringGrid2;
  EXPECT_EQ(g2.ColCount(), 3);
  EXPECT_EQ(g2.RowCount(), 2);
  const char* numbers[] = {"1", "3", "5"};
  const char* coords[] = {"0.5", "3", "7.5"};
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(g2.Cell(c, 0), numbers[c]);
    EXPECT_EQ(g2.Cell(c, 1), coords[c]);
  }
  EXPECT_EQ(g2.Cell(3, 0), "");  // the pointer column's section lies beyond the shaft

  const StringTable& g3 = w.tables.StringGrid3;
  EXPECT_EQ(g3.ColCount(), 4 * 2 + 2);
  EXPECT_EQ(g3.RowCount(), 12);
  EXPECT_EQ(g3.Cell(1, 0), "Номер частоты:");
  EXPECT_EQ(g3.Cell(1, 1), "Номер уч-ка:");
  // Frequency 2's block starts at column (2-1)*4 + 2 = 6.
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(g3.Cell(2 + c, 0), "Частота№ 1");
    EXPECT_EQ(g3.Cell(6 + c, 0), "Частота№ 2");
    EXPECT_EQ(g3.Cell(6 + c, 1), std::to_string(2 * c + 1));
  }
  const std::string captions[] = {"Смещение:", "Угол поворота:", "Момент:", "Попер. сила:"};
  for (int v = 1; v <= 2; ++v) {
    const int top = 5 * (v - 1) + 2;
    EXPECT_EQ(g3.Cell(0, top), "Вариант № " + std::to_string(v));
    for (int q = 0; q < 4; ++q) EXPECT_EQ(g3.Cell(1, top + q), captions[q]);
    EXPECT_EQ(g3.Cell(0, 5 * v + 1), "-----------------");
    EXPECT_EQ(g3.Cell(1, 5 * v + 1), "-----------------");
  }
  // Variant 1, frequency 2, section 3 (c = 1): y = 3.5, theta = -3, M = 32, Q = 0.25.
  EXPECT_EQ(g3.Cell(7, 2), "3.5");
  EXPECT_EQ(g3.Cell(7, 3), "-3");
  EXPECT_EQ(g3.Cell(7, 4), "32");
  EXPECT_EQ(g3.Cell(7, 5), "0.25");
  EXPECT_EQ(g3.Cell(9, 1), "7");
  for (int q = 0; q < 4; ++q) {
    EXPECT_EQ(g3.Cell(5, 2 + q), "частота N 2->");
    EXPECT_EQ(g3.Cell(9, 2 + q), "частота N 3->");
    EXPECT_EQ(g3.Cell(5, 7 + q), "частота N 2->");
  }
  EXPECT_EQ(g3.Cell(9, 6), "-----------------");
  EXPECT_EQ(g3.Cell(6, 7), "");  // variant 2 found one frequency only
}

TEST(ResultsTables, BlockWidthsForOneAndFourSections) {
  {
    const TShaftModel m = Model(1, 1, 1, 1);
    Writer w(m, false);
    w.Frequency(m, 1, 1, 100);
    EXPECT_EQ(w.tables.StringGrid2.ColCount(), 1);
    EXPECT_EQ(w.tables.StringGrid2.Cell(0, 0), "1");
    EXPECT_EQ(w.tables.StringGrid3.ColCount(), 4);
    EXPECT_EQ(w.tables.StringGrid3.Cell(2, 1), "1");
    EXPECT_EQ(w.tables.StringGrid3.Cell(3, 1), "3");
    EXPECT_EQ(w.tables.StringGrid3.Cell(3, 2), "частота N 2->");
  }
  {
    const TShaftModel m = Model(4, 1, 1, 1);
    Writer w(m, false);
    w.Frequency(m, 1, 1, 100);
    EXPECT_EQ(w.tables.StringGrid2.ColCount(), 2);
    EXPECT_EQ(w.tables.StringGrid3.ColCount(), 5);
    EXPECT_EQ(w.tables.StringGrid3.Cell(3, 1), "3");
    EXPECT_EQ(w.tables.StringGrid3.Cell(4, 1), "5");
    EXPECT_EQ(w.tables.StringGrid3.Cell(3, 2), "3.5");
    EXPECT_EQ(w.tables.StringGrid3.Cell(4, 2), "частота N 2->");
  }
}

TEST(ResultsTables, HiddenTablesHoldSolutionsAndEveryState) {
  const TShaftModel m = Model(5, 2, 2, 2);
  Writer w(m, false);
  w.Frequency(m, 1, 1, 100);
  w.Frequency(m, 2, 2, 200);
  const StringTable& g4 = w.tables.StringGrid4;
  EXPECT_EQ(g4.ColCount(), 16);
  EXPECT_EQ(g4.RowCount(), 3);
  EXPECT_EQ(g4.Cell(0, 1), "Вариант № 1");
  EXPECT_EQ(g4.Cell(0, 2), "Вариант № 2");
  for (int r = 1; r <= 7; ++r) {
    EXPECT_EQ(g4.Cell(r, 0), std::to_string(r));
    EXPECT_EQ(g4.Cell(8 + r, 0), std::to_string(r));
    EXPECT_EQ(g4.Cell(r, 1), GeneralFormat(r / 10.0, '.'));
    EXPECT_EQ(g4.Cell(8 + r, 2), GeneralFormat(r / 10.0, '.'));
  }
  EXPECT_EQ(g4.Cell(8, 1), "частота N 2->");
  EXPECT_EQ(g4.Cell(16, 2), "частота N 3->");

  const StringTable& g5 = w.tables.StringGrid5;
  EXPECT_EQ(g5.ColCount(), 10);
  EXPECT_EQ(g5.RowCount(), 8);
  // Variant 2, frequency 2, section 4: column 5 + 3, rows 4..7.
  EXPECT_EQ(g5.Cell(8, 4), "4.5");
  EXPECT_EQ(g5.Cell(8, 5), "-4");
  EXPECT_EQ(g5.Cell(8, 6), "42");
  EXPECT_EQ(g5.Cell(8, 7), "0.5");
  EXPECT_EQ(g5.Cell(0, 0), "1.5");
}

TEST(ResultsTables, NonPositiveFrequencyCountStoresCellsBeyondTheCounts) {
  const TShaftModel m = Model(5, 1, 1, 0);
  Writer w(m, false);
  w.Frequency(m, 1, 1, 100);
  EXPECT_EQ(w.tables.StringGrid3.ColCount(), 2);
  EXPECT_EQ(w.tables.StringGrid3.Cell(2, 2), "1.5");
  EXPECT_EQ(w.tables.StringGrid4.ColCount(), 0);
  EXPECT_EQ(w.tables.StringGrid5.ColCount(), 0);
  EXPECT_EQ(w.tables.StringGrid5.Cell(4, 0), "5.5");
  // The smallest KP: the table sizes, KM * KP and the like, have no columns
  // (they used to overflow), and the one frequency is stored all the same.
  for (int KP : {-1, -2147483647 - 1}) {
    const TShaftModel low = Model(40, 1, 1, KP);
    Writer lw(low, false);
    lw.Frequency(low, 1, 1, 100);
    EXPECT_EQ(lw.tables.StringGrid3.ColCount(), 0) << KP;
    EXPECT_EQ(lw.tables.StringGrid4.ColCount(), 0) << KP;
    EXPECT_EQ(lw.tables.StringGrid5.ColCount(), 0) << KP;
    EXPECT_EQ(lw.tables.StringGrid5.Cell(39, 0), "40.5") << KP;
    EXPECT_EQ(lw.tables.StringGrid3.Cell(2, 2), "1.5") << KP;
  }
}

TEST(ResultsTables, ModeShapeFormIsFilledShownAndClearedPerFrequency) {
  const TShaftModel m = Model(3, 1, 2, 2);
  Writer w(m, true, ',');
  w.Frequency(m, 1, 1, 1234.5);
  w.Frequency(m, 2, 2, 99);
  ASSERT_EQ(w.display.shown.size(), 2u);
  const TNewFormModel& first = w.display.shown[0];
  EXPECT_EQ(first.Label2, "Вариант по жесткости N 1");
  EXPECT_EQ(first.Label3, "Частота N 1");
  EXPECT_EQ(first.Label7, "P= 1234,5");
  EXPECT_EQ(first.StringGrid3.ColCount(), 3);
  EXPECT_EQ(first.StringGrid3.Cell(2, 0), "3");
  EXPECT_EQ(first.StringGrid3.Cell(2, 1), "3,5");
  // Along the length from cross-section 0 (x 0, 0.5, 1.5, 3), the drawing beside.
  ASSERT_EQ(first.Series1.size(), 4u);
  for (int i = 0; i <= 3; ++i) {
    EXPECT_EQ(first.Series1[i].x, m.SectionX[i]);
    EXPECT_EQ(first.Series1[i].y, i == 0 ? 0 : i + 0.5);
    EXPECT_EQ(first.Series1[i].color, 0xFF0000u);
  }
  EXPECT_EQ(first.shaft.length, 3);
  EXPECT_EQ(w.display.shown[1].Label2, "Вариант по жесткости N 2");
  EXPECT_EQ(w.display.shown[1].Label3, "Частота N 2");
  EXPECT_TRUE(w.newForm.Series1.empty());  // cleared after each showing
}

TEST(ResultsTables, WithoutTheFlagTheModeShapeFormIsUntouched) {
  const TShaftModel m = Model(3, 1, 1, 1);
  Writer w(m, false);
  w.Frequency(m, 1, 1, 10);
  EXPECT_TRUE(w.display.shown.empty());
  EXPECT_EQ(w.newForm.Label2, "Вариант по жесткости №");
  EXPECT_EQ(w.newForm.Label7, "");
}

TEST(ResultsTables, ChartPointsStayInAscendingOrderOfX) {
  TNewFormModel form;
  form.AddPoint(3, 30, 1);
  form.AddPoint(1, 10, 1);
  form.AddPoint(2, 20, 1);
  form.AddPoint(2, 21, 1);
  ASSERT_EQ(form.Series1.size(), 4u);
  EXPECT_EQ(form.Series1[0].y, 10);
  EXPECT_EQ(form.Series1[1].y, 20);
  EXPECT_EQ(form.Series1[2].y, 21);
  EXPECT_EQ(form.Series1[3].y, 30);
}

TEST(ResultsTables, SolverFillsTheTablesOfARealRun) {
  const TShaftModel m = UniformFreeFree(100, {30, 100}, 3);
  ResultsTables tables;
  TNewFormModel newForm;
  ResultsWriter writer(tables, newForm, m, false, nullptr, '.');
  SolverContext ctx{m, writer};
  TSearchParams P = Params(1, 1, 100, 1e-10, 1e-6);
  int v = 1;
  EXPECT_FALSE(SOB(P, v, ctx));
  EXPECT_EQ(tables.StringGrid1.ColCount(), 3);
  EXPECT_NEAR(RealOfText(tables.StringGrid1.Cell(1, 1), '.'), 2237.675, 5e-4);
  EXPECT_NEAR(RealOfText(tables.StringGrid1.Cell(2, 1), '.'), 6168.90, 5e-3);
  EXPECT_EQ(tables.StringGrid1.Cell(3, 1), "");
  // Section 99 is listed (c = 49) in the first block; its deflection is about 1.
  EXPECT_NEAR(RealOfText(tables.StringGrid3.Cell(2 + 49, 2), '.'), 1.0, 1e-4);
  EXPECT_EQ(tables.StringGrid3.Cell(2 + 50, 1), "101");
  EXPECT_NEAR(RealOfText(tables.StringGrid5.Cell(99, 0), '.'), 1.0476, 5e-5);
}
