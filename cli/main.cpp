// valoprovod-cli: loads an input file, runs the calculation without windows and
// prints the results printout or, with --json, every frequency and mode; with
// --pdf also prints the printout into a PDF file as a printer would.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QPrinter>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "calculation_run.h"
#include "errors.h"
#include "form_kit.h"
#include "input_loader.h"
#include "line_printer.h"
#include "results_export.h"
#include "results_printout.h"

namespace {

using namespace vp;

constexpr const char* kUsage =
    "Использование: valoprovod-cli [--json] [--pdf ВЫХОД] [--xlsx ВЫХОД] [--decimal-separator C] ФАЙЛ\n"
    "  ФАЙЛ                     исходные данные (.txt, .xls, .xlsx)\n"
    "  --json                   вывести частоты и формы колебаний в формате JSON\n"
    "  --pdf ВЫХОД              напечатать результаты в файл PDF (A4, 600 точек на дюйм)\n"
    "  --xlsx ВЫХОД             записать рабочую книгу с результатами и графиками форм колебаний\n"
    "  --decimal-separator C    десятичный разделитель чисел (по умолчанию - системный)\n";

std::string Number(double value) {
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

class CliUi : public RunUi {
 public:
  std::string error;

  bool ConfirmEcho(const TInputFormModel&) override { return true; }
  ModeShapeDisplay* ModeDisplay() override { return nullptr; }
  void ShowResults() override {}
  void ShowMessage(const std::string& text) override { std::cerr << text << '\n'; }
  void ShowInputError(const std::string& detail) override {
    std::cerr << "Ошибка ввода данных\n" << detail << '\n';
    error = "Ошибка ввода данных: " + detail;
  }
  void ShowInterrupted() override {
    std::cerr << "Расчет прерван\n";
    error = "Расчет прерван";
  }
};

// Every variant solved appears, those without a frequency too, and after a
// failure the variant that failed with what it had found.
void PrintJson(const TShaftModel& model, const TSearchParams& params, const ResultsSummary& summary,
               const std::string& error) {
  auto list = [](const auto& items, auto&& format) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + format(items[i]);
    return out + "]";
  };
  std::string out = "{\"section_x\": [";
  for (int k = 1; !summary.variants.empty() && k <= model.KM; ++k) out += (k > 1 ? ", " : "") + Number(model.SectionX[k]);
  out += "], \"variants\": ";
  const double factor = params[kReportFactor];
  out += list(summary.variants, [&](const VariantResult& v) {
    std::string text = "{\"variant\": " + std::to_string(v.variant);
    text += ", \"frequencies\": " + list(v.modes, [](const ModeData& m) { return Number(m.F); });
    text += ", \"modes\": " + list(v.modes, [&](const ModeData& m) {
      return "{\"frequency\": " + Number(m.F) + ", \"states\": " + list(m.states, [](const State& st) {
               return "[" + Number(st[0]) + ", " + Number(st[1]) + ", " + Number(st[2]) + ", " + Number(st[3]) + "]";
             }) +
             ", \"solution\": " + list(m.solution, Number) + "}";
    });
    if (v.completeness.checked) {
      text += ", \"frequencies_in_range\": " + std::to_string(v.completeness.inRange);
      text += ", \"missed\": " + list(v.completeness.missed, [&](const std::pair<double, double>& r) {
                return "[" + Number(r.first * factor) + ", " + Number(r.second * factor) + "]";
              });
    }
    return text + "}";
  });
  if (!error.empty()) out += ", \"error\": " + JsonString(error);
  out += "}\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  bool json = false;
  char sep = 0;
  std::string input;
  std::string pdf;
  std::string xlsx;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--json") {
      json = true;
    } else if (arg == "--decimal-separator" && i + 1 < argc && std::string(argv[i + 1]).size() == 1) {
      sep = argv[++i][0];
    } else if (arg == "--pdf" && i + 1 < argc && argv[i + 1][0] != '\0') {
      pdf = argv[++i];
    } else if (arg == "--xlsx" && i + 1 < argc && argv[i + 1][0] != '\0') {
      xlsx = argv[++i];
    } else if ((arg == "--pdf" || arg == "--xlsx" || arg == "--decimal-separator") && i + 1 == argc) {
      std::cerr << "Не указано значение параметра " << arg << "\n" << kUsage;
      return 2;
    } else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (!arg.empty() && arg[0] == '-') {
      std::cerr << "Неизвестный параметр: " << arg << "\n" << kUsage;
      return 2;
    } else if (input.empty()) {
      input = arg;
    } else {
      std::cerr << "Лишний параметр: " << arg << "\n" << kUsage;
      return 2;
    }
  }
  if (input.empty()) {
    std::cerr << kUsage;
    return 2;
  }

  // Printing needs the GUI part of Qt (fonts, painting); without a window it
  // runs on the offscreen platform, so that no display is needed.
  std::unique_ptr<QCoreApplication> app;
  if (pdf.empty()) {
    app = std::make_unique<QCoreApplication>(argc, argv);
  } else {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QGuiApplication>(argc, argv);
    // The program's own font, so that a printout looks the same from here as from the window.
    InstallFontSubstitutes();
    QGuiApplication::setFont(FormFont());
  }
  if (sep == 0) sep = QLocale::system().decimalPoint().at(0).toLatin1();
  if (sep == 0) sep = '.';

  ProgramState st;
  TMainFormModel& form = st.form;
  try {
    LoadInputFile(input, form, sep);
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
  form.CheckBox1 = false;

  CliUi ui;
  const RunOutcome outcome = RunCalculation(st, ui, sep);
  // Messages of the printout, each given once: a bad entry stops the lines on
  // standard output and in the PDF at the same place.
  std::vector<std::string> failures;
  auto fail = [&](const std::string& message) {
    if (std::find(failures.begin(), failures.end(), message) == failures.end()) failures.push_back(message);
  };
  if (json) {
    PrintJson(st.model, st.params, st.summary, ui.error);
    if (outcome != RunOutcome::Completed) return 1;
  } else {
    if (outcome != RunOutcome::Completed) return 1;
    try {
      WritePrintout(form, st.results, sep, [](const std::string& line) { std::cout << line << '\n'; });
    } catch (const std::exception& e) {
      fail(e.what());
    }
    std::cout.flush();
  }
  if (!xlsx.empty()) {
    try {
      ExportResultsWorkbook(xlsx, form, st.echo, st.results, sep, &st.summary);
    } catch (const std::exception& e) {
      fail(e.what());
    }
  }
  if (!pdf.empty()) {
    try {
      QPrinter printer(QPrinter::HighResolution);
      SetUpPdfPrinter(printer, QString::fromLocal8Bit(pdf.c_str()));
      PrintResults(printer, form, st.results, sep);  // after a bad entry the lines before it are printed
    } catch (const std::exception& e) {
      fail(e.what());
    }
  }
  for (const std::string& message : failures) std::cerr << message << '\n';
  return failures.empty() ? 0 : 1;
}
