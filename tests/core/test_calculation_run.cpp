#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "calculation_run.h"
#include "completeness_lines.h"
#include "form_fixtures.h"
#include "messages.h"
#include "numtext.h"
#include "results_printout.h"

using namespace vp;
using namespace vp::test;

namespace {

// Answers the run's modal steps and records what was asked; every one must
// come on the thread that started the run.
class FakeUi : public RunUi, public ModeShapeDisplay {
 public:
  bool confirm = true;
  bool acceptEstimate = true;
  bool acceptFinding = true;
  long long stopAfterTrials = -1;  // the user stops the run after so many trials; -1: never
  bool stopAtHandOver = false;     // ... as soon as the worker hands something over
  const std::thread::id thread = std::this_thread::get_id();
  std::vector<double> estimates;  // seconds, as told
  std::vector<std::string> calls;
  std::vector<std::string> messages;
  std::vector<std::string> echoLabels;
  std::vector<std::string> modeLabels;
  const bool* computingFlag = nullptr;  // the program's, looked at while the worker computes
  std::vector<bool> computing;

  bool ConfirmEcho(const TInputFormModel& echo) override {
    calls.push_back("echo");
    echoLabels.assign(echo.Labels.begin(), echo.Labels.end());
    return confirm;
  }
  ModeShapeDisplay* ModeDisplay() override { return this; }
  bool ShowModeShape(const TNewFormModel& form) override {
    EXPECT_EQ(std::this_thread::get_id(), thread);
    modeLabels.push_back(form.Label2 + "/" + form.Label3);
    return true;
  }
  void ShowResults() override { calls.push_back("results"); }
  void ShowInputError(const std::string& detail) override { calls.push_back("error: " + detail); }
  void ShowInterrupted() override { calls.push_back("interrupted"); }
  void ShowMessage(const std::string& text) override {
    EXPECT_EQ(std::this_thread::get_id(), thread);
    messages.push_back(text);
  }
  bool AcceptFinding(const std::string& text) override {
    calls.push_back("asked: " + text);
    return acceptFinding;
  }
  bool AcceptEstimate(double seconds) override {
    estimates.push_back(seconds);
    return acceptEstimate;
  }
  void AwaitWorker(CalculationWorker& worker) override {
    if (computingFlag) computing.push_back(*computingFlag);
    if (stopAtHandOver) worker.WaitForNews();
    while (stopAfterTrials >= 0 && worker.Progress().trials < stopAfterTrials && !worker.Serve())
      worker.WaitForNews(1);
    if (stopAtHandOver || stopAfterTrials >= 0) worker.Stop();
    RunUi::AwaitWorker(worker);
  }
};

struct Program : ProgramState {
  FakeUi ui;
  explicit Program(TMainFormModel f) {
    form = std::move(f);
    ui.computingFlag = &computing;
  }
  RunOutcome Run(char sep = '.') { return RunCalculation(*this, ui, sep); }
};

double Frequency(const ResultsTables& r, int k, int v) { return RealOfText(r.StringGrid1.Cell(k, v), '.'); }

}  // namespace

TEST(CalculationRun, ReadsEchoesSolvesAndShowsResults) {
  Program p(FreeFreeForm(100, {30, 100}, 3));
  EXPECT_EQ(p.Run(), RunOutcome::Completed);
  EXPECT_EQ(p.ui.calls, (std::vector<std::string>{"echo", "results"}));
  EXPECT_EQ(p.ui.echoLabels, (std::vector<std::string>{"N = 1", "KM = 100", "KP = 3", "KW = 1", "MZ = 2", "F1 = 1",
                                                        "FT1 = 1", "FK = 100", "EPS = 1E-10", "EPSF = 1E-6"}));
  EXPECT_EQ(p.echo.StringGrid2.Cell(1, 0), "100");
  EXPECT_EQ(p.echo.StringGrid3.Cell(99, 0), "Участок 100");
  EXPECT_EQ(p.echo.StringGrid3.Cell(0, 1), "0.01");
  EXPECT_EQ(p.echo.StringGrid4.Cell(1, 0), "Вариант 1");
  EXPECT_EQ(p.echo.StringGrid4.Cell(0, 1), "Опора 1");
  EXPECT_NEAR(Frequency(p.results, 1, 1), 2237.675, 5e-4);
  EXPECT_NEAR(Frequency(p.results, 2, 1), 6168.90, 5e-3);
  EXPECT_EQ(p.params[kFirstStart], 1);
  EXPECT_EQ(p.params[kStepDivisor], 3);
  EXPECT_EQ(p.params[kReportFactor], 100);
  EXPECT_DOUBLE_EQ(p.model.SectionX[100], 1.0);
}

