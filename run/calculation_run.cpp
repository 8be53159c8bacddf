#include "calculation_run.h"

#include <algorithm>
#include <cmath>
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

 private:
  SolverOutput& first_;
  SolverOutput& second_;
};

// After a variant's sweep: how many natural frequencies its range holds, and
// where the ones it passed over lie.
void CheckVariant(const TShaftModel& model, const TSearchParams& P, VariantResult& result) {
  std::vector<double> found;
  for (const ModeData& mode : result.modes) found.push_back(mode.omega);
  // The sweep ends at the KP-th frequency, at its first trial beyond FK, or
  // where the count showed no natural frequency left up to FK.
  const double end = result.endedEarly || P[kStart] > P[kUpper] ? P[kUpper] : P[kStart];
  const SweepSettings sweep{P[kFirstStart], end, P[kStep], P[kFreqEps]};
  result.completeness = CheckCompleteness(model, model.VariantNo, sweep, found);
  result.solved = true;
}

}  // namespace

std::string DurationText(double seconds) {
  const double minutes = std::max(1.0, std::round(seconds / 60));
  if (!(minutes < 1e15)) return "Расчет займет больше " + GeneralFormat(1e15, '.') + " мин.";
  const double unit = minutes < 100 ? 1 : std::pow(10.0, std::floor(std::log10(minutes)) - 1);
  return "Расчет займет около " + GeneralFormat(std::round(minutes / unit) * unit, '.') + " мин.";
}

RunOutcome RunCalculation(ProgramState& st, RunUi& ui, char sep) {
  try {
    // Pressing the button takes the focus from a spin edit, which clamps it.
    st.form.LeaveAllSpins();
    if (std::optional<Error> error = ReadForm(st.form, st.model, st.params, sep)) throw AppError(Message(*error));
    if (std::optional<Error> error = CheckSearchLimits(st.model, st.params, sep)) throw AppError(Message(*error));
    FillEcho(st.model, st.params, st.echo, sep);
    if (!ui.ConfirmEcho(st.echo)) return RunOutcome::EchoCancelled;

    TSearchParams& P = st.params;
    P[kStepDivisor] = 3.0;
    st.model.ComputeSectionX();
    P[kReportFactor] = kReportFactorValue;
    P[kFirstStart] = P[kStart];
    const SearchEstimate estimate = EstimateSearch(st.model, P);
    if (estimate.made && !ui.AcceptEstimate(estimate.seconds)) return RunOutcome::Declined;
    // Results of an earlier run must not pass for this run's.
    st.results.Clear();
    st.summary = ResultsSummary();
    st.summary.reportFactor = P[kReportFactor];
    ResultsWriter writer(st.results, st.newForm, st.model, st.form.CheckBox1, ui.ModeDisplay(), sep);
    SummaryRecorder recorder(st.summary);
    Tee output(writer, recorder);
    SolverContext ctx{st.model, output, ui, ui.Progress(), nullptr, sep};
    if (st.model.KW > 0) {
      st.model.VariantNo = 1;
      for (int i = 0; i < st.model.KW; ++i) {
        P[kStart] = P[kFirstStart];
        const FrequencyCounter counter(st.model, st.model.VariantNo);
        ctx.counter = counter.Fault() ? nullptr : &counter;
        // The exact continuous shaft beside the lumped one, compared in [F1, FK].
        const ContinuousShaft shaft(st.model, st.model.VariantNo);
        ContinuousModeLine line(shaft, ctx.counter, P[kStep], P[kFirstStart], P[kUpper], P[kReportFactor], sep);
        writer.SetModeCompanion([&line](const ModeResult& mode, TNewFormModel& form) { line.Add(mode, form); });
        SOB(P, st.model.VariantNo, ctx);
        writer.SetModeCompanion({});
        VariantResult& result = st.summary.Variant(st.model.VariantNo);
        CheckVariant(st.model, P, result);
        CompareWithContinuous(shaft, P[kFirstStart], P[kUpper], result);
        st.model.VariantNo = st.model.VariantNo + 1;
      }
    }
  } catch (const CancelledError&) {
    ui.ShowInterrupted();
    return RunOutcome::Interrupted;
  } catch (const std::exception& e) {
    ui.ShowInputError(MessageOf(e));
    return RunOutcome::InputError;
  }
  ui.ShowResults();
  return RunOutcome::Completed;
}

}  // namespace vp
