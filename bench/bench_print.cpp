// Cost of printing the largest run's printout (200 sections, 20 variants, 20
// frequencies) into a PDF file, beside the cost of its lines alone.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include <filesystem>
#include <string>

#include "line_printer.h"
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
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, QString::fromStdString(path));
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

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