// A support outside the shaft is shown in the echo and kept as a warning; a
// negative length or EI is refused, naming its cell; a negative mass is asked about.
TEST(CalculationRun, DataThatTakeNoPartOrMakeNoShaftAreToldBeforeComputing) {
  const struct {
    std::function<void(TMainFormModel&)> change;
    bool accept;
    RunOutcome outcome;
    std::vector<std::string> calls, notes;
  } cases[] = {
      {[](TMainFormModel& f) { f.StringGrid3.SetCell(0, 1, "0"); }, true, RunOutcome::Completed, {"echo", "results"},
       {"Внимание: опора 1 стоит в сечении 0 и не участвует в расчете: опоры действуют в сечениях от 1 до 10 (сечение "
        "10 замыкает последний пролет)."}},
      {[](TMainFormModel& f) { f.StringGrid1.SetCell(3, 1, "-0.1"); }, true, RunOutcome::InputError,
       {"error: Характеристики участков, участок 3, длина: значение -0.1 меньше нуля"}, {}},
      {[](TMainFormModel& f) { f.StringGrid1.SetCell(4, 3, "-1"); }, true, RunOutcome::InputError,
       {"error: Характеристики участков, участок 4, жесткость: значение -1 меньше нуля"}, {}},
      {[](TMainFormModel& f) { f.StringGrid1.SetCell(2, 2, "-1"), f.StringGrid1.SetCell(5, 2, "-2"); }, false,
       RunOutcome::Declined, {"echo", "asked: Масса участка 2 отрицательна (m = -1); отрицательных масс всего 2."}, {}},
  };
  for (const auto& c : cases) {
    Program p(FreeFreeForm(10, {10}, 2));
    c.change(p.form);
    p.ui.acceptFinding = c.accept;
    EXPECT_EQ(p.Run(), c.outcome);
    EXPECT_EQ(p.ui.calls, c.calls);
    EXPECT_EQ(p.echo.Notes, c.notes);
    if (c.outcome == RunOutcome::Completed) {
      EXPECT_EQ(WarningLines(p.summary), c.notes);
    }
  }
}

TEST(CalculationRun, EveryVariantStartsFromF1) {
  Program p(FreeFreeForm(20, {20}, 2, 3));
  EXPECT_EQ(p.Run(), RunOutcome::Completed);
  EXPECT_EQ(p.model.VariantNo, 4);
  for (int v = 1; v <= 3; ++v) {
    EXPECT_EQ(p.results.StringGrid1.Cell(0, v), "Вариант № " + std::to_string(v));
    EXPECT_EQ(p.results.StringGrid1.Cell(1, v), p.results.StringGrid1.Cell(1, 1));
    EXPECT_EQ(p.results.StringGrid1.Cell(2, v), p.results.StringGrid1.Cell(2, 1));
  }
}

TEST(CalculationRun, RepeatInputComputesNothingAndChangesNothing) {
  Program p(FreeFreeForm(10, {10}, 2));
  p.results.StringGrid1.SetCell(1, 1, "earlier");
  p.ui.confirm = false;
  const TMainFormModel before = p.form;
  EXPECT_EQ(p.Run(), RunOutcome::EchoCancelled);
  EXPECT_EQ(p.ui.calls, (std::vector<std::string>{"echo"}));
  EXPECT_EQ(p.results.StringGrid1.Cell(1, 1), "earlier");
  EXPECT_TRUE(p.form == before);
}

