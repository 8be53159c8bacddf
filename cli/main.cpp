// valoprovod-cli: loads an input file, runs the calculation without windows and
// prints the results printout or, with --json, every frequency and mode; with
// --pdf also prints the printout into a PDF file as a printer would.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPrinter>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculation_run.h"
#include "errors.h"
#include "form_kit.h"
#include "input_loader.h"
#include "json_document.h"
#include "library_messages.h"
#include "line_printer.h"
#include "messages.h"
#include "platform.h"
#include "printable.h"
#include "report_printing.h"
#include "results_export.h"
#include "results_printout.h"
#include "stiffness_map_chart.h"

namespace {

using namespace vp;

constexpr const char* kUsage =
    "Использование: valoprovod-cli [--json] [--pdf ВЫХОД] [--xlsx ВЫХОД] [--report ВЫХОД] [--decimal-separator C]\n"
    "                              [--max-seconds S] [--stiffness-map НИЖНЯЯ:ВЕРХНЯЯ:ТОЧЕК] ФАЙЛ\n"
    "  ФАЙЛ                     исходные данные (.txt, .xls, .xlsx)\n"
    "  --json                   вывести частоты и формы колебаний в формате JSON\n"
    "  --pdf ВЫХОД              напечатать результаты в файл PDF (A4, 600 точек на дюйм)\n"
    "  --xlsx ВЫХОД             записать рабочую книгу с результатами и графиками форм колебаний\n"
    "  --report ВЫХОД           составить отчет о расчете в файле PDF (A4): исходные данные, схема вала,\n"
    "                           частоты, формы колебаний, карта частот и карта критических скоростей\n"
    "  --decimal-separator C    десятичный разделитель чисел (по умолчанию - системный)\n"
    "  --max-seconds S          не начинать расчет, который по оценке займет больше S секунд,\n"
    "                           и прервать расчет, идущий дольше S секунд; 0 - без ограничения\n"
    "                           (без параметра не начинается расчет, который займет больше часа)\n"
    "  --stiffness-map НИЖНЯЯ:ВЕРХНЯЯ:ТОЧЕК\n"
    "                           диапазон жесткости опор карты критических скоростей в JSON, в книге и в отчете\n"
    "                           (по умолчанию от 1/100 наименьшей до 100 наибольших жесткостей\n"
    "                           опор вариантов, 61 точка), например 1E6:1E11:61\n";

std::string Number(double value) {
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
}

// Without --max-seconds, a run estimated to take longer than this is not started.
constexpr double kDefaultMaxEstimateSeconds = 3600;

class CliUi : public RunUi {
 public:
  std::string error, errorCode;  // of a run that ended without results
  double maxSeconds = -1;  // --max-seconds; negative: not given; 0: no limit

  bool ConfirmEcho(const TInputFormModel&) override { return true; }
  ModeShapeDisplay* ModeDisplay() override { return nullptr; }
  void ShowResults() override {}
  void ShowMessage(const std::string& text) override { std::cerr << text << '\n'; }
  void ShowInputError(const std::string& detail) override {
    std::cerr << "Ошибка ввода данных\n" << detail << '\n';
    error = "Ошибка ввода данных: " + detail;
  }
  void ShowInterrupted() override {
    Refuse(timedOut_ ? Error{ErrorCode::RunTooLong, 0, maxSeconds, "", Number(maxSeconds)} : Error{ErrorCode::Interrupted});
  }
  // A finding is told on standard error, and the run goes on.
  bool AcceptFinding(const std::string& text) override {
    std::cerr << text << '\n';
    return true;
  }
  // A long estimate is told on standard error; one beyond --max-seconds, or
  // without it beyond an hour, stops the run.
  bool AcceptEstimate(double seconds) override {
    if (maxSeconds < 0 && seconds > kDefaultMaxEstimateSeconds) {
      Refuse(Error{ErrorCode::EstimateBeyondHour, 0, seconds, "", MinutesText(seconds)});
      return false;
    }
    const bool tooLong = maxSeconds > 0 && seconds > maxSeconds;
    if (seconds > kLongRunSeconds || tooLong) std::cerr << DurationText(seconds) << '\n';
    if (!tooLong) return true;
    Refuse(Error{ErrorCode::EstimateTooLong, 0, maxSeconds, "", Number(maxSeconds)});
    return false;
  }
  // A run still computing after --max-seconds is stopped.
  void AwaitWorker(CalculationWorker& worker) override {
    if (maxSeconds <= 0) return RunUi::AwaitWorker(worker);
    const auto start = std::chrono::steady_clock::now();
    while (!worker.Serve()) {
      const double left = maxSeconds - std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (left < 0 && !timedOut_) {
        timedOut_ = true;
        worker.Stop();
      }
      worker.WaitForNews(timedOut_ ? -1 : static_cast<long long>(std::min(left, 1e9) * 1000) + 1);
    }
  }

