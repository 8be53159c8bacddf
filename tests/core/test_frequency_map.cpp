#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

#include "calculation_run.h"
#include "completeness_lines.h"
#include "error_text.h"
#include "form_fixtures.h"
#include "frequency_count.h"
#include "frequency_map.h"
#include "map_axes.h"
#include "ordinal_palette.h"
#include "output_files.h"
#include "report_plot.h"
#include "results_export.h"
#include "workbook_reader.h"

using namespace vp;
using namespace vp::test;

namespace {

// A mode whose deflection at cross-sections 0..20 is sin(n pi x) (n > 0) or a line,
// and whose slope is the derivative.
ModeData Shape(double F, int n) {
  ModeData m;
  m.F = F;
  for (int i = 0; i <= 20; ++i) {
    const double x = i / 20.0;
    m.states.push_back({n > 0 ? std::sin(n * M_PI * x) : x - 0.5, n > 0 ? n * M_PI * std::cos(n * M_PI * x) : 1, 0, 0});
  }
  return m;
}

// A solved variant whose modes have the given ordinals (0: doubtful).
VariantResult Variant(int v, std::vector<ModeData> modes, std::vector<int> ordinals = {}) {
  VariantResult r;
  r.variant = v;
  r.solved = true;
  r.modes = std::move(modes);
  r.completeness.checked = true;
  r.completeness.found = static_cast<int>(r.modes.size());
  if (ordinals.empty())
    for (size_t i = 0; i < r.modes.size(); ++i) ordinals.push_back(static_cast<int>(i) + 1);
  r.completeness.ordinals = std::move(ordinals);
  return r;
}

// Runs the steel rotor with its bearings at the given stiffnesses.
void RunRotor(ProgramState& st, const std::vector<double>& stiffness, const std::string& step = "5") {
  st.form = SteelRotorForm(stiffness, 6);
  st.form.Edit9 = step;
  RunToResults(st);
}

// Stiffnesses from `low` to `high` in `count` geometric steps.
std::vector<double> Steps(double low, double high, int count) {
  std::vector<double> k;
  for (int i = 0; i < count; ++i) k.push_back(low * std::pow(high / low, count > 1 ? double(i) / (count - 1) : 0));
  return k;
}

// The natural frequencies of the rotor's variant v, from the count.
double NaturalFrequency(const TShaftModel& m, int v, int ordinal) {
  const FrequencyCounter counter(m, v);
  double a = 0, b = 1e5;
  for (int i = 0; i < 200; ++i) (counter.CountBelow(0.5 * (a + b)) >= ordinal ? b : a) = 0.5 * (a + b);
  return 100 * 0.5 * (a + b);
}

}  // namespace

TEST(FrequencyMap, MacMeasuresLikenessOfWholeShapesWhateverTheirScaleAndUnits) {
  const ModeData a = Shape(1, 1), b = Shape(1, 2);
  ModeData scaled = a;
  for (State& s : scaled.states)
    for (double& q : s) q *= -3.5;
  EXPECT_NEAR(Mac(a.states, a.states), 1, 1e-12);
  EXPECT_NEAR(Mac(a.states, scaled.states), 1, 1e-12);
  EXPECT_NEAR(Mac(a.states, b.states), 0, 0.01);
  EXPECT_EQ(Mac(a.states, std::vector<State>(20)), 0);
  // The slope takes part: equal deflections, different slopes are not alike.
  ModeData bent = a;
  for (size_t i = 0; i < bent.states.size(); ++i) bent.states[i][1] = b.states[i][1];
  EXPECT_LT(Mac(a.states, bent.states), 0.5);
  // Units do not decide: slopes in milliradians give the same likeness.
  ModeData c = Shape(1, 1), d = bent;
  for (State& s : c.states) s[1] *= 1000;
  for (State& s : d.states) s[1] *= 1000;
  EXPECT_NEAR(Mac(c.states, d.states), Mac(a.states, bent.states), 1e-12);
}

