// The calculation report: its nodes against the closed form, and its pages read
// back as text.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPrinter>

#include <filesystem>

#include "calculation_report.h"
#include "calculation_run.h"
#include "form_fixtures.h"
#include "input_loader.h"
#include "line_printer.h"
#include "numtext.h"
#include "output_files.h"
#include "pdf_text.h"
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
  const StiffnessMapChart map = DefaultStiffnessMapChart(st.model, st.summary.reportFactor, '.');
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
  EXPECT_NE(report.modes[0].notes[1].find("; узлы: x = 0.2241"), std::string::npos) << report.modes[0].notes[1];
}

TEST(CalculationReport, ItsPagesReadBackEveryFrequencyWarningAndInputValue) {
  // The rotor with a disc, its first bearing put at cross-section 0, where it takes no part.
  const ProgramState st = Solve("rotor_with_disc.txt", [](TMainFormModel& f) { f.StringGrid3.SetCell(0, 1, "0"); });
  const CalculationReport report = ReportOf(st);
  const std::string path = TempPath("report.pdf");
  QPrinter printer(QPrinter::HighResolution);
  SetUpReportPrinter(printer, QString::fromStdString(path));
  RunPrintJob(printer, [&](QPagedPaintDevice& device) { PrintCalculationReport(device, report); });
  const std::vector<std::string> pages = PdfPages(path);
  std::string text;
  for (const std::string& page : pages) text += WithoutBlanks(page);
  EXPECT_NE(Capture("pdffonts '" + path + "'").find("LiberationSans "), std::string::npos);
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
  for (const std::string& heading : {"Исходные данные", "Результаты", "Формы колебаний", "Карта частот по вариантам",
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
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