TEST(CalculationRun, ConversionFailuresNameThePlaceAndShowNoEcho) {
  struct Case {
    void (*spoil)(TMainFormModel&);
    std::string detail;
  };
  const Case cases[] = {
      {[](TMainFormModel& f) { f.StringGrid1.SetCell(3, 2, "abc"); },
       "Характеристики участков, участок 3, масса: 'abc' is not a valid floating point value"},
      {[](TMainFormModel& f) { f.StringGrid1.SetCell(2, 1, ""); },
       "Характеристики участков, участок 2, длина: '' is not a valid floating point value"},
      {[](TMainFormModel& f) { f.StringGrid3.SetCell(0, 1, "3 "); },
       "Номера сечений, к которым привязаны опоры, опора 1: '3 ' is not a valid integer value"},
      {[](TMainFormModel& f) { f.StringGrid4.SetCell(0, 1, "x"); },
       "Номера сечений, ограничивающих пролеты справа, пролет 1: 'x' is not a valid integer value"},
      {[](TMainFormModel& f) { f.StringGrid2.SetCell(1, 1, ""); },
       "Варианты по жесткости опор, опора 1, вариант 1: '' is not a valid floating point value"},
      {[](TMainFormModel& f) { f.Edit3 = "2.5"; },
       "Число собственных частот, подлежащих определению: '2.5' is not a valid integer value"},
      {[](TMainFormModel& f) { f.Edit10 = "сто"; },
       "Верхняя граница диапазона по частоте: 'сто' is not a valid floating point value"},
      {[](TMainFormModel& f) { f.Edit8 = "1,5"; },
       "Частота начала диапазона поиска собств. частот: '1,5' is not a valid floating point value (десятичный разделитель - точка)"},
  };
  for (const Case& c : cases) {
    TMainFormModel form = FreeFreeForm(5, {5}, 2);
    c.spoil(form);
    Program p(form);
    const TMainFormModel before = p.form;
    EXPECT_EQ(p.Run(), RunOutcome::InputError);
    EXPECT_EQ(p.ui.calls, (std::vector<std::string>{"error: " + c.detail}));
    EXPECT_TRUE(p.form == before);
  }
}

TEST(CalculationRun, RealsAcceptATrailingBlankAndTheLocaleSeparator) {
  TMainFormModel form = FreeFreeForm(4, {4}, 1, 1, ',');
  form.StringGrid1.SetCell(1, 1, "0,25 ");
  form.StringGrid2.SetCell(1, 1, "0 ");
  Program p(form);
  EXPECT_EQ(p.Run(','), RunOutcome::Completed);
  EXPECT_EQ(p.echo.StringGrid3.Cell(0, 1), "0,25");

  form.StringGrid1.SetCell(2, 1, "0.25");
  Program q(form);
  EXPECT_EQ(q.Run(','), RunOutcome::InputError);
  EXPECT_EQ(q.ui.calls.at(0), "error: Характеристики участков, участок 2, длина: '0.25' is not a valid floating point value (десятичный разделитель - запятая)");
}

