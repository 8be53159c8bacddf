// The critical-speed map as shown, exported and reported: reported
// frequencies, the variants' marks, the axes, the window's fields, and the
// chart sheet read back from a written workbook.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <regex>

#include "beam_references.h"
#include "continuous_shaft.h"
#include "error_text.h"
#include "form_fixtures.h"
#include "report_plot.h"
#include "results_export.h"
#include "stiffness_map_model.h"
#include "workbook_files.h"
#include "workbook_reader.h"

using namespace vp;
using namespace vp::test;
using ::testing::HasSubstr;

namespace {

// A stepped shaft with a point mass on three supports; variant 1 has all
// supports at 1e6, variant 2 unequal ones, variant 3 all at 0, variant 4 all
// at 1e12.
TShaftModel FourVariants() {
  TShaftModel m = MakeShaft({{0.2, 9.0, 3e5}, {0.0, 4.0, 0.0}, {0.3, 18.0, 8e5}, {0.25, 6.0, 2e5}, {0.15, 3.0, 1e5}},
                            {{1, 1e6}, {3, 1e6}, {5, 1e6}});
  m.KW = 4;
  m.KP = 4;
  for (int s = 1; s <= 3; ++s) {
    m.SupportStiffness[s][2] = 1e6 * s;
    m.SupportStiffness[s][3] = 0;
    m.SupportStiffness[s][4] = 1e12;
  }
  return m;
}

}  // namespace

TEST(StiffnessMapChart, AStopRequestedEndsTheMap) {
  StopFlag stop;
  EXPECT_NO_THROW(ChartStiffnessMap(FourVariants(), StiffnessMapRange{1e4, 1e9, 11, 4}, 100, &stop));
  stop.Request();
  EXPECT_THROW(ChartStiffnessMap(FourVariants(), StiffnessMapRange{1e4, 1e9, 11, 4}, 100, &stop), Failure);
}

TEST(StiffnessMapChart, ReportedFrequenciesAndTheVariantsOnTheirLines) {
  const TShaftModel m = FourVariants();
  const StiffnessMapRange range{1e4, 1e9, 11, 4};
  const StiffnessMapChart chart = ChartStiffnessMap(m, range, 100);
  ASSERT_TRUE(chart.Drawn()) << test::Text(chart.problem);
  const StiffnessMap omega = ComputeStiffnessMap(m, range);
  EXPECT_EQ(chart.stiffness, omega.stiffness);
  ASSERT_EQ(chart.curves.size(), 4u);
  for (size_t n = 0; n < 4; ++n) {
    EXPECT_EQ(chart.curves[n].ordinal, static_cast<int>(n) + 1);
    for (size_t i = 0; i < omega.stiffness.size(); ++i) EXPECT_EQ(chart.curves[n].F[i], 100 * omega.lines[n].omega[i]);
  }
  // Variant 1 lies on the map: its marks are the exact frequencies of the
  // shaft on those springs (the independent quadruple-precision solution).
  ASSERT_EQ(chart.marks.size(), 1u);
  const StiffnessMapMark& mark = chart.marks[0];
  EXPECT_EQ(mark.variant, 1);
  EXPECT_EQ(mark.stiffness, 1e6);
  ASSERT_EQ(mark.F.size(), 4u);
  const TransferReference exact(m, 1);
  for (double F : mark.F) {
    const double w = F / 100;
    ASSERT_TRUE(exact.ChangesSign(w * (1 - 1e-8), w * (1 + 1e-8))) << F;
    EXPECT_NEAR(w, exact.Root(w * (1 - 1e-8), w * (1 + 1e-8)), 1e-11 * w);
  }
  // ... and on the lines: k = 1e6 is the map's fifth point.
  for (size_t n = 0; n < 4; ++n) EXPECT_NEAR(mark.F[n], chart.curves[n].F[4], 1e-11 * mark.F[n]);
  // The others say why they are not on it.
  ASSERT_EQ(chart.unmapped.size(), 3u);
  EXPECT_EQ(UnmappedLine(chart.unmapped[0], ','),
            "Вариант № 2: жесткости опор разные, одной жесткостью всех опор вариант не представить");
  EXPECT_EQ(UnmappedLine(chart.unmapped[1], ','), "Вариант № 3: жесткость опор 0 - на логарифмической шкале ее нет");
  EXPECT_EQ(UnmappedLine(chart.unmapped[2], ','), "Вариант № 4: жесткость опор 1E12 вне диапазона карты");
  EXPECT_EQ(VariantMarkName(mark, ','), "Вариант № 1 (k = 1E6)");
}