TEST(FrequencyMap, OneLinePerOrdinalWithGapsWhereAVariantLacksIt) {
  ResultsSummary s;
  s.variants.push_back(Variant(1, {Shape(10, 1), Shape(20, 2)}));
  // Variant 2 passed over its first frequency and accepted one that is none.
  s.variants.push_back(Variant(2, {Shape(25, 2), Shape(27, 0), Shape(40, 3)}, {2, 0, 3}));
  s.variants.push_back(Variant(3, {Shape(16, 1), Shape(30, 2)}));
  const FrequencyMap map = BuildFrequencyMap(s);
  EXPECT_TRUE(map.Drawn());
  EXPECT_EQ(map.variants, (std::vector<int>{1, 2, 3}));
  ASSERT_EQ(map.lines.size(), 3u);
  EXPECT_EQ(map.lines[0].ordinal, 1);
  EXPECT_EQ(map.lines[0].frequencies, (std::vector<std::optional<double>>{10, std::nullopt, 16}));
  EXPECT_EQ(map.lines[0].mac, (std::vector<std::optional<double>>{std::nullopt, std::nullopt}));
  EXPECT_EQ(map.lines[1].frequencies, (std::vector<std::optional<double>>{20, 25, 30}));
  ASSERT_TRUE(map.lines[1].mac[0] && map.lines[1].mac[1]);
  EXPECT_NEAR(*map.lines[1].mac[0], 1, 1e-12);
  EXPECT_EQ(map.lines[2].ordinal, 3);
  EXPECT_EQ(map.lines[2].frequencies, (std::vector<std::optional<double>>{std::nullopt, 40, std::nullopt}));
  // One variant, or a check that could not count: nothing to draw.
  ResultsSummary one;
  one.variants.push_back(Variant(1, {Shape(10, 1)}));
  EXPECT_FALSE(BuildFrequencyMap(one).Drawn());
  one.variants.push_back(Variant(2, {Shape(10, 1)}, {0}));
  one.variants.back().completeness.checked = false;
  EXPECT_TRUE(BuildFrequencyMap(one).lines[0].frequencies[1] == std::nullopt);
}

TEST(FrequencyMap, BearingsStiffeningInStepsGiveRisingLinesOfConsecutiveOrdinals) {
  ProgramState st;
  RunRotor(st, Steps(1e7, 1e8, 10));
  const FrequencyMap map = BuildFrequencyMap(st.summary);
  ASSERT_TRUE(map.Drawn());
  ASSERT_EQ(map.lines.size(), 4u);  // 4 natural frequencies below FK = 3000 in every variant
  for (size_t n = 0; n < map.lines.size(); ++n) {
    const MapLine& line = map.lines[n];
    EXPECT_EQ(line.ordinal, static_cast<int>(n) + 1);
    for (size_t c = 0; c < line.frequencies.size(); ++c) {
      ASSERT_TRUE(line.frequencies[c]) << n << " " << c;
      EXPECT_NEAR(*line.frequencies[c], NaturalFrequency(st.model, map.variants[c], line.ordinal), 1e-3);
      if (c > 0) {
        EXPECT_GT(*line.frequencies[c], *line.frequencies[c - 1]);
      }
    }
    for (const auto& mac : line.mac) EXPECT_GT(mac.value_or(0), kLowMac) << n;  // small steps, no veering
  }
}

TEST(FrequencyMap, AFrequencyPassedOverLeavesAGapTheOthersKeepTheirOrdinalsAndVeeringIsMarked) {
  // With a step of 280 the sweep of variant 1 passes over its first two
  // frequencies (333.6 and 547.4 share a step); the others find all four.
  ProgramState st;
  RunRotor(st, Steps(1e7, 1e9, 6), "280");
  ASSERT_EQ(st.summary.variants[0].completeness.missed.size(), 2u);
  const FrequencyMap map = BuildFrequencyMap(st.summary);
  ASSERT_GE(map.lines.size(), 4u);
  EXPECT_FALSE(map.lines[0].frequencies[0]);
  EXPECT_FALSE(map.lines[1].frequencies[0]);
  for (int n = 0; n < 4; ++n) {
    const MapLine& line = map.lines[n];
    EXPECT_EQ(line.ordinal, n + 1);
    for (size_t c = 0; c < line.frequencies.size(); ++c)
      if (line.frequencies[c]) {
        EXPECT_NEAR(*line.frequencies[c], NaturalFrequency(st.model, map.variants[c], line.ordinal), 1e-3) << n << " " << c;
      }
  }
  // Variant 1's first frequency found is its third natural frequency.
  EXPECT_EQ(map.lines[2].frequencies[0], st.summary.variants[0].modes[0].F);
  EXPECT_FALSE(map.lines[0].mac[0]);
  // The second and third branches veer between variants 3 and 4 (1293 -> 1741
  // and 1544 -> 2054): their shapes change strongly; the first keeps its shape.
  EXPECT_LT(map.lines[1].mac[2].value(), kLowMac);
  EXPECT_LT(map.lines[2].mac[2].value(), kLowMac);
  EXPECT_GT(map.lines[0].mac[2].value(), 0.95);
}

