#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "calculation_run.h"
#include "form_fixtures.h"
#include "frequency_map.h"
#include "results_export.h"
#include "workbook_reader.h"

using namespace vp;
using namespace vp::test;

namespace {

// A mode whose deflection along 20 sections is sin(n pi x) (n > 0) or a line.
ModeData Shape(double F, int n) {
  ModeData m;
  m.F = F;
  for (int i = 1; i <= 20; ++i) {
    const double x = i / 20.0;
    m.states.push_back({n > 0 ? std::sin(n * M_PI * x) : x - 0.5, 0, 0, 0});
  }
  return m;
}

VariantResult Variant(int v, std::vector<ModeData> modes) {
  VariantResult r;
  r.variant = v;
  r.solved = true;
  r.modes = std::move(modes);
  return r;
}

}  // namespace

TEST(FrequencyMap, MacMeasuresLikenessOfShapesWhateverTheirScale) {
  const ModeData a = Shape(1, 1), b = Shape(1, 2);
  ModeData scaled = a;
  for (State& s : scaled.states) s[0] *= -3.5;
  EXPECT_NEAR(Mac(a.states, a.states), 1, 1e-12);
  EXPECT_NEAR(Mac(a.states, scaled.states), 1, 1e-12);
  EXPECT_NEAR(Mac(a.states, b.states), 0, 1e-12);
  EXPECT_EQ(Mac(a.states, std::vector<State>(20)), 0);
}

TEST(FrequencyMap, ModesAreFollowedByShapeAndOrderChangesMarked) {
  ResultsSummary s;
  s.variants.push_back(Variant(1, {Shape(10, 1), Shape(20, 2)}));
  // The second shape's frequency falls below the first's, and a new shape appears.
  s.variants.push_back(Variant(2, {Shape(15, 2), Shape(25, 1), Shape(40, 3)}));
  s.variants.push_back(Variant(3, {Shape(16, 2), Shape(30, 1)}));
  const std::vector<MapLine> lines = BuildFrequencyMap(s);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].name, "Частота № 1");
  ASSERT_EQ(lines[0].points.size(), 3u);
  EXPECT_EQ(lines[0].points[1].F, 25);
  EXPECT_EQ(lines[0].points[1].k, 2);
  EXPECT_TRUE(lines[0].points[1].orderChanged);
  EXPECT_FALSE(lines[0].points[2].orderChanged);
  EXPECT_EQ(lines[1].points[1].F, 15);
  EXPECT_TRUE(lines[1].points[1].orderChanged);
  EXPECT_EQ(lines[2].name, "Частота № 3 (с варианта 2)");
  EXPECT_EQ(lines[2].shortName, "№ 3 (в. 2)");
  EXPECT_EQ(lines[2].points.size(), 1u);  // not found in variant 3: the line ends
}

TEST(FrequencyMap, CompletenessLinesSayWhatWasFoundAndWhatWasPassedOver) {
  ResultsSummary s;
  s.variants.push_back(Variant(1, {Shape(10, 1)}));
  s.variants[0].completeness = {true, "", 1, 3, 0.01, 1.5, {{0.2, 0.21}, {0.9, 0.91}}};
  s.variants.push_back(Variant(2, {Shape(10, 1)}));
  s.variants[1].completeness = {true, "", 1, 1, 0.01, 1.5, {}};
  s.variants.push_back(Variant(3, {}));
  s.variants[2].completeness.problem = "участок 3: длина и жесткость должны быть больше нуля, масса не меньше нуля";
  const std::vector<std::string> lines = CompletenessLines(s, 100, ',');
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0],
            "Вариант № 1: найдено 1 из 3 собственных частот диапазона от 1 до 150. Внимание: пропущены частоты в "
            "диапазонах 20 - 21, 90 - 91. Уменьшите шаг по частоте при поиске k-й частоты, чтобы найти их.");
  EXPECT_EQ(lines[1], "Вариант № 2: найдено 1 из 1 собственных частот диапазона от 1 до 150.");
  EXPECT_EQ(lines[2].rfind("Вариант № 3: найдено частот: 0; проверить", 0), 0u);
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
  struct Ui : RunUi {
    bool ConfirmEcho(const TInputFormModel&) override { return true; }
    ModeShapeDisplay* ModeDisplay() override { return nullptr; }
    void ShowResults() override {}
    void ShowInputError(const std::string& d) override { ADD_FAILURE() << d; }
    void ShowInterrupted() override {}
    void ShowMessage(const std::string& m) override { ADD_FAILURE() << m; }
  } ui;
  ASSERT_EQ(RunCalculation(st, ui, '.'), RunOutcome::Completed);
  ASSERT_EQ(summary.variants.size(), 3u);
  for (const VariantResult& v : summary.variants) {
    EXPECT_TRUE(v.completeness.checked);
    EXPECT_EQ(v.completeness.found, v.completeness.inRange) << v.variant;
  }
  // With a step of 5 every zero below FK has a step of its own: nothing is passed over.
  EXPECT_TRUE(summary.variants[0].completeness.missed.empty());

  const std::string path = std::filesystem::temp_directory_path() / ("vp_map_" + std::to_string(::getpid()) + ".xlsx");
  ExportResultsWorkbook(path, form, st.echo, st.results, '.', &summary);
  const WorkbookInfo info = ReadWorkbookInfo(path);
  ASSERT_GE(info.sheets.size(), 6u);
  EXPECT_EQ(info.sheets.back().name, "Карта частот");
  EXPECT_EQ(info.sheets.back().kind, SheetKind::Chart);
  EXPECT_EQ(info.activeTab, static_cast<int>(info.sheets.size()) - 2);  // the last mode chart
  EXPECT_EQ(info.sheets[info.activeTab].name.rfind("Форма колебаний3_", 0), 0u);
  const Sheet aux = ReadSheet(path, 4, 40, 40);
  EXPECT_EQ(aux.Cell(14, 1).text, "Карта частот: варианты по жесткости опор");
  EXPECT_EQ(aux.Cell(15, 3).number, 3);
  EXPECT_DOUBLE_EQ(aux.Cell(16, 1).number, summary.variants[0].modes[0].F);
  std::filesystem::remove(path);
}