TEST(CalculationRun, RefusesInputThatWouldHangTheSearchOrOverflowItsTables) {
  struct Case {
    void (*spoil)(TMainFormModel&);
    const char* detailStart;
  };
  const Case cases[] = {
      {[](TMainFormModel& f) { f.Edit12 = "0"; }, "Точность вычисления k-й собственной частоты должна быть больше нуля"},
      {[](TMainFormModel& f) { f.Edit12 = "-1E-6"; }, "Точность вычисления k-й собственной частоты"},
      {[](TMainFormModel& f) { f.Edit3 = "101"; }, "Число собственных частот не должно превышать 100"},
      {[](TMainFormModel& f) { f.StringGrid4.SetCell(1, 1, "5"); }, "Номера сечений, ограничивающих пролеты справа, пролет 2: номер 5 должен быть больше"},
      {[](TMainFormModel& f) { f.StringGrid4.SetCell(1, 1, "11"); }, "Номера сечений, ограничивающих пролеты справа, пролет 2: номер 11 вне пределов от 1 до 10"},
      {[](TMainFormModel& f) { f.StringGrid4.SetCell(0, 1, "0"); }, "Номера сечений, ограничивающих пролеты справа, пролет 1: номер 0"},
      {[](TMainFormModel& f) { f.Edit9 = "0"; }, "Шаг по частоте при поиске k-й частоты должен быть больше нуля (FT1 = 0)"},
      {[](TMainFormModel& f) { f.Edit9 = "-1"; }, "Шаг по частоте при поиске k-й частоты должен быть больше нуля (FT1 = -1)"},
      {[](TMainFormModel& f) { f.Edit9 = "-1E-300"; f.Edit12 = "1E-6"; }, "Шаг по частоте при поиске k-й частоты должен"},
      // kPrepareStepFactor * EPSF would overflow inside the search.
      {[](TMainFormModel& f) { f.Edit12 = "1E308"; }, "Точность вычисления k-й собственной частоты слишком велика (EPSF = 1E308)"},
      {[](TMainFormModel& f) { f.Edit12 = "1.2E307"; }, "Точность вычисления k-й собственной частоты слишком велика"},
      // The reported frequency, 100 times the search variable, would overflow.
      {[](TMainFormModel& f) { f.Edit8 = "1E308"; }, "Частота начала диапазона поиска собств. частот слишком велика по модулю (F1 = 1E308)"},
      {[](TMainFormModel& f) { f.Edit8 = "-1.8E306"; }, "Частота начала диапазона поиска собств. частот слишком велика по модулю (F1 = -1.8E306)"},
      {[](TMainFormModel& f) { f.Edit10 = "1E308"; }, "Верхняя граница диапазона по частоте слишком велика по модулю (FK = 1E308)"},
      // A range that holds nothing, both fields named.
      {[](TMainFormModel& f) { f.Edit8 = "1E4"; }, "Верхняя граница диапазона по частоте (FK = 100) меньше частоты начала "
                                                  "диапазона поиска собств. частот (F1 = 10000)"},
  };
  for (const Case& c : cases) {
    TMainFormModel form = FreeFreeForm(10, {5, 10}, 2);
    c.spoil(form);
    Program p(form);
    EXPECT_EQ(p.Run(), RunOutcome::InputError) << c.detailStart;
    ASSERT_EQ(p.ui.calls.size(), 1u);
    EXPECT_EQ(p.ui.calls[0].rfind(std::string("error: ") + c.detailStart, 0), 0u) << p.ui.calls[0];
  }
  // Just below the overflow, EPSF is taken (every second trial is accepted).
  TMainFormModel large = FreeFreeForm(10, {5, 10}, 2);
  large.Edit12 = "1E307";
  Program accepted(large);
  EXPECT_EQ(accepted.Run(), RunOutcome::Completed);
  // So are the largest FK and F1 whose reported frequencies are numbers (where
  // m * omega^2 overflows at the first trial, the fault names its frequency).
  large = FreeFreeForm(10, {5, 10}, 2);
  large.Edit10 = "1.7E306";
  Program wide(large);
  EXPECT_EQ(wide.Run(), RunOutcome::Completed);
  large.Edit8 = "-1.7E306";
  Program low(large);
  EXPECT_EQ(low.Run(), RunOutcome::InputError);
  EXPECT_EQ(low.ui.calls.back(),
            "error: Арифметическая ошибка (деление на ноль или переполнение) при расчете варианта 1 на частоте -1.7E308");
  // A support outside the shaft is no error: it simply has no effect.
  TMainFormModel form = FreeFreeForm(10, {5, 10}, 2);
  form.StringGrid3.SetCell(0, 1, "0");
  Program p(form);
  EXPECT_EQ(p.Run(), RunOutcome::Completed);
}