TEST(FrequencyMap, CompletenessLinesSayWhatWasFoundAndWhatWasPassedOver) {
  ResultsSummary s;
  s.variants.push_back(Variant(1, {Shape(10, 1)}, {3}));
  s.variants[0].completeness.inRange = 3;
  s.variants[0].completeness.start = 0.01;
  s.variants[0].completeness.end = 1.5;
  s.variants[0].completeness.missed = {{0.2, 0.21}, {0.9, 0.91}};
  s.variants.push_back(Variant(2, {Shape(10, 1)}));
  s.variants[1].completeness.inRange = 1;
  s.variants[1].completeness.start = 0.01;
  s.variants[1].completeness.end = 1.5;
  s.variants.push_back(Variant(3, {}));
  s.variants[2].completeness.checked = false;
  s.variants[2].completeness.problem = Error{ErrorCode::MasslessPartsFree};
  const std::vector<std::string> lines = CompletenessLines(s, 100, ',');
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Вариант № 1: найдено 1 из 3 собственных частот диапазона от 1 до 150.");
  EXPECT_EQ(lines[1],
            "Внимание: пропущены частоты в диапазонах 20 - 21; 90 - 91. Уменьшите шаг по частоте при поиске k-й "
            "частоты, чтобы найти их.");
  EXPECT_EQ(lines[2], "Вариант № 2: найдено 1 из 1 собственных частот диапазона от 1 до 150.");
  EXPECT_EQ(lines[3], "Вариант № 3: найдено частот: 0; проверить, все ли частоты диапазона найдены, нельзя "
                      "(безмассовые части вала не закреплены).");
}

TEST(FrequencyMap, TheWindowsFrequenciesStandBesideTheirTrueOrdinals) {
  ResultsSummary s;
  s.variants.push_back(Variant(1, {Shape(10, 1), Shape(20, 1), Shape(30, 1)}, {3, 0, 4}));
  s.variants.push_back(Variant(2, {Shape(10, 1)}, {1}));
  s.variants.push_back(Variant(3, {Shape(10, 1)}));
  s.variants[2].completeness.checked = false;
  StringTable frequencies(4, 4);
  for (int v = 1; v <= 3; ++v)
    for (int k = 1; k <= 3; ++k) frequencies.SetCell(k, v, std::to_string(10 * k));
  const StringTable shown = FrequenciesWithOrdinals(frequencies, s, '.');
  EXPECT_EQ(shown.Cell(1, 1), "10 (собственная № 3)");  // found after two passed over
  EXPECT_EQ(shown.Cell(2, 1), "20 (не собственная)");
  EXPECT_EQ(shown.Cell(3, 1), "30 (собственная № 4)");
  EXPECT_EQ(shown.Cell(1, 2), "10");  // its own number
  EXPECT_EQ(shown.Cell(1, 3), "10");  // not counted
}

