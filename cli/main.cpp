// valoprovod-cli: loads an input file, runs the calculation without windows and
// prints the results printout or, with --json, every frequency and mode; with
// --pdf also prints the printout into a PDF file as a printer would. The run
// and its outputs are the batch run's (batch_run.h); here are the arguments,
// the exit status and the standard streams.

#include <QLocale>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch_run.h"
#include "errors.h"
#include "library_messages.h"
#include "messages.h"
#include "platform.h"
#include "printable.h"
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
  char sep = 0;            // 0: the system's
  BatchRequest batch;
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
      o.batch.json = true;
    } else if (arg == "--pdf" || arg == "--xlsx" || arg == "--report" || arg == "--decimal-separator" ||
               arg == "--max-seconds" || arg == "--stiffness-map") {
      if (i + 1 == argc) return usage("Не указано значение параметра " + arg);
      const std::string value = argv[++i];
      if (arg == "--stiffness-map") {
        StiffnessMapRange range;
        if (const std::string problem = ReadStiffnessMapRange(value, range); !problem.empty())
          return usage("Неверное значение параметра --stiffness-map: '" + Printable(value) + "' - " + problem +
                       ". Нужно НИЖНЯЯ:ВЕРХНЯЯ:ТОЧЕК, например 1E6:1E11:61.");
        o.batch.stiffnessMap = range;
      } else if (arg == "--max-seconds") {
        const auto parsed = std::from_chars(value.data(), value.data() + value.size(), o.batch.maxSeconds);
        if (parsed.ec != std::errc() || parsed.ptr != value.data() + value.size() || !(o.batch.maxSeconds >= 0))
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
        (arg == "--pdf" ? o.batch.pdf : arg == "--xlsx" ? o.batch.xlsx : o.batch.report) = value;
      }
    } else if (arg == "--help" || arg == "-h") {
      StandardOutput out(o.outputOpen);
      out.Write(kUsage);
      const std::string failure = out.Finish();
      if (!failure.empty()) std::cerr << failure << '\n';
      return failure.empty() ? 0 : 1;
    } else if (!arg.empty() && arg[0] == '-') {
      return usage("Неизвестный параметр: " + Printable(arg));
    } else if (o.batch.input.empty()) {
      o.batch.input = arg;
    } else {
      return usage("Лишний параметр: " + Printable(arg));
    }
  }
  if (o.batch.input.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  // Results written over the input, or both outputs into one file, would lose a file.
  struct Output {
    const char* option;
    const std::string* name;
    const char* what;
  };
  const Output outputs[] = {{"--pdf", &o.batch.pdf, "печатается PDF (--pdf)"},
                            {"--xlsx", &o.batch.xlsx, "записывается рабочая книга (--xlsx)"},
                            {"--report", &o.batch.report, "записывается отчет (--report)"}};
  for (const auto& [option, name, what] : outputs)
    if (!name->empty() && SameFile(*name, o.batch.input))
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
  const auto app = BatchApplication(argc, argv, !o.batch.pdf.empty() || !o.batch.report.empty());
  char sep = o.sep;
  if (sep == 0) sep = QLocale::system().decimalPoint().at(0).toLatin1();
  if (sep == 0) sep = '.';
  o.batch.decimalSeparator = sep;

  StandardOutput out(o.outputOpen);
  const std::vector<Error> failures =
      RunBatch(o.batch, {[&](std::string_view text) { out.Write(text); },
                         [](const std::string& message) { std::cerr << message << '\n'; }});
  const std::string outputFailure = out.Finish();
  if (!outputFailure.empty()) std::cerr << outputFailure << '\n';
  return outputFailure.empty() && failures.empty() ? 0 : 1;
}