 private:
  void Refuse(const Error& reason) {
    error = Message(reason);
    errorCode = CodeName(reason.code);
    std::cerr << error << '\n';
  }
  bool timedOut_ = false;
};

// Standard output, checked: a write that fails (a full disk, /dev/full) is
// remembered with its reason, so that the command fails instead of leaving
// half a document behind and reporting success.
class StandardOutput {
 public:
  // `open`: false when the process was started with its standard output closed.
  explicit StandardOutput(bool open) : closed_(!open) {}
  void Write(std::string_view text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) Remember();
  }
  // Empty when everything written reached its place, otherwise the message.
  std::string Finish() {
    errno = 0;
    if (std::fflush(stdout) != 0) Remember();
    if (closed_) return "Не удалось записать результаты в стандартный вывод. Стандартный вывод закрыт.";
    if (!failed_ && !std::ferror(stdout)) return "";
    return "Не удалось записать результаты в стандартный вывод" + (reason_ ? ". " + SystemReason(reason_) : "") + ".";
  }

 private:
  void Remember() {
    if (failed_) return;
    failed_ = true;
    if (errno != 0) reason_ = std::error_code(errno, std::generic_category());
  }
  bool closed_;
  bool failed_ = false;
  std::error_code reason_;
};

struct Options {
  bool outputOpen = true;  // the standard output, at the start
  bool json = false;
  char sep = 0;
  std::string input, pdf, xlsx, report;
  double maxSeconds = -1;  // negative: not given; 0: no limit
  std::optional<StiffnessMapRange> stiffnessMap;  // its ordinals are the shaft's, set by the map
};

// "LOW:HIGH:N" into the range, with '.' as the decimal separator; empty when
// it makes one, otherwise why not.
std::string ReadStiffnessMapRange(const std::string& value, StiffnessMapRange& range) {
  std::vector<std::string> parts{""};
  for (char c : value) {
    if (c == ':') parts.emplace_back();
    else parts.back() += c;
  }
  if (parts.size() != 3) return "нужны три значения через двоеточие";
  auto parse = [](const std::string& text, auto& number) {
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), number);
    return !text.empty() && parsed.ec == std::errc() && parsed.ptr == text.data() + text.size();
  };
  if (!parse(parts[0], range.low)) return "нижняя граница '" + Printable(parts[0]) + "' - не число";
  if (!parse(parts[1], range.high)) return "верхняя граница '" + Printable(parts[1]) + "' - не число";
  if (!parse(parts[2], range.points)) return "число точек '" + Printable(parts[2]) + "' - не целое число";
  range.ordinals = 1;
  const std::optional<Error> fault = StiffnessMapRangeFault(range);
  return fault ? Message(*fault) : "";
}

// A decimal separator that numbers can be read with: one character that is no
// digit, sign, exponent letter, blank or control character.
bool UsableSeparator(const std::string& value) {
  if (value.size() != 1) return false;
  const unsigned char c = value[0];
  return c > ' ' && c < 0x7F && std::string_view("0123456789+-eE").find(c) == std::string_view::npos;
}

// Whether two names lead to one file, through links too (also where it does not exist yet).
bool SameFile(const std::string& nameA, const std::string& nameB) {
  namespace fs = std::filesystem;
  const fs::path a = platform::Utf8Path(nameA), b = platform::Utf8Path(nameB);
  std::error_code ea, eb;
  if (fs::equivalent(a, b, ea)) return true;
  const fs::path ca = fs::weakly_canonical(fs::absolute(a, ea), ea), cb = fs::weakly_canonical(fs::absolute(b, eb), eb);
  return !ea && !eb && ca == cb;
}