TEST(StiffnessMapChart, DefaultRangeOrWhyThereIsNone) {
  TShaftModel m = FourVariants();
  const StiffnessMapChart chart = ChartStiffnessMap(m, std::nullopt, 100);
  EXPECT_EQ(chart.range, (StiffnessMapRange{1e4, 1e14, 61, 4}));  // 1e6 / 100 .. 1e12 * 100
  // Variants 1 and 4 on the map, 4 on its lines at the 49th point, 1e12.
  ASSERT_EQ(chart.marks.size(), 2u);
  EXPECT_EQ(chart.marks[1].variant, 4);
  for (size_t n = 0; n < 4; ++n) EXPECT_NEAR(chart.marks[1].F[n], chart.curves[n].F[48], 1e-11 * chart.marks[1].F[n]);
  EXPECT_EQ(StiffnessMapRangeLine(chart.range, ','), "Жесткость опор от 10000 до 1E14, точек карты: 61");
  for (int v = 1; v <= 4; ++v)
    for (int s = 1; s <= 3; ++s) m.SupportStiffness[s][v] = 0;
  const StiffnessMapChart none = ChartStiffnessMap(m, std::nullopt, 100);
  EXPECT_EQ(test::Text(none.problem), Message(Error{ErrorCode::MapNoPositiveStiffness}));
  EXPECT_FALSE(none.Drawn());
  ASSERT_EQ(none.unmapped.size(), 4u);  // each variant says why
  EXPECT_EQ(UnmappedLine(none.unmapped[3], '.'), "Вариант № 4: жесткость опор 0 - на логарифмической шкале ее нет");
  // A shaft the continuous model refuses: its reason.
  m.SupportStiffness[1][1] = 5;
  m.SectionMass[3] = -1;
  EXPECT_EQ(test::Text(ChartStiffnessMap(m, std::nullopt, 100).problem), "участок 3: масса должна быть не меньше нуля");
}

TEST(StiffnessMapChart, ThePlotMarksTheVariantsOnTheLinesAndNotesTheRest) {
  // Variants 1 (k = 1E6) and 4 (1E12) on the map; 2 and 3 not.
  const StiffnessMapChart chart = ChartStiffnessMap(FourVariants(), std::nullopt, 100);
  const double hertz = FrequencyUnitScale(FrequencyUnit::Hertz, 100);
  const ReportPlot plot = StiffnessMapPlot(chart, FrequencyUnit::Hertz, 100, ',');
  ASSERT_EQ(plot.lines.size(), 4u);
  EXPECT_EQ(plot.lines[3].name, "№ 4");
  EXPECT_EQ(plot.lines[3].y[60], chart.curves[3].F[60] * hertz);
  ASSERT_EQ(plot.marks.size(), 2u);
  EXPECT_EQ(plot.marks[1].name, "Вариант № 4 (k = 1E12)");
  EXPECT_EQ(plot.marks[1].tag, "В4");
  EXPECT_EQ(plot.marks[1].shape, PlotMarks::Square);  // a shape of its own
  EXPECT_EQ(plot.marks[1].x, std::vector<double>(4, 1e12));
  EXPECT_TRUE(plot.x.log && plot.y.log);
  EXPECT_EQ(plot.y.title, "Частота, Гц (при единицах СИ)");
  EXPECT_EQ(plot.notes, (std::vector<std::string>{
                            "Жесткость опор от 10000 до 1E14, точек карты: 61", "В1: Вариант № 1 (k = 1E6)",
                            "В4: Вариант № 4 (k = 1E12)",
                            "Вариант № 2: жесткости опор разные, одной жесткостью всех опор вариант не представить",
                            "Вариант № 3: жесткость опор 0 - на логарифмической шкале ее нет"}));
}