TEST(CalculationRun, FailureInTheSecondVariantKeepsTheFirstAndShowsNoResults) {
  // Two springs hold the shaft in variant 1; in variant 2 they are so stiff
  // that the first trial overflows.
  TMainFormModel form = FreeFreeForm(10, {10}, 1, 2);
  form.SetSpinValue(Count::Supports, 2);
  form.StringGrid3.SetCell(0, 1, "1");
  form.StringGrid3.SetCell(1, 1, "9");
  form.StringGrid2.SetCell(1, 1, "1000");
  form.StringGrid2.SetCell(1, 2, "1000");
  form.StringGrid2.SetCell(2, 1, "1E308");
  form.StringGrid2.SetCell(2, 2, "1E308");
  form.Edit8 = "0";
  Program p(form);
  EXPECT_EQ(p.Run(), RunOutcome::InputError);
  ASSERT_EQ(p.ui.calls.size(), 2u);
  EXPECT_EQ(p.ui.calls[1].rfind("error: ", 0), 0u);
  EXPECT_NE(p.results.StringGrid1.Cell(1, 1), "");
  EXPECT_EQ(p.results.StringGrid1.Cell(1, 2), "");
}

TEST(CalculationRun, ZeroStiffnessIsReportedWithItsSection) {
  TMainFormModel form = FreeFreeForm(10, {10}, 1);
  form.StringGrid1.SetCell(4, 3, "0");
  Program p(form);
  EXPECT_EQ(p.Run(), RunOutcome::InputError);
  EXPECT_EQ(p.ui.calls.back(), "error: Характеристики участков, участок 4: жесткость равна нулю (деление на ноль)");
}

TEST(CalculationRun, EachRunClearsTheResultsOfTheLastOneAndKeepsItsOwnInput) {
  Program p(FreeFreeForm(20, {20}, 3));
  p.inputFile = "shaft.txt";
  p.fileForm = p.form;
  p.Run();
  EXPECT_EQ(RunInputName(p.summary), "shaft.txt");
  p.results.StringGrid1.SetCell(5, 1, "stale");
  p.results.StringGrid3.SetCell(300, 3, "stale");
  p.form.Edit3 = "1";
  EXPECT_EQ(p.Run(), RunOutcome::Completed);
  EXPECT_EQ(p.results.StringGrid1.Cell(5, 1), "");
  EXPECT_EQ(p.results.StringGrid3.Cell(300, 3), "");
  EXPECT_EQ(p.results.StringGrid1.Cell(2, 1), "");
  EXPECT_EQ(RunInputName(p.summary), "shaft.txt (изменено после загрузки)");
  // Its documents take the form as it read it, whatever the form holds since;
  // a run that computes nothing leaves them so.
  const TMainFormModel read = p.form;
  EXPECT_TRUE(p.runForm == read);
  p.form.Edit3 = "7";
  p.ui.confirm = false;
  p.Run();
  EXPECT_TRUE(p.runForm == read);
  EXPECT_EQ(p.ui.computing, (std::vector<bool>{true, true}));
  EXPECT_FALSE(p.computing);
}

TEST(CalculationRun, ModeShapesAreShownOnlyWhenAskedFor) {
  Program quiet(FreeFreeForm(10, {10}, 2, 2));
  quiet.Run();
  EXPECT_TRUE(quiet.ui.modeLabels.empty());

  TMainFormModel form = FreeFreeForm(10, {10}, 2, 2);
  form.CheckBox1 = true;
  Program shown(form);
  shown.Run();
  EXPECT_EQ(shown.ui.modeLabels,
            (std::vector<std::string>{"Вариант по жесткости N 1/Частота N 1", "Вариант по жесткости N 1/Частота N 2",
                                      "Вариант по жесткости N 2/Частота N 1", "Вариант по жесткости N 2/Частота N 2"}));

  // A step of 70 passes over the first two: the one found is the third natural frequency.
  form = FreeFreeForm(100, {30, 100}, 5);
  form.Edit9 = "70";
  form.Edit10 = "150";
  form.CheckBox1 = true;
  Program coarse(form);
  coarse.Run();
  EXPECT_EQ(coarse.ui.modeLabels, std::vector<std::string>{"Вариант по жесткости N 1/Частота N 1 (собственная № 3)"});
}

