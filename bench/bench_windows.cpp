// Time from "Продолжить расчет" to the results window shown, for the largest run.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <QLineEdit>

#include "forms.h"
#include "input_loader.h"
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

// The critical-speed map window redrawn for 1000 points, from the number typed
// to the map drawn: the stepped rotor of the examples (0) and the largest run (1).
void BM_StiffnessMapRedraw(benchmark::State& state) {
  TMainFormModel form = bench::LargestRunForm();
  TShaftModel shaft;
  TSearchParams params{};
  if ((state.range(0) == 0 && LoadInputFile(VP_EXAMPLES_DIR "/rotor_two_bearings.txt", form, '.')) ||
      ReadForm(form, shaft, params, '.'))
    state.SkipWithError("input not read");
  StiffnessMapModel model;
  model.SetShaft(shaft, 100, '.');
  TStiffnessMapForm window(model);
  window.Fill();
  window.show();
  int points = 1000;
  for (auto _ : state) {
    window.PointsEdit()->setText(QString::number(points));
    emit window.PointsEdit()->textEdited(window.PointsEdit()->text());
    while (window.Computing()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QApplication::processEvents();
    points = points == 1000 ? 999 : 1000;
  }
  state.counters["points"] = static_cast<double>(model.Chart().stiffness.size());
}
BENCHMARK(BM_StiffnessMapRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  SetUpApplication();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