TEST(StiffnessMapChart, LogAxesLabelAtLeastTwoPowersOfTen) {
  auto span = [](double low, double high) {
    const LogAxisSpan s = LogAxisSpanOf(low, high);
    return std::vector<double>{s.low, s.high};
  };
  using V = std::vector<double>;
  EXPECT_EQ(span(1e6, 1e11), (V{1e6, 1e11}));
  EXPECT_EQ(span(3e6, 5e9), (V{1e6, 1e10}));  // within half a decade: out to the power
  EXPECT_EQ(span(4e6, 2e9), (V{4e6, 2e9}));   // beyond it: the bounds themselves
  EXPECT_EQ(span(7e3, 8.7e5), (V{7e3, 1e6}));
  EXPECT_EQ(span(1.5e8, 2e8), (V{1e8, 1e9}));  // one power only: whole decades
  EXPECT_EQ(span(5e8, 6e8), (V{1e8, 1e9}));
  EXPECT_EQ(span(5, 5), (V{1, 10}));
  EXPECT_EQ(span(1e4, 1e4), (V{1e4, 1e5}));
  EXPECT_EQ(span(2e-7, 3e-3), (V{1e-7, 3e-3}));
  // The frequency axis holds every curve and mark with room to spare.
  const StiffnessMapChart chart = ChartStiffnessMap(FourVariants(), StiffnessMapRange{1e2, 1e9, 8, 4}, 100);
  const LogAxisSpan f = FrequencyAxisSpan(chart);
  for (const StiffnessMapCurve& curve : chart.curves)
    for (double F : curve.F) {
      EXPECT_GT(F, f.low);
      EXPECT_LT(F, f.high);
    }
  EXPECT_EQ(StiffnessAxisSpan(chart).low, 1e2);
  EXPECT_EQ(StiffnessAxisSpan(chart).high, 1e9);
}

TEST(StiffnessMapModel, TheFieldsAreCheckedAndABadRangeKeepsTheMap) {
  StiffnessMapModel model;
  const TShaftModel m = FourVariants();
  model.SetShaft(m, 100, ',');
  EXPECT_EQ(model.lowText, "10000");
  EXPECT_EQ(model.highText, "1E14");
  EXPECT_EQ(model.pointsText, "61");
  EXPECT_TRUE(model.Chart().Drawn());
  EXPECT_FALSE(model.Pending());
  const StiffnessMapChart drawn = model.Chart();

  struct Case {
    std::string low, high, points, message;
  };
  const Case bad[] = {
      {"abc", "1E14", "61", "нижняя граница жесткости опор: 'abc' - не число"},
      {"1.5", "1E14", "61", "нижняя граница жесткости опор: '1.5' - не число"},  // the separator is ','
      {"", "1E14", "61", "нижняя граница жесткости опор: '' - не число"},
      {"1E4", "1E14x", "61", "верхняя граница жесткости опор: '1E14x' - не число"},
      {"1E4", "1E14", "6,1", "число точек карты: '6,1' - не целое число"},
      {"1E4", "1E14", "99999999999", "число точек карты: '99999999999' - не целое число"},
      {"0", "1E14", "61", "нижняя граница жесткости опор должна быть больше нуля"},
      {"1E14", "1E4", "61", "верхняя граница жесткости опор должна быть больше нижней"},
      {"1E4", "1E400", "61", "верхняя граница жесткости опор: '1E400' - не число"},
      {"1E4", "1E14", "1", "число точек карты должно быть от 2 до 1000"},
  };
  for (const Case& c : bad) {
    model.lowText = c.low;
    model.highText = c.high;
    model.pointsText = c.points;
    EXPECT_FALSE(model.Edited()) << c.message;
    EXPECT_EQ(model.Message(), c.message);
    EXPECT_FALSE(model.Pending());
    EXPECT_EQ(model.Chart().range, drawn.range);
    EXPECT_EQ(model.Chart().curves[0].F, drawn.curves[0].F);
  }
  // A good range is handed out once; blanks around the count do no harm.
  model.lowText = "1E5";
  model.highText = "2,5E9";
  model.pointsText = " 1000 ";
  const std::optional<StiffnessMapRange> asked = model.Edited();
  EXPECT_EQ(model.Message(), "");
  ASSERT_TRUE(asked);
  EXPECT_EQ(*asked, (StiffnessMapRange{1e5, 2.5e9, 1000, 4}));
  EXPECT_EQ(model.Pending(), asked);
  EXPECT_FALSE(model.Edited());  // the same again: nothing new to compute
  model.Settle();
  EXPECT_EQ(model.Chart().range, *asked);
  EXPECT_EQ(model.Chart().stiffness.size(), 1000u);
  EXPECT_FALSE(model.Pending());
  // A good range on the way to a bad one is dropped with it.
  model.pointsText = "12";
  ASSERT_TRUE(model.Edited());
  model.pointsText = "12x";
  EXPECT_FALSE(model.Edited());
  EXPECT_FALSE(model.Pending());
  EXPECT_FALSE(model.Computing());
  model.Settle();
  EXPECT_EQ(model.Chart().stiffness.size(), 1000u);
  // Typing back a range drawn before asks for nothing when it is the one drawn.
  model.pointsText = "7";
  ASSERT_TRUE(model.Edited());
  model.pointsText = "1000";
  EXPECT_FALSE(model.Edited());
  EXPECT_FALSE(model.Pending());
}