TEST(CalculationRun, CountsTypedButNotLeftAreClampedFirst) {
  TMainFormModel form = FreeFreeForm(10, {10}, 1);
  form.SetSpinText(Count::Variants, "25");
  for (int v = 1; v <= 20; ++v) form.StringGrid2.SetCell(v, 1, "0");
  Program p(form);
  EXPECT_EQ(p.Run(), RunOutcome::Completed);
  EXPECT_EQ(p.model.KW, 20);
  EXPECT_EQ(p.form.SpinEdit4.Text(), "20");
}

TEST(CalculationRun, TheUserCanStopALongCalculation) {
  TMainFormModel form = FreeFreeForm(10, {10}, 3);
  form.Edit9 = "0.0001";
  Program p(form);
  p.ui.stopAfterTrials = 1000;
  EXPECT_EQ(p.Run(), RunOutcome::Interrupted);
  EXPECT_EQ(p.ui.calls, (std::vector<std::string>{"echo", "interrupted"}));

  // Stopped while a mode shape waits to be shown: it is not shown.
  form = FreeFreeForm(10, {10}, 2, 2);
  form.CheckBox1 = true;
  Program shown(form);
  shown.ui.stopAtHandOver = true;
  EXPECT_EQ(shown.Run(), RunOutcome::Interrupted);
  EXPECT_EQ(shown.ui.calls, (std::vector<std::string>{"echo", "interrupted"}));
  EXPECT_TRUE(shown.ui.modeLabels.empty());

  // Stopped in variant 2: variant 1's results are shown, marked.
  form = FreeFreeForm(10, {10}, 1, 2);
  form.Edit9 = "0.001";  // some 21400 trials a variant
  Program half(form);
  half.ui.stopAfterTrials = 30000;
  EXPECT_EQ(half.Run(), RunOutcome::Interrupted);
  EXPECT_EQ(half.ui.calls, (std::vector<std::string>{"echo", "interrupted", "results"}));
  ASSERT_EQ(half.summary.warnings.size(), 1u);
  EXPECT_EQ(Message(half.summary.warnings[0]), "Внимание: расчет прерван, рассчитано вариантов 1 из 2.");
  EXPECT_FALSE(half.results.StringGrid1.Cell(1, 1).empty());
}

TEST(CalculationRun, ALongSearchIsEstimatedAndComputedOnlyWhenAccepted) {
  // From 1 to the second frequency (61.7) in steps of 1E-7: 6E8 trials.
  TMainFormModel form = FreeFreeForm(10, {5, 10}, 2);
  form.Edit9 = "1E-7";
  form.Edit12 = "1E-8";
  Program p(form);
  p.results.StringGrid1.SetCell(1, 1, "earlier");
  p.ui.acceptEstimate = false;
  EXPECT_EQ(p.Run(), RunOutcome::Declined);
  EXPECT_EQ(p.ui.calls, (std::vector<std::string>{"echo"}));
  ASSERT_EQ(p.ui.estimates.size(), 1u);
  EXPECT_GT(p.ui.estimates[0], kLongRunSeconds);
  EXPECT_EQ(p.results.StringGrid1.Cell(1, 1), "earlier");

  // An ordinary run is told its estimate too, a small one.
  Program quick(FreeFreeForm(10, {5, 10}, 2));
  quick.ui.acceptEstimate = false;
  EXPECT_EQ(quick.Run(), RunOutcome::Declined);
  ASSERT_EQ(quick.ui.estimates.size(), 1u);
  EXPECT_LT(quick.ui.estimates[0], 0.5);
}

