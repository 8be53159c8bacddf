#pragma once
// "Начать расчет": reads the main form into the model, echoes the accepted
// data for confirmation, solves every stiffness variant on a worker thread
// and shows the results.

#include <optional>
#include <string>

#include "calculation_worker.h"
#include "echo_model.h"
#include "errors.h"
#include "form_reading.h"
#include "main_form_model.h"
#include "mode_shape_form_model.h"
#include "results_summary.h"
#include "results_tables.h"
#include "shaft_model.h"
#include "solver_io.h"

namespace vp {

// The modal steps of a run, carried out by the windows or by fakes, all on the
// thread that started the run (messages and mode shapes of the worker too).
class RunUi : public MessageSink {
 public:
  // Shows the filled echo form modally; true when the user continues.
  virtual bool ConfirmEcho(const TInputFormModel& echo) = 0;
  // The mode-shape form, used when "Рассчитывать формы колебаний" is ticked.
  virtual ModeShapeDisplay* ModeDisplay() = 0;
  // Shows the results form modally.
  virtual void ShowResults() = 0;
  // "Ошибка ввода данных" with a line saying what and where.
  virtual void ShowInputError(const std::string& detail) = 0;
  // "Расчет прерван": the user stopped the calculation.
  virtual void ShowInterrupted() = 0;
  // After the echo, before computing: the search is estimated to take about
  // `seconds` (told only when the estimate can be made). False ends the run
  // with nothing computed. The window asks above kLongRunSeconds.
  virtual bool AcceptEstimate(double /*seconds*/) { return true; }
  // After the echo, before computing: something in the input that makes the
  // results doubtful (a negative mass), in a sentence. False ends the run with
  // nothing computed. The window asks whether to go on.
  virtual bool AcceptFinding(const std::string& /*text*/) { return true; }
  // While the worker computes: returns once it has ended, serving it
  // (CalculationWorker::Serve) meanwhile; may show its progress and stop it.
  // By default only serves and waits.
  virtual void AwaitWorker(CalculationWorker& worker);
};

// Everything the program keeps for its whole life, and one run reads and writes.
struct ProgramState {
  TMainFormModel form;
  // The main form as the last computed run read it: its results are printed
  // and exported with these counts and values, whatever the form holds since.
  TMainFormModel runForm;
  // True while a run computes; nothing may change the main form meanwhile.
  bool computing = false;
  TShaftModel model;
  TSearchParams params{};
  TInputFormModel echo;
  ResultsTables results;
  TNewFormModel newForm;
  ResultsSummary summary;
  // Why the last run ended before its results: an input error or a stop.
  std::optional<Error> runError;
  // The file the input was last loaded from or saved to; empty: none. And the
  // form as it was then: the input is edited where the form differs from it.
  std::string inputFile;
  TMainFormModel fileForm;
  bool InputEdited() const { return !SameInput(form, fileForm); }
  // When the last completed run ended: "07.12.2026 19:30".
  std::string runTime;
};

enum class RunOutcome {
  Completed,      // every variant solved, results shown
  EchoCancelled,  // "Повторить ввод" or the echo's close box: nothing computed
  InputError,     // "Ошибка ввода данных" shown
  Interrupted,    // stopped by the user (CalculationWorker::Stop)
  Declined,       // the estimated time was not accepted: nothing computed
};

// A calculation estimated to take longer than this is run only when the user agrees.
inline constexpr double kLongRunSeconds = 30;

// "Расчет займет около N мин.": the estimate in whole minutes, rounded to two
// significant digits, at least 1.
std::string DurationText(double seconds);
// Its "около N мин." ("больше 1E15 мин." beyond).
std::string MinutesText(double seconds);

// The whole run, as "Начать расчет" performs it: reading, the echo and the
// estimate on this thread, then every variant on a worker (ui.AwaitWorker),
// then the results, the error or the interruption shown on this thread. Every
// failure is shown through the ui and reported in the outcome; nothing propagates.
RunOutcome RunCalculation(ProgramState& state, RunUi& ui, char decimalSeparator);

}  // namespace vp