// Reads the command line into `o`. Returns the exit status when the command
// ends here (help, wrong usage), -1 to go on.
int ParseArguments(const std::vector<std::string>& argv, Options& o) {
  const int argc = static_cast<int>(argv.size());
  auto usage = [](const std::string& message) {
    std::cerr << message << "\n" << kUsage;
    return 2;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--json") {
      o.json = true;
    } else if (arg == "--pdf" || arg == "--xlsx" || arg == "--report" || arg == "--decimal-separator" ||
               arg == "--max-seconds" || arg == "--stiffness-map") {
      if (i + 1 == argc) return usage("Не указано значение параметра " + arg);
      const std::string value = argv[++i];
      if (arg == "--stiffness-map") {
        StiffnessMapRange range;
        if (const std::string problem = ReadStiffnessMapRange(value, range); !problem.empty())
          return usage("Неверное значение параметра --stiffness-map: '" + Printable(value) + "' - " + problem +
                       ". Нужно НИЖНЯЯ:ВЕРХНЯЯ:ТОЧЕК, например 1E6:1E11:61.");
        o.stiffnessMap = range;
      } else if (arg == "--max-seconds") {
        const auto parsed = std::from_chars(value.data(), value.data() + value.size(), o.maxSeconds);
        if (parsed.ec != std::errc() || parsed.ptr != value.data() + value.size() || !(o.maxSeconds >= 0))
          return usage("Неверное значение параметра --max-seconds: '" + Printable(value) +
                       "'. Нужно число секунд не меньше нуля, например 60.");
      } else if (arg == "--decimal-separator") {
        if (!UsableSeparator(value))
          return usage("Неверное значение параметра --decimal-separator: '" + Printable(value) +
                       "'. Нужен один знак, например точка или запятая, но не цифра, знак числа, буква E или пробел.");
        o.sep = value[0];
      } else {
        if (value.empty()) return usage("Неверное значение параметра " + arg + ": '' - пустое имя файла.");
        // The printer takes the name as text, where such bytes would become another name.
        if (ValidUtf8(value) != value)
          return usage("Неверное значение параметра " + arg + ": '" + Printable(value) +
                       "' - в имени файла есть знаки не в кодировке UTF-8.");
        (arg == "--pdf" ? o.pdf : arg == "--xlsx" ? o.xlsx : o.report) = value;
      }
    } else if (arg == "--help" || arg == "-h") {
      StandardOutput out(o.outputOpen);
      out.Write(kUsage);
      const std::string failure = out.Finish();
      if (!failure.empty()) std::cerr << failure << '\n';
      return failure.empty() ? 0 : 1;
    } else if (!arg.empty() && arg[0] == '-') {
      return usage("Неизвестный параметр: " + Printable(arg));
    } else if (o.input.empty()) {
      o.input = arg;
    } else {
      return usage("Лишний параметр: " + Printable(arg));
    }
  }
  if (o.input.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  // Results written over the input, or both outputs into one file, would lose a file.
  struct Output {
    const char* option;
    const std::string* name;
    const char* what;
  };
  const Output outputs[] = {{"--pdf", &o.pdf, "печатается PDF (--pdf)"},
                            {"--xlsx", &o.xlsx, "записывается рабочая книга (--xlsx)"},
                            {"--report", &o.report, "записывается отчет (--report)"}};
  for (const auto& [option, name, what] : outputs)
    if (!name->empty() && SameFile(*name, o.input))
      return usage(std::string("Неверное значение параметра ") + option + ": '" + Printable(*name) +
                   "' - это файл исходных данных.");
  // Two outputs into one file would leave only the one written last.
  for (size_t i = 1; i < std::size(outputs); ++i)
    for (size_t j = 0; j < i; ++j)
      if (!outputs[i].name->empty() && !outputs[j].name->empty() && SameFile(*outputs[i].name, *outputs[j].name))
        return usage(std::string("Неверное значение параметра ") + outputs[i].option + ": '" +
                     Printable(*outputs[i].name) + "' - в этот же файл " + outputs[j].what + ".");
  return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
  Options o;
  o.outputOpen = OccupyClosedStandardStreams();  // before anything opens a file
  platform::UseUtf8StandardStreams();
  if (const int status = ParseArguments(platform::Utf8Arguments(argc, argv), o); status >= 0) return status;

  SilenceQtMessages();  // every failure is reported here, in Russian
  // Printing needs the GUI part of Qt (fonts, painting); without a window it
  // runs on a platform without windows (platform.h), so that no display is needed.
  std::unique_ptr<QCoreApplication> app;
  if (o.pdf.empty() && o.report.empty()) {
    app = std::make_unique<QCoreApplication>(argc, argv);
  } else {
    platform::ChooseQtPlatform(true);
    app = std::make_unique<QGuiApplication>(argc, argv);
    // The program's own font, so that a printout looks the same from here as from the window.
    InstallFontSubstitutes();
    QGuiApplication::setFont(FormFont());
  }
  platform::UseCNumbers();
  char sep = o.sep;
  if (sep == 0) sep = QLocale::system().decimalPoint().at(0).toLatin1();
  if (sep == 0) sep = '.';

  StandardOutput out(o.outputOpen);
  // Each message is given once: a bad entry stops the lines on standard output
  // and in the PDF at the same place.
  std::vector<std::string> failures;
  std::string firstCode;  // the code of the first failure, for "error_code"
  auto fail = [&](const std::string& message, const std::string& code) {
    if (firstCode.empty()) firstCode = code;
    if (std::find(failures.begin(), failures.end(), message) == failures.end()) failures.push_back(message);
  };
  // A failure other than an error value is one of printing.
  auto failWith = [&](const std::exception& e) {
    const std::string code = CodeOf(e);
    fail(MessageOf(e), code.empty() ? "print_failed" : code);
  };
  auto finish = [&](int status) {
    for (const std::string& message : failures) std::cerr << message << '\n';
    const std::string outputFailure = out.Finish();
    if (!outputFailure.empty()) std::cerr << outputFailure << '\n';
    return outputFailure.empty() && failures.empty() ? status : 1;
  };

  ProgramState st;
  TMainFormModel& form = st.form;
  std::vector<Warning> warnings;
  if (const std::optional<Error> error = LoadInputFile(o.input, form, sep, &warnings)) {
    std::string message = Message(*error);
    if (error->code == ErrorCode::TextSeparator)
      message += " Числа с этим разделителем читаются с параметром --decimal-separator " + error->detail.substr(0, 1);
    fail(message, CodeName(error->code));
    if (o.json) out.Write(JsonText(LoadFailureJson(message, firstCode)));
    return finish(1);
  }
  form.CheckBox1 = false;
  // The printout, the report and the workbook name the input file they were computed from.
  st.inputFile = QDir::toNativeSeparators(QFileInfo(QString::fromStdString(o.input)).absoluteFilePath()).toStdString();
  st.fileForm = form;
  for (const Warning& warning : warnings) std::cerr << Message(warning) << '\n';
  // The results document with what the load found.
  auto resultsJson = [&](const StiffnessMapChart* map, const std::string& error, const std::string& code) {
    QJsonObject document = ResultsJson(st.model, st.summary, map, error, code);
    AddLoadWarnings(document, warnings);
    return JsonText(document);
  };

  CliUi ui;
  ui.maxSeconds = o.maxSeconds;
  const RunOutcome outcome = RunCalculation(st, ui, sep);
  if (outcome != RunOutcome::Completed) {
    // An input error is the run's own; a stop or a refused estimate the command's.
    const std::string code = st.runError && st.runError->code != ErrorCode::Interrupted ? CodeName(st.runError->code)
                                                                                        : ui.errorCode;
    if (o.json) out.Write(resultsJson(nullptr, ui.error, code));
    return finish(1);
  }
  const std::string inputName = RunInputName(st.summary);
  const std::string title = PrintoutTitleToday(inputName);
  if (!o.json) {
    out.Write(title + "\n\n");
    try {
      WritePrintout(
          form, st.results, sep, [&](const std::string& line) { out.Write(line + "\n"); }, &st.summary);
    } catch (const std::exception& e) {
      failWith(e);
    }
  }
  // The map of the range asked for, or of the default one.
  std::optional<StiffnessMapChart> stiffnessMap;
  if (o.json || !o.xlsx.empty() || !o.report.empty())
    stiffnessMap = ChartStiffnessMap(st.model, o.stiffnessMap, st.params[kReportFactor]);
  if (!o.xlsx.empty()) {
    if (const std::optional<Error> error =
            ExportResultsWorkbook(o.xlsx, form, st.echo, st.results, sep, &st.summary, &*stiffnessMap))
      fail(Message(*error), CodeName(error->code));
  }
  if (!o.pdf.empty()) {
    try {
      QPrinter printer(QPrinter::HighResolution);
      SetUpPdfPrinter(printer, QString::fromStdString(o.pdf));
      // After a bad entry the lines before it are printed.
      RunPrintJob(printer,
                  [&](QPagedPaintDevice& device) { PrintResults(device, form, st.results, sep, &st.summary, title); });
    } catch (const std::exception& e) {
      failWith(e);
    }
  }
  if (!o.report.empty()) {
    try {
      const CalculationReport report = BuildCalculationReport(st.model, st.params, st.summary, &*stiffnessMap,
                                                              FrequencyUnit::P, ReportSourceOf(inputName, st.runTime), sep);
      QPrinter printer(QPrinter::HighResolution);
      SetUpReportPrinter(printer, QString::fromStdString(o.report));
      RunPrintJob(printer, [&](QPagedPaintDevice& device) { PrintCalculationReport(device, report); });
    } catch (const std::exception& e) {
      failWith(e);
    }
  }
  if (o.json) {
    std::string error;
    for (const std::string& message : failures) error += (error.empty() ? "" : "\n") + message;
    out.Write(resultsJson(&*stiffnessMap, error, firstCode));
  }
  return finish(0);
}