TEST(FrequencyMap, CompletenessLinesNameTheFrequenciesThatAreNoneAndWhy) {
  ResultsSummary s;
  s.variants.push_back(Variant(1, {Shape(1000.25, 1), Shape(2000.5, 2), Shape(2500.75, 2)}, {1, 0, 0}));
  s.variants[0].completeness.inRange = 1;
  s.variants[0].completeness.end = 30;
  const std::vector<std::string> noise = CompletenessLines(s.variants[0], 100, ',');
  ASSERT_EQ(noise.size(), 2u);
  EXPECT_EQ(noise[0], "Вариант № 1: найдено 1 из 1 собственных частот диапазона от 0 до 3000.");
  EXPECT_EQ(noise[1], "Внимание: частоты N 2, N 3 (P = 2000,5; 2500,75) не являются собственными частотами: "
                      "вблизи них собственных частот нет. Определитель там на уровне ошибок округления: частота "
                      "принята по его малости или по смене знака, вызванной округлением.");
  // A step below the precision: the advice is a larger step, never a smaller one.
  VariantResult& v = s.variants[0];
  v.completeness.stepBelowPrecision = true;
  v.completeness.ordinals = {0, 0, 0};
  v.completeness.inRange = 2;
  v.completeness.missed = {{5, 6}, {12, 13}};
  const std::vector<std::string> lines = CompletenessLines(v, 100, '.');
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Вариант № 1: найдено 0 из 2 собственных частот диапазона от 0 до 3000.");
  EXPECT_EQ(lines[1], "Внимание: пропущены частоты в диапазонах 500 - 600; 1200 - 1300. Шаг по частоте при поиске "
                      "k-й частоты меньше точности вычисления k-й собственной частоты: задайте шаг больше точности, "
                      "чтобы найти их.");
  EXPECT_EQ(lines[2].rfind("Внимание: частоты N 1, N 2, N 3 (P = 1000.25; 2000.5; 2500.75) не являются", 0), 0u);
  EXPECT_NE(lines[2].find("меньше точности вычисления k-й собственной частоты"), std::string::npos);
  for (const std::string& line : lines) EXPECT_EQ(line.find("Уменьшите шаг"), std::string::npos);
  // A variant not solved says nothing.
  v.solved = false;
  EXPECT_TRUE(CompletenessLines(v, 100, '.').empty());
}

TEST(FrequencyMap, CompletenessLinesCountTheRejectedValuesAndGiveTheFirstTenWithTheirReasons) {
  ResultsSummary s;
  s.variants.push_back(Variant(1, {Shape(10, 1)}, {1}));
  VariantResult& v = s.variants[0];
  using enum RejectedValue::Cause;
  v.rejected = {{SignChange, 1, 1.5, 0.5, 2, false}, {RefinedSignChange, 3, 3, 2, 4, true},
                {SmallDeterminant, 5, 5, 4, 6, false}, {ZeroDeterminant, 7, 7, 6, 8, false}};
  v.rejected.resize(12, v.rejected[0]);
  v.rejectedTotal = 15;
  const std::vector<std::string> lines = CompletenessLines(v, 100, ',');
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[1].rfind("Отклонено значений: 15 (ошибки округления определителя", 0), 0u);
  EXPECT_EQ(lines[2], "  P = 150: смена знака определителя на шаге от 100 до 150, а собственных частот от 50 до 200 нет.");
  EXPECT_EQ(lines[3], "  P = 300: уточненная смена знака определителя, а собственных частот от 200 до 400, кроме уже "
                      "найденных, нет.");
  EXPECT_EQ(lines[4], "  P = 500: определитель по модулю меньше точности его вычисления, а собственных частот от 400 до "
                      "600 нет.");
  EXPECT_EQ(lines[5], "  P = 700: определитель равен нулю, а собственных частот от 600 до 800 нет.");
  EXPECT_EQ(lines[12], "  и еще 5.");
}