TEST(StiffnessMapModel, TheRangeSetStaysWithItsShaftAndSettleComputesIt) {
  StiffnessMapModel model;
  TShaftModel m = FourVariants();
  model.SetShaft(m, 100, '.');
  model.pointsText = "5";
  ASSERT_TRUE(model.Edited());
  model.Settle();
  EXPECT_FALSE(model.Pending());
  EXPECT_EQ(model.Chart().stiffness.size(), 5u);
  // The same shaft again (a new run of the same input): the user's range stays.
  model.SetShaft(m, 100, '.');
  EXPECT_EQ(model.pointsText, "5");
  EXPECT_EQ(model.Chart().stiffness.size(), 5u);
  // Another shaft: the default range and its map.
  m.SupportStiffness[1][1] = 2e6;
  model.SetShaft(m, 100, '.');
  EXPECT_EQ(model.pointsText, "61");
  EXPECT_EQ(model.Chart().stiffness.size(), 61u);
  EXPECT_EQ(model.Chart().unmapped.size(), 3u);  // variant 1 is unequal now
  // No variant with a positive stiffness: nothing drawn, empty fields, and a
  // range typed by hand maps all the same.
  for (int v = 1; v <= 4; ++v)
    for (int s = 1; s <= 3; ++s) m.SupportStiffness[s][v] = 0;
  model.SetShaft(m, 100, '.');
  EXPECT_EQ(test::Text(model.Chart().problem), Message(Error{ErrorCode::MapNoPositiveStiffness}));
  EXPECT_EQ(model.lowText + model.highText + model.pointsText, "");
  EXPECT_FALSE(model.Edited());
  EXPECT_EQ(model.Message(), "нижняя граница жесткости опор: '' - не число");
  model.lowText = "1";
  model.highText = "1E8";
  model.pointsText = "20";
  ASSERT_TRUE(model.Edited());
  model.Settle();
  EXPECT_TRUE(model.Chart().Drawn());
  EXPECT_EQ(model.Chart().unmapped.size(), 4u);
}

