// Cost of the results workbook export for the largest run: 200 sections,
// 10 supports, 20 spans, 20 variants, 20 frequencies (400 chart sheets).

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <filesystem>

#include "export_run.h"
#include "results_export.h"

namespace {

using namespace vp;

void BM_ExportLargestRun(benchmark::State& state) {
  test::ExportRun run(10, 200, 20, 20, 20);
  run.FindAll();
  const QTemporaryDir dir;  // a new folder of this run's own, removed at the end
  const std::string path = dir.filePath("Результаты расчета.xlsx").toStdString();
  for (auto _ : state)
    if (ExportResultsWorkbook(path, run.main, run.input, run.tables, '.')) state.SkipWithError("not exported");
  state.counters["MB"] = std::filesystem::file_size(path) / 1e6;
}
BENCHMARK(BM_ExportLargestRun)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
