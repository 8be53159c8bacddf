// Cost of printing the largest run's printout (200 sections, 20 variants, 20
// frequencies) into a PDF file, beside the cost of its lines alone; and of
// the calculation report of that run, the critical-speed map included.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <filesystem>
#include <string>

#include "calculation_run.h"
#include "form_fixtures.h"
#include "large_run.h"
#include "line_printer.h"
#include "pdf_file.h"
#include "platform.h"
#include "report_printing.h"
#include "results_fixtures.h"
#include "results_printout.h"

namespace {

using namespace vp;

struct Largest {
  TMainFormModel form;
  ResultsTables results;
  Largest() { test::FillResults(form, results, 200, 20, 20); }
};

void BM_PrintoutLines(benchmark::State& state) {
  Largest run;
  for (auto _ : state) {
    size_t lines = 0;
    WritePrintout(run.form, run.results, '.', [&](const std::string&) { ++lines; });
    benchmark::DoNotOptimize(lines);
  }
}
BENCHMARK(BM_PrintoutLines)->Unit(benchmark::kMillisecond);

void BM_PrintoutToPdf(benchmark::State& state) {
  Largest run;
  const QTemporaryDir dir;  // a new folder of this run's own, removed at the end
  const std::string path = dir.filePath("printout.pdf").toStdString();
  int pages = 0;
  for (auto _ : state) {
    QPdfWriter printer(QString::fromStdString(path));
    SetUpPdfWriter(printer, PrintoutPageSetup());
    const QFont font = PrintoutFont(printer);
    LinePrinter lp(printer, &font);
    WritePrintout(run.form, run.results, '.', [&](const std::string& line) { lp.WriteLine(line); });
    lp.End();
    pages = lp.Pages();
  }
  state.counters["pages"] = pages;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_PrintoutToPdf)->Unit(benchmark::kMillisecond);

// The report as the results window makes it: its content (with the default
// critical-speed map), then its pages.
void BM_ReportOfTheLargestRun(benchmark::State& state) {
  ProgramState st;
  st.form = bench::LargestRunForm();
  test::AcceptingUi ui;
  if (RunCalculation(st, ui, '.') != RunOutcome::Completed) return state.SkipWithError("the run did not complete");
  const QTemporaryDir dir;
  const std::string path = dir.filePath("report.pdf").toStdString();
  size_t modes = 0;
  for (auto _ : state) {
    const StiffnessMapChart map = ChartStiffnessMap(st.model, std::nullopt, st.summary.reportFactor);
    const CalculationReport report = BuildCalculationReport(st.model, st.params, st.summary, &map, FrequencyUnit::P,
                                                            ReportSourceOf("largest.txt", st.runTime), '.');
    PrintPdfFile(path, ReportPageSetup(), [&](QPagedPaintDevice& device) { PrintCalculationReport(device, report); });
    modes = report.modes.size();
  }
  state.counters["modes"] = static_cast<double>(modes);
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_ReportOfTheLargestRun)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  vp::platform::ChooseQtPlatform(true);
  QGuiApplication app(argc, argv);
  vp::platform::UseCNumbers();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