TEST(FrequencyMap, ARunChecksEveryVariantAndTheExportChartsTheMap) {
  // Three variants of a spring at the left end growing stiffer.
  ProgramState st;
  TMainFormModel& form = st.form;
  form = FreeFreeForm(20, {20}, 3, 3);
  form.Edit9 = "5";
  form.Edit10 = "150";
  const char* springs[] = {"0", "50", "5000"};
  for (int v = 1; v <= 3; ++v) form.StringGrid2.SetCell(v, 1, springs[v - 1]);
  const ResultsSummary& summary = st.summary;
  RunToResults(st);
  ASSERT_EQ(summary.variants.size(), 3u);
  for (const VariantResult& v : summary.variants) {
    EXPECT_TRUE(v.completeness.checked);
    EXPECT_EQ(v.completeness.found, v.completeness.inRange) << v.variant;
  }
  // With a step of 5 every zero below FK has a step of its own: nothing is passed over.
  EXPECT_TRUE(summary.variants[0].completeness.missed.empty());
  // The free shaft's two rigid-body motions do not count; with one spring one of them does not.
  EXPECT_EQ(summary.variants[0].completeness.ordinals, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(summary.variants[1].completeness.ordinals.front(), 1);

  const std::string path = vp::test::TempPath("map.xlsx");
  EXPECT_FALSE(ExportResultsWorkbook(path, form, st.echo, st.results, '.', &summary));
  const WorkbookInfo info = ReadWorkbookInfo(path);
  ASSERT_GE(info.sheets.size(), 6u);
  EXPECT_EQ(info.sheets.back().name, "Карта частот");
  EXPECT_EQ(info.sheets.back().kind, SheetKind::Chart);
  EXPECT_EQ(info.activeTab, static_cast<int>(info.sheets.size()) - 2);  // the last mode chart
  EXPECT_EQ(info.sheets[info.activeTab].name.rfind("Форма колебаний3_", 0), 0u);
  const Sheet aux = ReadSheet(path, 4, 40, 40);
  const FrequencyMap map = BuildFrequencyMap(summary);
  EXPECT_EQ(aux.Cell(14, 1).text, "Частоты по истинным номерам: варианты по жесткости опор");
  EXPECT_EQ(aux.Cell(15, 1).text, "Вариант:");
  EXPECT_EQ(aux.Cell(15, 4).number, 3);
  EXPECT_EQ(aux.Cell(16, 1).text, "Частота № 1");
  EXPECT_DOUBLE_EQ(aux.Cell(16, 2).number, summary.variants[0].modes[0].F);
  std::filesystem::remove(path);
}

TEST(MapAxes, TicksAtRoundStepsWithOneLabelEachInOneFormat) {
  struct Case {
    double low, high;
    int maxIntervals;
    double minStep;
    AxisTicks ticks;
    const char* format;
  };
  const Case cases[] = {
      {0, 390514, 8, 0, {0, 400000, 50000}, "%.6g"},  // the map of rotor_two_bearings.txt
      {0, 620, 8, 0, {0, 700, 100}, "%.3g"},          // the same in Hz
      {0, 2.4, 5, 0, {0, 2.5, 0.5}, "%.2g"},
      {1, 20, 10, 1, {0, 20, 2}, "%.2g"},  // 20 variants
      {1, 2, 10, 1, {1, 2, 1}, "%.1g"},    // 2 variants: no step below one
  };
  for (const Case& c : cases) {
    const AxisTicks t = RoundTicks(c.low, c.high, c.maxIntervals, c.minStep);
    EXPECT_DOUBLE_EQ(t.low, c.ticks.low) << c.high;
    EXPECT_DOUBLE_EQ(t.high, c.ticks.high) << c.high;
    EXPECT_DOUBLE_EQ(t.step, c.ticks.step) << c.high;
    const std::string format = AxisLabelFormat(t.high, t.step);
    EXPECT_EQ(format, c.format);
    std::set<std::string> labels;  // every label its own, in plain decimals
    for (double x = t.low; x <= t.high + t.step / 2; x += t.step) {
      char label[64];
      std::snprintf(label, sizeof label, format.c_str(), x);
      EXPECT_TRUE(labels.insert(label).second && !std::strchr(label, 'e')) << label;
    }
  }
  // A logarithmic axis from 0.1 to 1E6: no "1e+06" beside "100000".
  char low[64], high[64];
  std::snprintf(low, sizeof low, AxisLabelFormat(1e6, 0.1).c_str(), 0.1);
  std::snprintf(high, sizeof high, AxisLabelFormat(1e6, 0.1).c_str(), 1e6);
  EXPECT_EQ(std::string(low) + " " + high, "0.1 1000000");
}

TEST(MapLegend, EveryOrdinalItsOwnColourAndEveryEntryInARowThatHoldsIt) {
  std::set<unsigned> colours = {0x000000, 0xFFFFFF};  // the marks' black and the background
  for (size_t n = 0; n < 200; ++n) EXPECT_TRUE(colours.insert(OrdinalColourValue(n)).second) << n;
  struct Case {
    std::vector<double> widths;
    double available;
    std::vector<std::vector<size_t>> rows;
  } const cases[] = {
      {{30, 30, 30}, 100, {{0, 1, 2}}},
      {{30, 30, 30}, 60, {{0, 1}, {2}}},       // a row full to its last pixel
      {{30, 120, 30}, 100, {{0}, {1}, {2}}},  // one wider than a row stands alone
      {{}, 100, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(LegendRows(c.widths, c.available), c.rows) << c.available;
}
