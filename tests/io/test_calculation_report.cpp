// The calculation report: its nodes against the closed form, and its pages read
// back as text.

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <filesystem>

#include "calculation_report.h"
#include "calculation_run.h"
#include "form_fixtures.h"
#include "input_loader.h"
#include "large_run.h"
#include "line_printer.h"
#include "pdf_file.h"
#include "numtext.h"
#include "output_files.h"
#include "pdf_text.h"
#include "platform.h"
#include "report_printing.h"

using namespace vp;
using namespace vp::test;

namespace {

ProgramState Solve(const std::string& example, const std::function<void(TMainFormModel&)>& change = {}) {
  ProgramState st;
  EXPECT_EQ(LoadInputFile(std::string(VP_EXAMPLES_DIR) + "/" + example, st.form, '.'), std::nullopt);
  if (change) change(st.form);
  RunToResults(st, true);
  return st;
}

CalculationReport ReportOf(const ProgramState& st) {
  const StiffnessMapChart map = ChartStiffnessMap(st.model, std::nullopt, st.summary.reportFactor);
  return BuildCalculationReport(st.model, st.params, st.summary, &map, FrequencyUnit::P,
                                ReportSourceOf("пример.txt", "07.12.2026 19:30"), '.');
}

TEST(CalculationReport, NodesLieWhereTheSignChanges) {
  const std::vector<double> x{0, 1, 2, 3, 4};
  struct Case {
    std::vector<double> y, nodes;
  } cases[] = {
      {{1, 0.5, -0.5, -1, -2}, {1.5}},    // between neighbours, interpolated
      {{1, 0, 0, -1, 1}, {1.5, 3.5}},     // the middle of a run of zeros; then again
      {{0, 1, 2, 0, 0}, {}},              // zeros at the ends are no change
      {{1, 0, 1, 2, 3}, {}},              // touching zero is no change
      {{0, 0, 0, 0, 0}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(NodesOf(x, c.y), c.nodes);
}

// Runs of every example and of edge cases print a report whose pages all carry their numbers.
TEST(CalculationReport, EveryExampleAndEdgeCasePrints) {
  struct Case {
    const char* example;
    std::function<void(TMainFormModel&)> change;
  } const cases[] = {
      {"free_free_coarse_step.txt", {}},
      {"rotor_two_bearings.txt", {}},
      {"rotor_two_bearings.txt", [](TMainFormModel& f) { f.Edit10 = "2"; }},  // nothing found below FK
      {"rotor_two_bearings.txt", [](TMainFormModel& f) { f.StringGrid3.SetCell(1, 1, "41"); }},  // beyond the shaft
      {"rotor_with_disc.txt", [](TMainFormModel& f) { f.SetSpinValue(Count::Variants, 1); }},  // one variant: no frequency map
  };
  for (const Case& c : cases) {
    const ProgramState st = Solve(c.example, c.change);
    const std::string path = TempPath("edge.pdf");
    PrintPdfFile(path, ReportPageSetup(), [&](QPagedPaintDevice& device) { PrintCalculationReport(device, ReportOf(st)); });
    const std::vector<std::string> pages = PdfPages(path);
    std::filesystem::remove(path);
    ASSERT_FALSE(pages.empty()) << c.example;
    EXPECT_NE(pages.back().find("Стр. " + std::to_string(pages.size()) + " из " + std::to_string(pages.size())),
              std::string::npos)
        << c.example;
    EXPECT_NE(pages.back().find("(сборка "), std::string::npos) << c.example;
  }
}

TEST(CalculationReport, TheShaftIsDrawnAsTheCalculationSeesIt) {
  // Sections 0.5, a disc (length 0), 0.5 of EI 16, and 0.5 after the last span
  // end; supports at cross-sections 0 (no part), 1, 1 and 3.
  TShaftModel m;
  m.N = 4, m.KM = 4, m.KZ = 1, m.KW = 1, m.SpanEnd[1] = 3;
  const double l[] = {0.5, 0, 0.5, 0.5}, EI[] = {1, 5, 16, 1};
  const int at[] = {0, 1, 1, 3};
  for (int i = 1; i <= 4; ++i) m.SectionLength[i] = l[i - 1], m.SectionMass[i] = 1, m.SectionEI[i] = EI[i - 1];
  for (int s = 1; s <= 4; ++s) m.SupportSection[s] = at[s - 1];
  m.ComputeSectionX();
  const ShaftDrawing d = DrawShaft(m);
  EXPECT_EQ(d.length, 1.5);
  ASSERT_EQ(d.boxes.size(), 3u);
  const ShaftDrawing::Box boxes[] = {{1, 0, 0.5, 0.5, true}, {3, 0.5, 1, 1, true}, {4, 1, 1.5, 0.5, false}};
  for (size_t b = 0; b < 3; ++b) {
    EXPECT_EQ(d.boxes[b].section, boxes[b].section);
    EXPECT_EQ(d.boxes[b].x0, boxes[b].x0);
    EXPECT_EQ(d.boxes[b].height, boxes[b].height);
    EXPECT_EQ(d.boxes[b].active, boxes[b].active);
  }
  ASSERT_EQ(d.discs.size(), 1u);
  EXPECT_EQ(d.discs[0].x, 0.5);
  ASSERT_EQ(d.springs.size(), 2u);
  EXPECT_EQ(d.springs[0].numbers, (std::vector<int>{2, 3}));
  EXPECT_EQ(d.springs[1].numbers, std::vector<int>{4});
  EXPECT_EQ(d.springs[1].x, 1);
}

TEST(CalculationReport, SupportTablesHoldEightVariantsAndLongTablesRepeatTheirCaptions) {
  TMainFormModel form = bench::LargestRunForm();
  ProgramState st;
  st.form = form;
  ASSERT_EQ(ReadForm(st.form, st.model, st.params, '.'), std::nullopt);
  st.model.ComputeSectionX();
  const CalculationReport report =
      BuildCalculationReport(st.model, st.params, ResultsSummary(), nullptr, FrequencyUnit::P, ReportSource(), '.');
  std::vector<size_t> columns;
  for (const ReportTable& t : report.inputTables) columns.push_back(t.captions.size());
  EXPECT_EQ(columns, (std::vector<size_t>{3 + 8, 3 + 8, 3 + 4, 3, 5}));  // supports, span ends, sections
  EXPECT_EQ(report.inputTables[2].title, "Опоры: сечение и жесткость по вариантам 17-20");
  EXPECT_EQ(report.inputTables[4].rows[144].back(), "0.725");  // x summed, shown without its rounding

  const std::string path = TempPath("long_tables.pdf");
  PrintPdfFile(path, ReportPageSetup(), [&](QPagedPaintDevice& device) { PrintCalculationReport(device, report); });
  const std::vector<std::string> pages = PdfPages(path);
  std::filesystem::remove(path);
  // Every page from the first section's row to the last one's under the captions.
  auto pageOf = [&](const std::string& row) {
    for (size_t p = 0; p < pages.size(); ++p)
      if (WithoutBlanks(pages[p]).find(row) != std::string::npos) return p;
    return pages.size();
  };
  const size_t first = pageOf("10.0050.00510.005"), last = pageOf("2000.0050.00511");
  ASSERT_LT(last, pages.size());
  EXPECT_GE(last, first + 2);
  for (size_t p = first; p <= last; ++p) EXPECT_NE(pages[p].find("Масса m"), std::string::npos) << p;
}

TEST(CalculationReport, FrequencyRowsMarkLargeDifferencesAndTheMapFollowsTheOrdinals) {
  // 20 sections of 0.1 m: from the third frequency on, off the continuous shaft's by more than 1 %.
  const ProgramState st = Solve("rotor_coarse_sections.txt");
  const CalculationReport report = ReportOf(st);
  ASSERT_EQ(report.variants.size(), 2u);
  for (size_t v = 0; v < 2; ++v) {
    const ReportTable& t = report.variants[v].frequencies;
    ASSERT_EQ(t.rows.size(), st.summary.variants[v].modes.size());
    std::vector<int> marked;
    for (size_t r = 0; r < t.rows.size(); ++r) {
      EXPECT_EQ(t.rows[r][1], std::to_string(st.summary.variants[v].completeness.ordinals[r]));
      if (t.rows[r].back().ends_with(" !")) marked.push_back(static_cast<int>(r));
    }
    EXPECT_EQ(t.markedRows, marked);
    EXPECT_GE(marked.size(), 2u) << v;
    EXPECT_TRUE(report.variants[v].notes.back().starts_with("Внимание: отличие больше 1 %"));
  }
  // Both maps; the frequency map names each ordinal once and draws its continuous companion.
  ASSERT_EQ(report.maps.size(), 2u);
  const FrequencyMap map = BuildFrequencyMap(st.summary);
  ASSERT_GT(report.maps[0].legend.size(), map.lines.size());
  EXPECT_EQ(report.maps[0].legend[map.lines.size() - 1].text, "№ " + std::to_string(map.lines.back().ordinal));
  EXPECT_EQ(report.maps[0].legend[map.lines.size()].text, "непрерывная модель");
  EXPECT_EQ(report.maps[1].x.title, "Жесткость опор");
  EXPECT_TRUE(report.maps[1].x.log && report.maps[1].y.log);
}

TEST(CalculationReport, TheFreeFreeBeamHasItsNodesWhereTheClosedFormPutsThem) {
  // The uniform free-free beam in 100 sections: the first mode's nodes at
  // 0.22416 L and 0.77584 L, the second's at 0.13211 L, 0.5 L and 0.86789 L
  // (beta L = 4.7300, 7.8532). The continuous shaft's mode has them; the lumped
  // one, its masses at the sections' left ends, half a section (0.005 L) lower.
  const ProgramState st = Solve("free_free_shaft.txt");
  const CalculationReport report = ReportOf(st);
  ASSERT_GE(report.modes.size(), 2u);
  ASSERT_DOUBLE_EQ(report.shaft.length, 1);
  const std::vector<std::vector<double>> closed{{0.22416, 0.77584}, {0.13211, 0.5, 0.86789}};
  for (size_t m = 0; m < closed.size(); ++m) {
    const ReportPlot& mode = report.modes[m];
    ASSERT_EQ(mode.continuousNodes.size(), closed[m].size()) << m;
    ASSERT_EQ(mode.nodes.size(), closed[m].size()) << m;
    for (size_t n = 0; n < closed[m].size(); ++n) {
      EXPECT_NEAR(mode.continuousNodes[n], closed[m][n], 5e-5) << m;
      EXPECT_NEAR(mode.nodes[n], closed[m][n] - 0.005, 2e-4) << m;
    }
  }
  EXPECT_EQ(report.modes[0].notes[0], "Узлы: x = 0.219178; 0.770822");
  EXPECT_TRUE(report.maps.empty());  // one variant, no positive support stiffness
  EXPECT_NE(report.modes[0].notes[1].find("; узлы: x = 0.2241"), std::string::npos) << report.modes[0].notes[1];
}

TEST(CalculationReport, ItsPagesReadBackEveryFrequencyWarningAndInputValue) {
  // The rotor with a disc, its first bearing put at cross-section 0, where it takes no part.
  const ProgramState st = Solve("rotor_with_disc.txt", [](TMainFormModel& f) { f.StringGrid3.SetCell(0, 1, "0"); });
  const CalculationReport report = ReportOf(st);
  const std::string path = TempPath("report.pdf");
  PrintPdfFile(path, ReportPageSetup(), [&](QPagedPaintDevice& device) { PrintCalculationReport(device, report); });
  const std::vector<std::string> pages = PdfPages(path);
  std::string text;
  for (const std::string& page : pages) text += WithoutBlanks(page);
  EXPECT_NE(Capture("pdffonts '" + path + "'").find("CID TrueType"), std::string::npos);  // embedded TrueType
  std::filesystem::remove(path);

  ASSERT_GE(pages.size(), 5u);
  for (size_t p = 0; p < pages.size(); ++p) {
    EXPECT_NE(pages[p].find("Программа расчета собственных частот и форм колебаний валопровода"), std::string::npos);
    EXPECT_NE(pages[p].find("Файл исходных данных: пример.txt"), std::string::npos);
    EXPECT_NE(pages[p].find("Стр. " + std::to_string(p + 1) + " из " + std::to_string(pages.size())), std::string::npos);
  }
  auto holds = [&](const std::string& what) { return text.find(WithoutBlanks(what)) != std::string::npos; };
  ASSERT_EQ(st.summary.warnings.size(), 1u);
  EXPECT_TRUE(holds(Message(st.summary.warnings[0])));
  for (const char* heading : {"Исходные данные", "Результаты", "Формы колебаний", "Карта частот по вариантам",
                                     "Карта критических скоростей", "Узлы: x ="})
    EXPECT_TRUE(holds(heading)) << heading;
  // Every frequency found, every section's row and every support stiffness.
  std::vector<std::string> missing;
  auto expect = [&](const std::string& what) {
    if (!holds(what)) missing.push_back(what);
  };
  for (const VariantResult& v : st.summary.variants)
    for (const ModeData& mode : v.modes) expect(GeneralFormat(mode.F, '.'));
  for (int k = 1; k <= st.model.KM; ++k)
    expect(std::to_string(k) + GeneralFormat(st.model.SectionLength[k], '.') + GeneralFormat(st.model.SectionMass[k], '.') +
           GeneralFormat(st.model.SectionEI[k], '.'));
  for (int s = 1; s <= st.model.N; ++s)
    for (int v = 1; v <= st.model.KW; ++v) expect(GeneralFormat(st.model.SupportStiffness[s][v], '.'));
  EXPECT_EQ(missing, std::vector<std::string>{});
  EXPECT_GT(report.modes.size(), 3u);
  EXPECT_TRUE(holds("F1 = " + GeneralFormat(st.params[kFirstStart], '.')));
  EXPECT_TRUE(holds("EPSF = " + GeneralFormat(st.params[kFreqEps], '.')));
}

}  // namespace

int main(int argc, char** argv) {
  vp::platform::ChooseQtPlatform(true);
  QGuiApplication app(argc, argv);
  vp::platform::UseCNumbers();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
