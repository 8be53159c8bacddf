// Time from "Продолжить расчет" to the results window shown, for the largest
// run; how the program answers while a run computes and how fast it stops.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "forms.h"
#include "settings.h"
#include "input_loader.h"
#include "large_run.h"
#include "modal_answerer.h"
#include "platform.h"

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

// The longest time between two runs of a 10 ms timer on the screen's thread
// while `during` says so.
class TimerGaps {
 public:
  explicit TimerGaps(const bool& during) {
    QObject::connect(&timer_, &QTimer::timeout, [this, &during] {
      const qint64 gap = since_.restart();
      if (during) longest = std::max(longest, gap);
    });
    since_.start();
    timer_.start(10);
  }
  qint64 longest = 0;

 private:
  QTimer timer_;
  QElapsedTimer since_;
};

// The largest run through the windows, as a user starts it ("Начать расчет",
// "Продолжить расчет"): the longest pause of the screen's thread from the
// echo to the end of the calculation, and to the results window shown (its
// tables filled on the screen's thread).
void BM_LargestRunThroughTheWindows(benchmark::State& state) {
  Forms forms;
  forms.state.form = bench::LargestRunForm();
  forms.MainForm->SyncFromModel();
  forms.MainForm->show();
  bool computing = false, running = false;
  forms.MainForm->SetRunWindows([&] { return forms.InputForm->Confirm(); },
                                [&] {
                                  computing = false;
                                  forms.OutputForm->ShowResults();
                                },
                                forms.NewForm.get());
  qint64 longestComputing = 0, longest = 0;
  for (auto _ : state) {
    TimerGaps whileComputing(computing), whileRunning(running);
    test::ModalAnswerer answer([&](QWidget* w) {
      if (w == forms.InputForm.get()) {
        computing = running = true;
        forms.InputForm->ContinueButton()->click();
      } else if (w == forms.OutputForm.get()) {
        running = false;
        forms.OutputForm->RepeatButton()->click();
      }
    });
    forms.MainForm->StartButton()->click();
    longestComputing = std::max(longestComputing, whileComputing.longest);
    longest = std::max(longest, whileRunning.longest);
  }
  state.counters["longest_pause_computing_ms"] = static_cast<double>(longestComputing);
  state.counters["longest_pause_to_results_ms"] = static_cast<double>(longest);
}
BENCHMARK(BM_LargestRunThroughTheWindows)->Unit(benchmark::kMillisecond)->Iterations(3);

// "Отмена" pressed in the progress window of the largest run, searched with a
// step of 0.5 (ten times the trials), `range(0)` ms after the window shows:
// the time from the press to "Расчет прерван".
void BM_CancelThroughTheWindows(benchmark::State& state) {
  Forms forms;
  forms.state.form = bench::LargestRunForm();
  forms.state.form.Edit9 = "0.5";
  forms.MainForm->SyncFromModel();
  forms.MainForm->show();
  std::vector<double> ms;
  for (auto _ : state) {
    QElapsedTimer shown, pressed;
    bool stopped = false;
    test::ModalAnswerer answer([&](QWidget* w) {
      if (w == forms.InputForm.get()) {
        forms.InputForm->ContinueButton()->click();
      } else if (auto* progress = qobject_cast<QProgressDialog*>(w)) {
        if (!shown.isValid()) shown.start();
        if (!pressed.isValid() && shown.elapsed() >= state.range(0)) {
          pressed.start();
          progress->findChild<QPushButton*>()->click();
        }
      } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
        ms.push_back(pressed.nsecsElapsed() / 1e6);
        stopped = box->text() == "Расчет прерван";
        box->button(QMessageBox::Ok)->click();
      } else if (w == forms.OutputForm.get()) {
        forms.OutputForm->RepeatButton()->click();
      }
    });
    forms.MainForm->StartButton()->click();
    if (!stopped) state.SkipWithError("the run was not stopped");
  }
  state.counters["longest_ms"] = ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end());
}
BENCHMARK(BM_CancelThroughTheWindows)->Arg(0)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(5);