TEST(CalculationRun, AHugeUpperBoundRunsAndAWalkEndsWhereNoFrequencyIsLeft) {
  // FK = 1E9 as "no upper bound": KP = 2 ends after two frequencies.
  TMainFormModel form = FreeFreeForm(10, {10}, 2);
  form.Edit10 = "1E9";
  Program p(form);
  EXPECT_EQ(p.Run(), RunOutcome::Completed);
  EXPECT_EQ(p.summary.variants.at(0).modes.size(), 2u);
  EXPECT_FALSE(p.summary.variants[0].endedEarly);
  ASSERT_EQ(p.ui.estimates.size(), 1u);
  EXPECT_LT(p.ui.estimates[0], 0.5);

  // KP = 20 of a shaft of 10 masses: after its 8 elastic frequencies (two
  // masses move as a rigid body) nothing is left up to FK, and the walk ends.
  form.Edit3 = "20";
  Program all(form);
  EXPECT_EQ(all.Run(), RunOutcome::Completed);
  const VariantResult& v = all.summary.variants.at(0);
  ASSERT_EQ(v.modes.size(), 8u);
  EXPECT_TRUE(v.endedEarly);
  EXPECT_DOUBLE_EQ(v.endedAt, v.modes.back().omega + 0.01);
  EXPECT_EQ(v.completeness.found, 8);
  EXPECT_EQ(v.completeness.inRange, 8);
  EXPECT_EQ(v.completeness.end, 1e9);
  // Then a line for each frequency the count refined.
  const std::vector<std::string> lines = CompletenessLines(all.summary, 100, '.');
  ASSERT_GE(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("Вариант № 1: найдено 8 из 8 собственных частот диапазона от 100 до 100000000000. "
                           "Поиск окончен на частоте ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find(": выше нее до верхней границы диапазона собственных частот нет."), std::string::npos);

  // Without a count (a negative mass) no estimate is made and the walk goes on
  // as before: the user can stop it.
  form.Edit9 = "0.001";
  form.StringGrid1.SetCell(3, 2, "-0.1");
  Program uncounted(form);
  uncounted.ui.stopAfterTrials = 10000;
  EXPECT_EQ(uncounted.Run(), RunOutcome::Interrupted);
  EXPECT_TRUE(uncounted.ui.estimates.empty());
}

TEST(CalculationRun, ArithmeticFaultNamesTheReportedFrequencyInTheLocaleFormat) {
  TMainFormModel form = FreeFreeForm(10, {10}, 2, 1, ',');
  form.StringGrid1.SetCell(3, 2, "-1E300");  // m * omega * omega overflows; no count ends the walk before
  form.Edit8 = "12345,678";
  form.Edit10 = "1E5";
  Program p(form);
  EXPECT_EQ(p.Run(','), RunOutcome::InputError);
  EXPECT_EQ(p.ui.calls.back(),
            "error: Арифметическая ошибка (деление на ноль или переполнение) при расчете варианта 1 на частоте 1234567,8");
}

TEST(CalculationRun, DurationIsToldInRoundMinutes) {
  EXPECT_EQ(DurationText(31), "Расчет займет около 1 мин.");
  EXPECT_EQ(DurationText(150), "Расчет займет около 3 мин.");
  EXPECT_EQ(DurationText(5 * 3600), "Расчет займет около 300 мин.");
  EXPECT_EQ(DurationText(1234 * 60), "Расчет займет около 1200 мин.");
  EXPECT_EQ(DurationText(2.5e9 * 60), "Расчет займет около 2500000000 мин.");
  EXPECT_EQ(DurationText(1e30), "Расчет займет больше 1E15 мин.");
  EXPECT_EQ(DurationText(HUGE_VAL), "Расчет займет больше 1E15 мин.");
}
