#include "batch_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <charconv>
#include <chrono>

#include "calculation_report.h"
#include "fonts.h"
#include "input_loader.h"
#include "json_document.h"
#include "line_printer.h"
#include "messages.h"
#include "pdf_file.h"
#include "platform.h"
#include "report_printing.h"
#include "results_export.h"
#include "results_printout.h"

namespace vp {

namespace {

// A failure while printing as an error value: a Failure's own, otherwise
// what the printer said.
Error PrintFailure(const std::exception& e) {
  if (const auto* failure = dynamic_cast<const Failure*>(&e)) return failure->error();
  return Error{ErrorCode::PrintFailed, 0, 0, "", e.what()};
}

std::optional<Error> Printing(const std::function<void()>& print) {
  try {
    print();
  } catch (const std::exception& e) {
    return PrintFailure(e);
  }
  return std::nullopt;
}

}  // namespace

std::string RunPrintoutTitle(const ProgramState& st) { return PrintoutTitleToday(RunInputName(st.summary)); }

void PrintRunPrintout(QPagedPaintDevice& device, const ProgramState& st, char sep, const std::string& title) {
  PrintResults(device, st.runForm, st.results, sep, &st.summary, title);
}

std::optional<Error> WriteRunPrintoutPdf(const std::string& path, const ProgramState& st, char sep,
                                         const std::string& title) {
  return Printing([&] {
    PrintPdfFile(path, PrintoutPageSetup(), [&](QPagedPaintDevice& device) { PrintRunPrintout(device, st, sep, title); });
  });
}

std::optional<Error> ExportRunWorkbook(const std::string& path, const ProgramState& st, char sep,
                                       const StiffnessMapChart* map) {
  return ExportResultsWorkbook(path, st.runForm, st.echo, st.results, sep, &st.summary, map);
}

std::optional<Error> WriteRunReport(const std::string& path, const ProgramState& st, const StiffnessMapChart* map,
                                    FrequencyUnit unit, char sep) {
  return Printing([&] {
    const CalculationReport report = BuildCalculationReport(st.model, st.params, st.summary, map, unit,
                                                            ReportSourceOf(RunInputName(st.summary), st.runTime), sep);
    PrintPdfFile(path, ReportPageSetup(), [&](QPagedPaintDevice& device) { PrintCalculationReport(device, report); });
  });
}

namespace {

std::string Number(double value) {
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
}

// Without --max-seconds, a run estimated to take longer than this is not started.
constexpr double kDefaultMaxEstimateSeconds = 3600;

// The run's modal steps without windows: the echo accepted, no mode shapes,
// messages told on the error stream, and the time limit of --max-seconds.
class BatchUi : public RunUi {
 public:
  BatchUi(const std::function<void(const std::string&)>& err, double maxSeconds) : err_(err), maxSeconds_(maxSeconds) {}

  std::string error;             // of a run that ended without results
  std::optional<Error> refusal;  // a stop or a refused estimate

  bool ConfirmEcho(const TInputFormModel&) override { return true; }
  ModeShapeDisplay* ModeDisplay() override { return nullptr; }
  void ShowResults() override {}
  void ShowMessage(const std::string& text) override { err_(text); }
  void ShowInputError(const std::string& detail) override {
    err_("Ошибка ввода данных\n" + detail);
    error = "Ошибка ввода данных: " + detail;
  }
  void ShowInterrupted() override {
    Refuse(timedOut_ ? Error{ErrorCode::RunTooLong, 0, maxSeconds_, "", Number(maxSeconds_)}
                     : Error{ErrorCode::Interrupted});
  }
  // A finding is told, and the run goes on.
  bool AcceptFinding(const std::string& text) override {
    err_(text);
    return true;
  }
  // A long estimate is told; one beyond --max-seconds, or without it beyond
  // an hour, stops the run.
  bool AcceptEstimate(double seconds) override {
    if (maxSeconds_ < 0 && seconds > kDefaultMaxEstimateSeconds) {
      Refuse(Error{ErrorCode::EstimateBeyondHour, 0, seconds, "", MinutesText(seconds)});
      return false;
    }
    const bool tooLong = maxSeconds_ > 0 && seconds > maxSeconds_;
    if (seconds > kLongRunSeconds || tooLong) err_(DurationText(seconds));
    if (!tooLong) return true;
    Refuse(Error{ErrorCode::EstimateTooLong, 0, maxSeconds_, "", Number(maxSeconds_)});
    return false;
  }
  // A run still computing after --max-seconds is stopped.
  void AwaitWorker(CalculationWorker& worker) override {
    if (maxSeconds_ <= 0) return RunUi::AwaitWorker(worker);
    const auto start = std::chrono::steady_clock::now();
    while (!worker.Serve()) {
      const double left = maxSeconds_ - std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (left < 0 && !timedOut_) {
        timedOut_ = true;
        worker.Stop();
      }
      worker.WaitForNews(timedOut_ ? -1 : static_cast<long long>(std::min(left, 1e9) * 1000) + 1);
    }
  }