// Stops the largest run (every mode shape shown, at once) after `afterMs`
// and times how long the worker takes to end.
class StopAfter : public RunUi, public ModeShapeDisplay {
 public:
  double afterMs = 0;
  double stopMs = -1;  // negative: the run ended before the stop
  bool ConfirmEcho(const TInputFormModel&) override { return true; }
  ModeShapeDisplay* ModeDisplay() override { return this; }
  bool ShowModeShape(const TNewFormModel&) override { return true; }
  void ShowResults() override {}
  void ShowInputError(const std::string& detail) override { throw std::runtime_error(detail); }
  void ShowInterrupted() override {}
  void ShowMessage(const std::string&) override {}
  void AwaitWorker(CalculationWorker& worker) override {
    QElapsedTimer clock;
    clock.start();
    stopMs = -1;
    while (clock.nsecsElapsed() < afterMs * 1e6)
      if (worker.Serve()) return;
      else worker.WaitForNews(1);
    clock.start();
    worker.Stop();
    while (!worker.Serve()) worker.WaitForNews();
    stopMs = clock.nsecsElapsed() / 1e6;
  }
};

// The longest and the median time from a stop request to the end of the
// largest run with its mode shapes, the stop requested at 40 moments spread
// over the whole run (the sweeps, the mode shapes, the completeness checks,
// the continuous shaft).
void BM_TimeToStopTheLargestRun(benchmark::State& state) {
  ProgramState st;
  st.form = bench::LargestRunForm();
  st.form.CheckBox1 = true;
  StopAfter ui;
  QElapsedTimer whole;
  whole.start();
  ui.afterMs = 1e9;
  RunCalculation(st, ui, '.');
  const double runMs = whole.nsecsElapsed() / 1e6;
  std::vector<double> ms;
  for (auto _ : state) {
    for (int i = 1; i <= 40; ++i) {
      ui.afterMs = runMs * i / 41;
      RunCalculation(st, ui, '.');
      if (ui.stopMs >= 0) ms.push_back(ui.stopMs);
    }
  }
  std::sort(ms.begin(), ms.end());
  state.counters["run_ms"] = runMs;
  state.counters["stops"] = static_cast<double>(ms.size());
  state.counters["longest_ms"] = ms.empty() ? 0 : ms.back();
  state.counters["median_ms"] = ms.empty() ? 0 : ms[ms.size() / 2];
}
BENCHMARK(BM_TimeToStopTheLargestRun)->Unit(benchmark::kMillisecond)->Iterations(1);

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
    while (window.Model().Computing()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QApplication::processEvents();
    points = points == 1000 ? 999 : 1000;
  }
  state.counters["points"] = static_cast<double>(model.Chart().stiffness.size());
}
BENCHMARK(BM_StiffnessMapRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(4);

// The critical-speed map window of the largest shaft closed `range(0)` ms
// into a map of 1000 points: how long the close waits for its worker.
void BM_StiffnessMapWindowClosed(benchmark::State& state) {
  TMainFormModel form = bench::LargestRunForm();
  TShaftModel shaft;
  TSearchParams params{};
  if (ReadForm(form, shaft, params, '.')) state.SkipWithError("input not read");
  std::vector<double> ms;
  for (auto _ : state) {
    StiffnessMapModel model;
    model.SetShaft(shaft, 100, '.');
    TStiffnessMapForm window(model);
    window.Fill();
    window.show();
    window.PointsEdit()->setText("1000");
    emit window.PointsEdit()->textEdited(window.PointsEdit()->text());
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < state.range(0)) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    if (!window.Model().Computing()) state.SkipWithError("the map was done before the close");
    clock.start();
    window.close();
    ms.push_back(clock.nsecsElapsed() / 1e6);
  }
  state.counters["longest_ms"] = *std::max_element(ms.begin(), ms.end());
}
BENCHMARK(BM_StiffnessMapWindowClosed)->Arg(10)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  vp::platform::ChooseQtPlatform(true);
  QApplication app(argc, argv);
  vp::platform::UseCNumbers();
  SetUpApplication();
  UseFreshSettings();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