TEST(StiffnessMapExport, TheChartSheetFollowsTheFrequencyMapWithItsTableOnTheAuxiliarySheet) {
  // The steel rotor in three variants, the third with unequal bearings.
  ProgramState st;
  st.form = SteelRotorForm({1e7, 1e8, 1e8}, 3);
  st.form.StringGrid2.SetCell(3, 2, "5E8");
  RunToResults(st);
  const StiffnessMapChart map = ChartStiffnessMap(st.model, std::nullopt, st.summary.reportFactor);
  ASSERT_TRUE(map.Drawn());
  ASSERT_EQ(map.marks.size(), 2u);
  ASSERT_EQ(map.curves.size(), 3u);
  const std::string path = FreshDir("stiffness_map_export") + "/map.xlsx";
  EXPECT_FALSE(ExportResultsWorkbook(path, st.form, st.echo, st.results, '.', &st.summary, &map));

  const WorkbookInfo info = ReadWorkbookInfo(path);
  const int last = static_cast<int>(info.sheets.size()) - 1;
  ASSERT_GE(last, 3);
  EXPECT_EQ(info.sheets[last].name, "Карта критических скоростей");
  EXPECT_EQ(info.sheets[last].kind, SheetKind::Chart);
  EXPECT_EQ(info.sheets[last - 1].name, "Карта частот");
  EXPECT_EQ(info.activeTab, last - 2);
  EXPECT_EQ(info.sheets[last - 2].name, "Форма колебаний3_3");

  // The table: a row of stiffnesses, a row per ordinal, the marks, the
  // variant not on the map.
  int aux = 0;
  while (info.sheets[aux].name != "вспомогательная") ++aux;
  const Sheet s = ReadSheet(path, aux, 200, 100);
  int top = 0;
  for (int r = 1; r <= 200 && !top; ++r)
    if (s.Cell(r, 1).text == "Карта критических скоростей: частоты при одной жесткости всех опор") top = r;
  ASSERT_GT(top, 4 * 3 + 2);  // below the mode shapes and the frequency map
  EXPECT_EQ(s.Cell(top + 1, 1).text, "Жесткость опор:");
  for (int i = 0; i < 61; ++i) EXPECT_NEAR(s.Cell(top + 1, 2 + i).number, map.stiffness[i], 1e-15 * map.stiffness[i]);
  for (int n = 0; n < 3; ++n) {
    EXPECT_EQ(s.Cell(top + 2 + n, 1).text, "Частота № " + std::to_string(n + 1));
    for (int i = 0; i < 61; ++i)
      EXPECT_NEAR(s.Cell(top + 2 + n, 2 + i).number, map.curves[n].F[i], 1e-15 * map.curves[n].F[i]);
  }
  const int marks = top + 6;
  EXPECT_EQ(s.Cell(marks, 1).text, "Варианты на карте:");
  EXPECT_EQ(s.Cell(marks + 1, 1).text, "Вариант:");
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(s.Cell(marks + 1, 2 + c).number, 1 + c / 3);
    EXPECT_EQ(s.Cell(marks + 2, 2 + c).number, c < 3 ? 1e7 : 1e8);
    EXPECT_NEAR(s.Cell(marks + 3, 2 + c).number, map.marks[c / 3].F[c % 3], 1e-15 * map.marks[c / 3].F[c % 3]);
  }
  EXPECT_EQ(s.Cell(marks + 4, 1).text, "Вариант № 3: жесткости опор разные, одной жесткостью всех опор вариант не представить");

  // The chart: straight-line scatter on logarithmic axes over the table's rows.
  int charts = 0;
  for (const SheetEntry& sheet : info.sheets) charts += sheet.kind == SheetKind::Chart;
  const std::string xml = ZipPart(path, "xl/charts/chart" + std::to_string(charts) + ".xml");
  EXPECT_THAT(xml, HasSubstr("<c:scatterChart>"));
  EXPECT_THAT(xml, HasSubstr("<c:scatterStyle val=\"lineMarker\"/>"));
  EXPECT_THAT(xml, HasSubstr("<a:t>Карта критических скоростей</a:t>"));
  EXPECT_THAT(xml, HasSubstr("<a:t>Жесткость опор</a:t>"));
  EXPECT_THAT(xml, HasSubstr("<a:t>Частота</a:t>"));
  const std::regex logBase("<c:logBase val=\"10\"/>");
  EXPECT_EQ(std::distance(std::sregex_iterator(xml.begin(), xml.end(), logBase), std::sregex_iterator()), 2);
  const std::string k = "'вспомогательная'!$B$" + std::to_string(top + 1) + ":$BJ$" + std::to_string(top + 1);
  EXPECT_THAT(xml, HasSubstr("<c:xVal><c:numRef><c:f>" + k + "</c:f>"));
  EXPECT_THAT(xml, HasSubstr("<c:yVal><c:numRef><c:f>'вспомогательная'!$B$" + std::to_string(top + 2) + ":$BJ$" +
                             std::to_string(top + 2) + "</c:f>"));
  EXPECT_THAT(xml, HasSubstr("<c:v>Частота № 3</c:v>"));
  EXPECT_THAT(xml, HasSubstr("<c:v>Вариант № 2 (k = 1E8)</c:v>"));
  EXPECT_THAT(xml, HasSubstr("<c:f>'вспомогательная'!$E$" + std::to_string(marks + 3) + ":$G$" +
                             std::to_string(marks + 3) + "</c:f>"));
  // The axes span what the window shows: 1e7 / 100 .. 1e8 * 100, the upper
  // bound out to its power of ten.
  EXPECT_THAT(xml, HasSubstr("<c:logBase val=\"10\"/><c:orientation val=\"minMax\"/><c:max val=\"100000000000\"/>"
                             "<c:min val=\"100000\"/>"));
  std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

TEST(StiffnessMapExport, AMapThatCannotBeDrawnLeavesALineAndNoSheet) {
  ProgramState st;
  st.form = FreeFreeForm(20, {20}, 2);
  RunToResults(st, true);
  const StiffnessMapChart map = ChartStiffnessMap(st.model, std::nullopt, 100);
  EXPECT_EQ(test::Text(map.problem), Message(Error{ErrorCode::MapNoPositiveStiffness}));
  const std::string path = FreshDir("stiffness_map_none") + "/none.xlsx";
  EXPECT_FALSE(ExportResultsWorkbook(path, st.form, st.echo, st.results, '.', &st.summary, &map));
  const WorkbookInfo info = ReadWorkbookInfo(path);
  for (const SheetEntry& sheet : info.sheets) EXPECT_NE(sheet.name, "Карта критических скоростей");
  EXPECT_EQ(info.sheets[info.activeTab].name, "Форма колебаний1_2");
  const Sheet aux = ReadSheet(path, 2, 40, 2);
  int row = 40;  // the last line, below the frequency tables
  while (aux.Cell(row, 1).kind == CellKind::Empty) --row;
  EXPECT_EQ(aux.Cell(row, 1).text, std::string("Карта критических скоростей не построена: ") + Message(Error{ErrorCode::MapNoPositiveStiffness}));
  std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}