 private:
  void Refuse(const Error& reason) {
    refusal = reason;
    error = Message(reason);
    err_(error);
  }
  const std::function<void(const std::string&)>& err_;
  double maxSeconds_;
  bool timedOut_ = false;
};

}  // namespace

std::vector<Error> RunBatch(const BatchRequest& rq, const BatchStreams& io) {
  const char sep = rq.decimalSeparator;
  // Each message is given once: a bad entry stops the lines on standard output
  // and in the PDF at the same place.
  std::vector<Error> failures;
  std::vector<std::string> messages;
  auto fail = [&](const Error& error, const std::string& message) {
    if (std::find(messages.begin(), messages.end(), message) != messages.end()) return;
    failures.push_back(error);
    messages.push_back(message);
  };
  auto failWith = [&](const std::optional<Error>& error) {
    if (error) fail(*error, Message(*error));
  };
  auto finish = [&] {
    for (const std::string& message : messages) io.err(message);
    return failures;
  };

  ProgramState st;
  std::vector<Warning> warnings;
  if (const std::optional<Error> error = LoadInputFile(rq.input, st.form, sep, &warnings)) {
    std::string message = Message(*error);
    if (error->code == ErrorCode::TextSeparator)
      message += " Числа с этим разделителем читаются с параметром --decimal-separator " + error->detail.substr(0, 1);
    fail(*error, message);
    if (rq.json) io.out(JsonText(LoadFailureJson(message, CodeName(error->code))));
    return finish();
  }
  st.form.CheckBox1 = false;
  // The printout, the report and the workbook name the input file they were computed from.
  st.inputFile = QDir::toNativeSeparators(QFileInfo(QString::fromStdString(rq.input)).absoluteFilePath()).toStdString();
  st.fileForm = st.form;
  for (const Warning& warning : warnings) io.err(Message(warning));
  // The results document with what the load found.
  auto resultsJson = [&](const StiffnessMapChart* map, const std::string& error, const std::string& code) {
    QJsonObject document = ResultsJson(st.model, st.summary, map, error, code);
    AddLoadWarnings(document, warnings);
    return JsonText(document);
  };

  BatchUi ui(io.err, rq.maxSeconds);
  if (RunCalculation(st, ui, sep) != RunOutcome::Completed) {
    // An input error is the run's own; a stop or a refused estimate the
    // command's. The ui has told it already.
    const Error error = st.runError && st.runError->code != ErrorCode::Interrupted
                            ? *st.runError
                            : ui.refusal.value_or(Error{ErrorCode::Interrupted});
    failures.push_back(error);
    if (rq.json) io.out(resultsJson(nullptr, ui.error, CodeName(error.code)));
    return failures;
  }
  const std::string title = RunPrintoutTitle(st);
  if (!rq.json) {
    io.out(title + "\n\n");
    try {
      WritePrintout(
          st.runForm, st.results, sep, [&](const std::string& line) { io.out(line + "\n"); }, &st.summary);
    } catch (const std::exception& e) {
      failWith(PrintFailure(e));
    }
  }
  std::optional<StiffnessMapChart> map;
  if (rq.json || !rq.xlsx.empty() || !rq.report.empty())
    map = ChartStiffnessMap(st.model, rq.stiffnessMap, st.params[kReportFactor]);
  if (!rq.xlsx.empty()) failWith(ExportRunWorkbook(rq.xlsx, st, sep, &*map));
  if (!rq.pdf.empty()) failWith(WriteRunPrintoutPdf(rq.pdf, st, sep, title));
  if (!rq.report.empty()) failWith(WriteRunReport(rq.report, st, &*map, FrequencyUnit::P, sep));
  if (rq.json) {
    std::string error;
    for (const std::string& message : messages) error += (error.empty() ? "" : "\n") + message;
    io.out(resultsJson(&*map, error, failures.empty() ? "" : CodeName(failures.front().code)));
  }
  return finish();
}

std::unique_ptr<QCoreApplication> BatchApplication(int& argc, char** argv, bool printing) {
  std::unique_ptr<QCoreApplication> app;
  if (!printing) {
    app = std::make_unique<QCoreApplication>(argc, argv);
  } else {
    platform::ChooseQtPlatform(true);
    app = std::make_unique<QGuiApplication>(argc, argv);
    InstallFontSubstitutes();
    QGuiApplication::setFont(FormFont());
  }
  platform::UseCNumbers();
  return app;
}

}  // namespace vp
