#include "calculation_run.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "continuous_lines.h"
#include "errors.h"
#include "form_reading.h"
#include "frequency_count.h"
#include "messages.h"
#include "numtext.h"
#include "ordinals.h"
#include "search_estimate.h"
#include "sob.h"
#include "stop_flag.h"

namespace vp {

namespace {

// Passes every result to the results tables and to the summary.
class Tee : public SolverOutput {
 public:
  Tee(SolverOutput& first, SolverOutput& second) : first_(first), second_(second) {}
  void FrequencyEntry(int variant, int k, double F) override {
    first_.FrequencyEntry(variant, k, F);
    second_.FrequencyEntry(variant, k, F);
  }
  void SectionResults(const ModeResult& mode) override {
    first_.SectionResults(mode);
    second_.SectionResults(mode);
  }
  void WalkEndedEarly(int variant, double omega) override {
    first_.WalkEndedEarly(variant, omega);
    second_.WalkEndedEarly(variant, omega);
  }
  void Rejected(int variant, const RejectedValue& value) override {
    first_.Rejected(variant, value);
    second_.Rejected(variant, value);
  }

 private:
  SolverOutput& first_;
  SolverOutput& second_;
};

// The mode shapes the worker shows, carried out on the thread that started the run.
class HandedOver : public ModeShapeDisplay {
 public:
  HandedOver(CalculationWorker& worker, ModeShapeDisplay* display) : worker_(worker), display_(display) {}
  bool ShowModeShape(const TNewFormModel& form) override {
    bool more = true;
    worker_.HandOver([&] { more = display_->ShowModeShape(form); });
    return more;
  }

