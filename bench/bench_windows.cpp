// Time from "Продолжить расчет" to the results window shown, for the largest run.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "forms.h"
#include "large_run.h"

namespace {

using namespace vp;

class ShowOnly : public RunUi {
 public:
  explicit ShowOnly(Forms& forms) : forms_(forms) {}
  bool ConfirmEcho(const TInputFormModel&) override { return true; }
  ModeShapeDisplay* ModeDisplay() override { return nullptr; }
  void ShowResults() override {
    forms_.OutputForm->Refresh();
    forms_.OutputForm->show();
    QApplication::processEvents();
    forms_.OutputForm->hide();
  }
  void ShowInputError(const std::string& detail) override { throw std::runtime_error(detail); }
  void ShowInterrupted() override {}
  void ShowMessage(const std::string&) override {}

 private:
  Forms& forms_;
};

void BM_RunToResultsShown(benchmark::State& state) {
  Forms forms;
  forms.state.form = bench::LargestRunForm();
  ShowOnly ui(forms);
  for (auto _ : state) {
    if (RunCalculation(forms.state, ui, '.') != RunOutcome::Completed) state.SkipWithError("run failed");
  }
}
BENCHMARK(BM_RunToResultsShown)->Unit(benchmark::kMillisecond)->Iterations(3);

// The results window shown again over the largest run's tables (a few hundred
// thousand cells), its columns fitted to the drawn width of their texts.
void BM_ResultsWindowRefresh(benchmark::State& state) {
  Forms forms;
  forms.state.form = bench::LargestRunForm();
  ShowOnly ui(forms);
  if (RunCalculation(forms.state, ui, '.') != RunOutcome::Completed) state.SkipWithError("run failed");
  forms.OutputForm->show();
  for (auto _ : state) {
    forms.OutputForm->Refresh();
    QApplication::processEvents();
  }
  state.counters["cells"] = forms.state.results.StringGrid3.ColCount() * forms.state.results.StringGrid3.RowCount();
}
BENCHMARK(BM_ResultsWindowRefresh)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  SetUpApplication();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