 private:
  CalculationWorker& worker_;
  ModeShapeDisplay* display_;
};

// After a variant's sweep: how many natural frequencies its range holds, and
// where the ones it passed over lie.
void CheckVariant(const TShaftModel& model, const TSearchParams& P, VariantResult& result, const StopFlag& stop) {
  std::vector<double> found;
  for (const ModeData& mode : result.modes) found.push_back(mode.omega);
  // The sweep ends at the KP-th frequency, at its first trial beyond FK, or
  // where the count showed no natural frequency left up to FK.
  const double end = result.endedEarly || P[kStart] > P[kUpper] ? P[kUpper] : P[kStart];
  const SweepSettings sweep{P[kFirstStart], end, P[kStep], P[kFreqEps], P[kUpper]};
  result.completeness = CheckCompleteness(model, model.VariantNo, sweep, found, &stop);
  result.solved = true;
}

// Reads and checks the form, shows the echo with what takes no part, asks
// about a negative mass and a long estimate; true when the run goes on to
// compute, otherwise `outcome` says why not.
bool Prepare(ProgramState& st, RunUi& ui, char sep, RunOutcome& outcome, double& expectedTrials) {
  // Pressing the button takes the focus from a spin edit, which clamps it.
  st.form.LeaveAllSpins();
  if (std::optional<Error> error = ReadForm(st.form, st.model, st.params, sep)) Raise(*error);
  if (std::optional<Error> error = CheckSearchLimits(st.model, st.params, sep)) Raise(*error);
  if (std::optional<Error> error = CheckSections(st.model, sep)) Raise(*error);
  FillEcho(st.model, st.params, st.echo, sep);
  const std::vector<Error> warnings = InactiveSupportFindings(st.model);
  st.echo.Notes.clear();
  for (const Error& warning : warnings) st.echo.Notes.push_back(Message(warning));
  outcome = RunOutcome::EchoCancelled;
  if (!ui.ConfirmEcho(st.echo)) return false;
  outcome = RunOutcome::Declined;
  if (const std::optional<Error> mass = NegativeMassFinding(st.model, sep); mass && !ui.AcceptFinding(Message(*mass)))
    return false;

  TSearchParams& P = st.params;
  P[kStepDivisor] = 3.0;
  st.model.ComputeSectionX();
  P[kReportFactor] = kReportFactorValue;
  P[kFirstStart] = P[kStart];
  const SearchEstimate estimate = EstimateSearch(st.model, P);
  if (estimate.made && !ui.AcceptEstimate(estimate.seconds)) return false;
  expectedTrials = estimate.made ? estimate.trials : 0;
  // Results of an earlier run must not pass for this run's.
  st.runForm = st.form;
  st.results.Clear();
  st.summary = ResultsSummary();
  st.summary.reportFactor = P[kReportFactor];
  st.summary.inputFile = st.inputFile;
  st.summary.inputEdited = st.InputEdited();
  st.summary.warnings = warnings;
  outcome = RunOutcome::Completed;
  return true;
}

// Every variant's sweep, its check and the continuous shaft beside it: the
// worker's part of the run.
void SolveVariants(ProgramState& st, bool showModes, ModeShapeDisplay* display, char sep,
                   CalculationWorker& worker) {
  TSearchParams& P = st.params;
  const StopFlag& stop = worker.StopRequest();
  HandedOver shown(worker, display);
  ResultsWriter writer(st.results, st.newForm, st.model, showModes, display ? &shown : nullptr, sep);
  SummaryRecorder recorder(st.summary);
  Tee output(writer, recorder);
  SolverContext ctx{st.model, output, &worker.Progress(), nullptr, sep, &stop};
  if (st.model.KW <= 0) return;
  st.model.VariantNo = 1;
  for (int i = 0; i < st.model.KW; ++i) {
    P[kStart] = P[kFirstStart];
    const FrequencyCounter counter(st.model, st.model.VariantNo);
    ctx.counter = counter.Fault() ? nullptr : &counter;
    // The exact continuous shaft beside the lumped one, compared in [F1, FK].
    const ContinuousShaft shaft(st.model, st.model.VariantNo);
    ContinuousModeLine line(shaft, P[kFirstStart], P[kUpper], P[kReportFactor], sep);
    writer.SetModeCompanion([&line](const ModeResult& mode, TNewFormModel& form) { line.Add(mode, form); });
    if (const std::optional<Error> error = SOB(P, st.model.VariantNo, ctx)) Raise(*error);
    writer.SetModeCompanion({});
    VariantResult& result = st.summary.Variant(st.model.VariantNo);
    CheckVariant(st.model, P, result, stop);
    ThrowIfStopped(&stop);
    CompareWithContinuous(shaft, P[kFirstStart], P[kUpper], result);
    st.model.VariantNo = st.model.VariantNo + 1;
  }
}

}  // namespace

std::string MinutesText(double seconds) {
  const double minutes = std::max(1.0, std::round(seconds / 60));
  if (!(minutes < 1e15)) return "больше " + GeneralFormat(1e15, '.') + " мин.";
  const double unit = minutes < 100 ? 1 : std::pow(10.0, std::floor(std::log10(minutes)) - 1);
  return "около " + GeneralFormat(std::round(minutes / unit) * unit, '.') + " мин.";
}

std::string DurationText(double seconds) { return "Расчет займет " + MinutesText(seconds); }

void RunUi::AwaitWorker(CalculationWorker& worker) {
  while (!worker.Serve()) worker.WaitForNews();
}

RunOutcome RunCalculation(ProgramState& st, RunUi& ui, char sep) {
  RunOutcome outcome = RunOutcome::Completed;
  st.runError.reset();
  // A failure of a step in the outcome and the run's error.
  const auto guarded = [&](const std::function<void()>& step) {
    try {
      step();
    } catch (const Failure& e) {
      st.runError = e.error();
      outcome = e.error().code == ErrorCode::Interrupted ? RunOutcome::Interrupted : RunOutcome::InputError;
    } catch (const std::exception& e) {
      st.runError = Error{ErrorCode::Unexpected, 0, 0, "", e.what()};
      outcome = RunOutcome::InputError;
    }
  };
  bool compute = false;
  double expectedTrials = 0;
  guarded([&] { compute = Prepare(st, ui, sep, outcome, expectedTrials); });
  if (compute) {
    const bool showModes = st.form.CheckBox1;
    ModeShapeDisplay* display = ui.ModeDisplay();
    st.computing = true;
    CalculationWorker worker([&](CalculationWorker& self) {
      guarded([&] { SolveVariants(st, showModes, display, sep, self); });
    }, expectedTrials);
    ui.AwaitWorker(worker);
  }  // the worker has ended here
  st.computing = false;
  switch (outcome) {
    case RunOutcome::Completed:
      st.runTime = QDateTime::currentDateTime().toString("dd.MM.yyyy HH:mm").toStdString();
      ui.ShowResults();
      break;
    case RunOutcome::InputError: ui.ShowInputError(Message(*st.runError)); break;
    case RunOutcome::Interrupted:
      ui.ShowInterrupted();
      // What was computed before the stop is shown, marked as such.
      if (!st.summary.variants.empty()) {
        int finished = 0;
        for (const VariantResult& v : st.summary.variants) finished += v.solved && v.continuous.made;
        const bool partly = finished < static_cast<int>(st.summary.variants.size());
        st.summary.warnings.push_back(
            Error{ErrorCode::RunStoppedPartly, finished, double(st.model.KW), "", "", partly ? "1" : ""});
        st.runTime = QDateTime::currentDateTime().toString("dd.MM.yyyy HH:mm").toStdString();
        ui.ShowResults();
      }
      break;
    case RunOutcome::EchoCancelled:
    case RunOutcome::Declined: break;
  }
  return outcome;
}

}  // namespace vp
