#include <gtest/gtest.h>

#include "workbook_files.h"  // before Qt, whose macro "signals" breaks GLib's headers
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <numbers>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "cli_run.h"
#include "output_files.h"
#include "pdf_text.h"
#include "printable.h"
#include "workbook_reader.h"
#include "workbook_writer.h"

namespace {

using vp::test::ChangedExample;
using vp::test::Example;
using vp::test::JsonOf;
using vp::test::Numbers;
using vp::test::Result;
using vp::test::RunCli;

double SecondsOf(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The first variant's object in the command's JSON.
QJsonObject FirstVariant(const std::string& json) { return JsonOf(json).value("variants")[0].toObject(); }

}  // namespace

TEST(Cli, JsonOfTheFreeFreeShaft) {
  const Result r = RunCli("--json --decimal-separator . " + Example("free_free_shaft.txt"));
  EXPECT_EQ(r.status, 0) << r.err;
  const QJsonObject json = JsonOf(r.out), variant = json["variants"][0].toObject();
  const std::vector<double> f = Numbers(variant["frequencies"]);
  ASSERT_EQ(f.size(), 2u) << r.out.substr(0, 200);
  EXPECT_NEAR(f[0], 2237.675, 5e-4);
  EXPECT_NEAR(f[1], 6168.90, 5e-3);
  // Cross-sections 0..100 and the states there: at the free left end y = 1 and
  // theta as solved, M = Q = 0.
  const std::vector<double> x = Numbers(json["section_x"]);
  ASSERT_EQ(x.size(), 101u);
  EXPECT_DOUBLE_EQ(x.back(), 1.0);
  const QJsonArray states = variant["modes"][0]["states"].toArray();
  ASSERT_EQ(states.size(), 101);
  const double theta = variant["modes"][0]["solution"][0].toDouble();
  EXPECT_EQ(Numbers(states[0]), (std::vector<double>{1, theta, 0, 0}));
  EXPECT_EQ(variant["frequencies_in_range"], 2);
  EXPECT_EQ(variant["missed"], QJsonArray());
  EXPECT_FALSE(json.contains("error"));
}

TEST(Cli, PrintoutByDefault) {
  const Result r = RunCli("--decimal-separator . " + Example("rotor_two_bearings.txt"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(std::string(85, ' ') + "Вариант по жесткости N 2"), std::string::npos);
  EXPECT_NE(r.out.find("Частота N 4  ------   P = "), std::string::npos);
}

TEST(Cli, BadDataGivesTheDetailedMessageAndStatusOne) {
  const std::string path = vp::test::TempPath("cli_bad.txt");
  {
    std::ifstream in(Example("free_free_shaft.txt"));
    std::ofstream out(path);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) out << (n == 2 ? "0.01 abc " + line.substr(10) : line) << "\n";
  }
  const Result r = RunCli("--json --decimal-separator . " + path);
  std::filesystem::remove(path);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Ошибка ввода данных\nХарактеристики участков, участок 2, масса: 'abc ' is not a valid floating point value"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(JsonOf(r.out)["error"].toString().startsWith("Ошибка ввода данных: Характеристики участков, участок 2")) << r.out;
}

TEST(Cli, WrongUsageAndMissingFiles) {
  EXPECT_EQ(RunCli("").status, 2);
  EXPECT_EQ(RunCli("--bogus x.txt").status, 2);
  EXPECT_EQ(RunCli("a.txt b.txt").status, 2);
  EXPECT_EQ(RunCli("--decimal-separator").status, 2);
  const Result missing = RunCli("/nonexistent/input.txt");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Не удалось открыть файл"), std::string::npos);
  const Result format = RunCli("input.csv");
  EXPECT_EQ(format.status, 1);
  EXPECT_NE(format.err.find("Неверный формат файла"), std::string::npos);
}

TEST(Cli, PdfHoldsTheSamePrintout) {
  const std::string pdf = vp::test::TempPath("cli.pdf");
  const Result r = RunCli("--decimal-separator . --pdf " + pdf + " " + Example("rotor_two_bearings.txt"));
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> pages = vp::test::PdfPages(pdf);
  ASSERT_GE(pages.size(), 2u);
  std::string printed;
  for (const std::string& page : pages) printed += page;
  EXPECT_EQ(vp::test::WithoutBlanks(printed), vp::test::WithoutBlanks(r.out));
  // Headed by the program, the date and the input file, in a fixed-pitch font.
  const std::string title = vp::test::TextLines(pages[0]).at(0);
  // (The blanks between its parts are as wide as the text extraction makes them.)
  EXPECT_EQ(title.rfind("Программа расчета собственных частот и форм колебаний валопровода ", 0), 0u) << title;
  EXPECT_NE(title.find(" Дата: "), std::string::npos) << title;
  EXPECT_EQ(title.substr(title.find("Файл исходных данных: ") + 40), Example("rotor_two_bearings.txt")) << title;
  EXPECT_EQ(vp::test::TextLines(pages[0]).at(1), "Вариант по жесткости N 1");
  EXPECT_NE(vp::test::Capture("pdffonts '" + pdf + "'").find("LiberationMono"), std::string::npos);
  EXPECT_NE(printed.find("Вариант по жесткости N 2"), std::string::npos);
  std::filesystem::remove(pdf);
}

TEST(Cli, PdfThatCannotBeWrittenOrIsNotNamed) {
  const Result r = RunCli("--decimal-separator . --pdf /nonexistent-dir/out.pdf " + Example("rotor_two_bearings.txt"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Не удалось записать файл «/nonexistent-dir/out.pdf». Нет такой папки."), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("Вариант по жесткости N 2"), std::string::npos);  // standard output as without --pdf
  const Result unnamed = RunCli(Example("rotor_two_bearings.txt") + " --pdf");
  EXPECT_EQ(unnamed.status, 2);
  EXPECT_NE(unnamed.err.find("Не указано значение параметра --pdf"), std::string::npos) << unnamed.err;
}

// Written under a Russian locale, whose decimal separator is the comma, the workbook is as under C.UTF-8.
TEST(Cli, AnExportedWorkbookLoadsBackToTheSameFrequencies) {
  const std::string book = vp::test::TempPath("cli_book.xlsx"), c = vp::test::TempPath("cli_c.xlsx");
  const std::string args = "--json --decimal-separator . --xlsx ", input = " " + Example("rotor_two_bearings.txt");
  const Result first = RunCli(args + book + input, "LC_ALL=ru_RU.UTF-8 ");
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(RunCli(args + c + input, "LC_ALL=C.UTF-8 ").out, first.out);
  EXPECT_TRUE(vp::test::PartsWithoutTime(c) == vp::test::PartsWithoutTime(book));
  const Result second = RunCli("--json --decimal-separator . " + book);
  std::filesystem::remove(book);
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(FirstVariant(second.out)["frequencies"], FirstVariant(first.out)["frequencies"]);
  EXPECT_EQ(JsonOf(second.out)["section_x"], JsonOf(first.out)["section_x"]);
}

// ---- Failures that must not pass for success -------------------------------

TEST(Cli, StandardOutputThatCannotBeWrittenFails) {
  for (const char* json : {"--json ", ""}) {
    const Result r = RunCli(std::string(json) + "--decimal-separator . " + Example("rotor_two_bearings.txt") + " >/dev/full");
    EXPECT_EQ(r.status, 1) << json;
    EXPECT_EQ(r.err, "Не удалось записать результаты в стандартный вывод. Нет места на диске.\n") << json;
  }
  EXPECT_EQ(RunCli("--help >/dev/full").status, 1);
}

// A closed standard stream's descriptor is the first one free: the command must
// not let Qt, the input or a new PDF or workbook take it, where results or
// muted library messages would be written into them.
TEST(Cli, ClosedStandardStreamsAreNeverReusedForFiles) {
  const std::string dir = vp::test::FreshDir("cli_closed");
  const std::string pdf = dir + "/out.pdf", book = dir + "/out.xlsx";
  const std::string args =
      "--decimal-separator . --pdf " + pdf + " --xlsx " + book + " " + Example("rotor_two_bearings.txt");
  const Result closedOutput = RunCli(args + " >&-");
  EXPECT_EQ(closedOutput.status, 1);
  EXPECT_EQ(closedOutput.err, "Не удалось записать результаты в стандартный вывод. Стандартный вывод закрыт.\n");
  EXPECT_EQ(RunCli("--help >&-").status, 1);
  const Result closedInput = RunCli(args + " <&-");
  EXPECT_EQ(closedInput.status, 0) << closedInput.err;
  EXPECT_NE(closedInput.out.find("Вариант по жесткости N 2"), std::string::npos);
  const size_t sheets = vp::ReadWorkbookInfo(book).sheets.size();

  // All three closed: the command fails (its results had nowhere to go), and
  // the files it wrote are whole.
  for (const std::string& file : {pdf, book}) std::filesystem::remove(file);
  const int status = std::system((std::string(VP_CLI) + " " + args + " <&- >&- 2>&-").c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
  const std::vector<std::string> pages = vp::test::PdfPages(pdf);
  ASSERT_FALSE(pages.empty());
  EXPECT_NE(pages[0].find("Вариант по жесткости N 1"), std::string::npos);
  EXPECT_EQ(vp::ReadWorkbookInfo(book).sheets.size(), sheets);
  EXPECT_EQ(vp::test::DirEntries(dir), (std::vector<std::string>{"out.pdf", "out.xlsx"}));
}

TEST(Cli, JsonAnswersALoadFailureWithAnErrorObject) {
  const Result missing = RunCli("--json /nonexistent/input.txt");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "{\"error\":\"Не удалось открыть файл '/nonexistent/input.txt'. Нет такого файла или папки.\","
                         "\"error_code\":\"file_open\"}\n");
  EXPECT_EQ(missing.err, "Не удалось открыть файл '/nonexistent/input.txt'. Нет такого файла или папки.\n");
  // The examples use '.': read with ',' they fail with that reason and the way out.
  const Result comma = RunCli("--json --decimal-separator , " + Example("free_free_shaft.txt"));
  EXPECT_EQ(comma.status, 1);
  EXPECT_EQ(comma.out.rfind("{\"error\":\"Строка 1, участок 1, длина: число '0.01 ' записано с десятичным разделителем '.', "
                            "а ожидается разделитель ','. Числа с этим разделителем читаются с параметром --decimal-separator .\","
                            "\"error_code\":\"text_separator\"}", 0),
            0u)
      << comma.out;
}

TEST(Cli, BadOptionValuesAreNamed) {
  const std::pair<std::string, std::string> cases[] = {
      {"--decimal-separator ab x.txt", "Неверное значение параметра --decimal-separator: 'ab'."},
      {"--decimal-separator 5 x.txt", "Неверное значение параметра --decimal-separator: '5'."},
      {"--decimal-separator '' x.txt", "Неверное значение параметра --decimal-separator: ''."},
      {"--pdf '' x.txt", "Неверное значение параметра --pdf: '' - пустое имя файла."},
      {"--xlsx '' x.txt", "Неверное значение параметра --xlsx: '' - пустое имя файла."},
      {"\"$(printf -- '--\\033[2J')\" x.txt", "Неизвестный параметр: --\\x1B[2J"},
      // Bytes that are no UTF-8 would give the printed file another name.
      {"--pdf \"$(printf 'out\\377.pdf')\" x.txt",
       "Неверное значение параметра --pdf: 'out\xEF\xBF\xBD.pdf' - в имени файла есть знаки не в кодировке UTF-8."},
      {"--xlsx \"$(printf 'out\\377.xlsx')\" x.txt",
       "Неверное значение параметра --xlsx: 'out\xEF\xBF\xBD.xlsx' - в имени файла есть знаки не в кодировке UTF-8."},
      // An output over the input, or both outputs into one file.
      {"--pdf x.txt x.txt", "Неверное значение параметра --pdf: 'x.txt' - это файл исходных данных."},
      {"--xlsx ./x.xlsx x.xlsx", "Неверное значение параметра --xlsx: './x.xlsx' - это файл исходных данных."},
      {"--pdf o.pdf --xlsx ./o.pdf x.txt", "Неверное значение параметра --xlsx: './o.pdf' - в этот же файл печатается PDF (--pdf)."},
      {"--xlsx o.pdf --report ./o.pdf x.txt",
       "Неверное значение параметра --report: './o.pdf' - в этот же файл записывается рабочая книга (--xlsx)."},
      {"--report x.txt x.txt", "Неверное значение параметра --report: 'x.txt' - это файл исходных данных."},
  };
  for (const auto& [args, message] : cases) {
    const Result r = RunCli(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.err.rfind(message, 0), 0u) << args << ": " << r.err;
  }
}

// The input, reached through a link, is not replaced by the results.
TEST(Cli, TheInputIsNeverAnOutput) {
  const std::string dir = vp::test::FreshDir("cli_same");
  const std::string input = vp::test::ReadFile(Example("rotor_two_bearings.txt"));
  vp::test::WriteFile(dir + "/in.txt", input);
  std::filesystem::create_symlink(dir + "/in.txt", dir + "/link.pdf");
  const Result r = RunCli("--decimal-separator . --pdf " + dir + "/link.pdf " + dir + "/in.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("Неверное значение параметра --pdf: '" + dir + "/link.pdf' - это файл исходных данных.", 0), 0u)
      << r.err;
  EXPECT_EQ(vp::test::ReadFile(dir + "/in.txt"), input);
}

TEST(Cli, WriteProtectedOutputsAreRefusedAndNamedInTheJson) {
  const std::string dir = vp::test::FreshDir("cli_protected");
  const char* const names[] = {"/out.pdf", "/out.xlsx", "/report.pdf"};
  for (const char* name : names) vp::test::WriteFileWithMode(dir + name, "old", std::filesystem::perms(0444));
  const Result r = RunCli("--json --decimal-separator . --pdf " + dir + "/out.pdf --xlsx " + dir + "/out.xlsx --report " +
                          dir + "/report.pdf " + Example("rotor_two_bearings.txt"));
  EXPECT_EQ(r.status, 1);
  const std::string refusals = "Файл «" + dir + "/out.xlsx» защищен от записи.\nФайл «" + dir +
                               "/out.pdf» защищен от записи.\nФайл «" + dir + "/report.pdf» защищен от записи.";
  EXPECT_EQ(r.err, refusals + "\n");
  EXPECT_EQ(JsonOf(r.out)["error"].toString().toStdString(), refusals);
  EXPECT_EQ(FirstVariant(r.out)["frequencies"].toArray().size(), 4);  // what was computed is there
  for (const char* name : names) {
    EXPECT_EQ(vp::test::ReadFile(dir + name), "old");
    EXPECT_EQ(vp::test::Mode(dir + name), std::filesystem::perms(0444));
  }
}

// Only the command's own messages reach the terminal: no Qt warnings (one is
// given when XDG_RUNTIME_DIR is unset), no English lines of the workbook library.
TEST(Cli, OutputsIntoAFullDiskFailAndKeepTheOldFiles) {
  vp::test::FullDisk disk("cli_full");
  VP_SKIP_WITHOUT(disk);
  for (const char* name : {"out.pdf", "out.xlsx"}) vp::test::WriteFile(disk.Path(name), "old");
  disk.Fill();
  const Result r = RunCli("--decimal-separator . --pdf " + disk.Path("out.pdf") + " --xlsx " + disk.Path("out.xlsx") +
                          " " + Example("rotor_two_bearings.txt"), "env -u XDG_RUNTIME_DIR ");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Не удалось записать файл «" + disk.Path("out.xlsx") + "». Нет места на диске.\n" +
                       "Не удалось записать файл «" + disk.Path("out.pdf") + "». Нет места на диске.\n");
  for (const char* name : {"out.pdf", "out.xlsx"}) EXPECT_EQ(vp::test::ReadFile(disk.Path(name)), "old") << name;
  EXPECT_EQ(vp::test::DirEntries(disk.Dir()), (std::vector<std::string>{"filler", "out.pdf", "out.xlsx"}));
  EXPECT_NE(r.out.find("Вариант по жесткости N 2"), std::string::npos);
}

TEST(Cli, JsonStaysValidUtf8WhateverTheInputHolds) {
  const std::string dir = vp::test::FreshDir("cli_bytes");
  const std::string path = dir + "/bytes.txt";
  {
    std::ifstream in(Example("free_free_shaft.txt"));
    std::ofstream out(path, std::ios::binary);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) out << (n == 2 ? "0.01 \xFF\x1B[2J " + line.substr(10) : line) << "\n";
  }
  const Result r = RunCli("--json --decimal-separator . " + path);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(vp::ValidUtf8(r.out), r.out);
  EXPECT_NE(r.out.find("участок 2, масса: '\xEF\xBF\xBD\\\\x1B[2J ' is not a valid floating point value"), std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
}


// ---- How long a search takes ----------------------------------------------------

// Lines of the example: 2 masses, 10 KP, 14 FT1, 15 FK.
TEST(Cli, AHugeUpperBoundRunsAndAnEarlyEndIsReported) {
  const ChangedExample unbounded({{10, "2"}, {15, "1E9"}});
  Result r;
  EXPECT_LT(SecondsOf([&] { r = RunCli("--json --decimal-separator . " + unbounded.path); }), 10);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(FirstVariant(r.out)["frequencies"].toArray().size(), 2);
  EXPECT_EQ(r.out.find("ended_early_at"), std::string::npos);  // KP reached

  // KP = 3 up to FK = 100 holds two: the walk ends after the second (61.69).
  const Result example = RunCli("--json --decimal-separator . " + Example("free_free_shaft.txt"));
  const QJsonObject variant = FirstVariant(example.out);
  ASSERT_TRUE(variant["walk_ended_at"].isDouble()) << example.out.substr(example.out.size() - 200);
  EXPECT_NEAR(variant["walk_ended_at"].toDouble(), Numbers(variant["frequencies"]).at(1) + 1, 1e-6);
}

TEST(Cli, MaxSecondsStopsALongRunBeforeComputing) {
  const ChangedExample slow({{14, "1E-6"}});  // 6E7 trials up to the second frequency
  Result r;
  EXPECT_LT(SecondsOf([&] { r = RunCli("--json --decimal-separator . --max-seconds 2 " + slow.path); }), 10);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("Расчет займет около ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find(" мин.\nРасчет не выполнен: по оценке он займет больше 2 с (--max-seconds)\n"), std::string::npos)
      << r.err;
  const QJsonObject json = JsonOf(r.out);
  EXPECT_EQ(json["variants"], QJsonArray()) << r.out;
  EXPECT_FALSE(json.contains("frequency_map"));
  EXPECT_TRUE(json["error"].toString().startsWith("Расчет не выполнен"));
}

// Without --max-seconds a run estimated beyond an hour is not started (it
// would run on unseen); --max-seconds 0 sets no limit.
TEST(Cli, WithoutMaxSecondsARunBeyondAnHourIsNotStarted) {
  const ChangedExample endless({{14, "1E-10"}, {17, "1E-12"}});  // 6E11 trials up to the second frequency
  const Result refused = RunCli("--json --decimal-separator . " + endless.path, "timeout 60 ");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(JsonOf(refused.out)["error_code"], "estimate_beyond_hour");
  EXPECT_TRUE(refused.err.ends_with("мин.). Без ограничения времени расчет выполняется с параметром --max-seconds 0\n"));
  const Result unlimited = RunCli("--decimal-separator . --max-seconds 0 " + Example("free_free_shaft.txt"));
  EXPECT_EQ(unlimited.status, 0) << unlimited.err;
}

// An empty cell of an input workbook is read as 0 and named after the load.
TEST(Cli, EmptyCellsOfAWorkbookAreNamed) {
  const std::string path = vp::test::TempPath("cli_empty.xlsx");
  vp::WorkbookWriter book(path);
  vp::WorksheetWriter& sheet = book.AddWorksheet("Исходные данные");
  const double values[] = {1, 1, 1, 1, 1, 1, 100, 1, 1e-10, 1e-6, 1, 1, 0, 0, 0, 1, 1, 1};  // B1..B18; B22 empty
  for (int r = 1; r <= 18; ++r) sheet.WriteNumber(r, 2, values[r - 1]);
  book.Save();
  const Result r = RunCli("--json --decimal-separator . " + path);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "Лист «Исходные данные»: пустая ячейка B22 прочитана как 0\n");
  EXPECT_EQ(JsonOf(r.out)["empty_cells"], QJsonArray{"B22"});
}

TEST(Cli, MaxSecondsAlsoBoundsARunThatCannotBeEstimated) {
  // A negative mass: no count, no estimate; the walk goes on until the limit.
  std::ifstream in(Example("free_free_shaft.txt"));
  std::string masses;
  std::getline(in, masses);
  std::getline(in, masses);
  const ChangedExample uncounted({{2, "-" + masses}, {14, "1E-6"}});
  Result r;
  const double seconds = SecondsOf([&] { r = RunCli("--decimal-separator . --max-seconds 0.5 " + uncounted.path); });
  EXPECT_GT(seconds, 0.5);
  EXPECT_LT(seconds, 10);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Масса участка 1 отрицательна (m = -0.01).\nРасчет прерван: он идет дольше 0.5 с (--max-seconds)\n");
}

TEST(Cli, MaxSecondsNeedsANumberOfSeconds) {
  for (const std::string bad : {"abc", "-1", "1s", "", "nan"}) {
    const Result r = RunCli("--max-seconds '" + bad + "' " + Example("free_free_shaft.txt"));
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_EQ(r.err.rfind("Неверное значение параметра --max-seconds: '" + bad + "'. Нужно число секунд", 0), 0u) << r.err;
  }
  const Result missing = RunCli(Example("free_free_shaft.txt") + " --max-seconds");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("Не указано значение параметра --max-seconds"), std::string::npos);
  // A short run within the limit says nothing of its time.
  const Result quick = RunCli("--decimal-separator . --max-seconds 100 " + Example("free_free_shaft.txt"));
  EXPECT_EQ(quick.status, 0);
  EXPECT_EQ(quick.err, "");
}

namespace {

struct MapEntry {
  int ordinal;
  std::vector<std::optional<double>> frequencies, mac;  // none where null
};

// The entries of the "frequency_map" member, in order.
std::vector<MapEntry> FrequencyMap(const std::string& json) {
  std::vector<MapEntry> entries;
  auto numbers = [](const QJsonValue& array) {
    std::vector<std::optional<double>> items;
    for (const QJsonValue& v : array.toArray()) items.push_back(v.isNull() ? std::nullopt : std::optional(v.toDouble()));
    return items;
  };
  for (const QJsonValue& line : JsonOf(json)["frequency_map"].toArray())
    entries.push_back({line["ordinal"].toInt(), numbers(line["frequencies"]), numbers(line["mac"])});
  return entries;
}

// A text input file: the steel rotor of 2 m in 20 sections of 0.1 m (diameter
// 0.1 m) on bearings at cross-sections 2 and 18 of 1e7 and 1e8 N/m, with a
// disc of 100 kg entered as a section of length 0 after the tenth.
std::string DiscRotorFile() {
  const std::string path = vp::test::TempPath("cli_disc.txt");
  std::ofstream out(path);
  for (int row = 0; row < 3; ++row) {
    for (int k = 1; k <= 21; ++k) {
      const bool disc = k == 11;
      const char* values[] = {disc ? "0" : "0.1", disc ? "100" : "6.1654", "1030835.5"};
      out << values[row] << ' ';
    }
    out << '\n';
  }
  out << "2 19 \n10 21 \n10000000 10000000 \n100000000 100000000 \n2\n21\n4\n2\n2\n10\n5\n3000\n1E-10\n1E-6\n";
  return path;
}

}  // namespace

TEST(Cli, JsonFrequencyMapFollowsTrueOrdinalsAcrossTheVariants) {
  const Result r = RunCli("--json --decimal-separator . " + Example("rotor_two_bearings.txt"));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<MapEntry> map = FrequencyMap(r.out);
  const std::vector<double> first = Numbers(FirstVariant(r.out)["frequencies"]);  // variant 1's, all confirmed
  ASSERT_EQ(map.size(), first.size()) << r.out.substr(0, 400);
  ASSERT_GE(map.size(), 2u);
  for (size_t n = 0; n < map.size(); ++n) {
    EXPECT_EQ(map[n].ordinal, static_cast<int>(n) + 1);
    ASSERT_EQ(map[n].frequencies.size(), 2u);
    ASSERT_EQ(map[n].mac.size(), 1u);
    EXPECT_EQ(map[n].frequencies[0], first[n]);
    if (!map[n].frequencies[1]) {  // above FK for the stiffer bearings
      EXPECT_EQ(map[n].mac[0], std::nullopt);
      continue;
    }
    // Stiffer bearings: every ordinal rises.
    EXPECT_LT(*map[n].frequencies[0], *map[n].frequencies[1]) << n;
    ASSERT_TRUE(map[n].mac[0]) << n;
    const double mac = *map[n].mac[0];
    EXPECT_GE(mac, 0);
    EXPECT_LE(mac, 1);
  }
  EXPECT_NE(map[1].frequencies[1], std::nullopt);
  for (const QJsonValue& variant : JsonOf(r.out)["variants"].toArray()) EXPECT_EQ(variant["doubtful"], QJsonArray());
}

TEST(Cli, TheTextOutputEndsEachVariantWithItsCheck) {
  const Result r = RunCli("--decimal-separator . " + Example("free_free_coarse_step.txt"));
  ASSERT_EQ(r.status, 0) << r.err;
  const size_t check = r.out.find("\nВариант № 1: найдено 1 из 3 собственных частот диапазона от ");
  ASSERT_NE(check, std::string::npos) << r.out;
  EXPECT_GT(check, r.out.rfind("Частота N 1 (собственная № 3)  ------   P = "));
  EXPECT_NE(r.out.find("\nВнимание: пропущены частоты в диапазонах ", check), std::string::npos);
  EXPECT_NE(r.out.find("Собственная частота № 4 не найдена в диапазоне до "), std::string::npos);
  EXPECT_EQ(r.out.find("№ 3 не найдена"), std::string::npos);  // an empty place never names a found one
}

TEST(Cli, ADiscEnteredAsAPointMassKeepsTheCheck) {
  const std::string path = DiscRotorFile();
  const Result json = RunCli("--json --decimal-separator . " + path);
  const Result text = RunCli("--decimal-separator . " + path);
  const std::string pdf = path + ".pdf";
  const Result printed = RunCli("--decimal-separator . --pdf " + pdf + " " + path);
  std::filesystem::remove(path);
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out.find("check_problem"), std::string::npos);
  for (const QJsonValue& variant : JsonOf(json.out)["variants"].toArray()) {
    EXPECT_EQ(variant["frequencies_in_range"], 4) << json.out;
    EXPECT_EQ(variant["missed"], QJsonArray());
    EXPECT_EQ(variant["doubtful"], QJsonArray());
  }
  EXPECT_EQ(FrequencyMap(json.out).size(), 4u);
  EXPECT_NE(text.out.find("Вариант № 2: найдено 4 из 4 собственных частот"), std::string::npos) << text.out;
  ASSERT_EQ(printed.status, 0) << printed.err;
  std::string pages;
  for (const std::string& page : vp::test::PdfPages(pdf)) pages += page;
  std::filesystem::remove(pdf);
  EXPECT_NE(vp::test::WithoutBlanks(pages).find(vp::test::WithoutBlanks("Вариант № 1: найдено 4 из 4 собственных частот")),
            std::string::npos);
}

TEST(Cli, WhereTheCheckCannotCountEveryOutputSaysSo) {
  // A negative mass: the frequencies are computed, their number cannot be counted.
  const std::string path = vp::test::TempPath("cli_neg.txt");
  {
    std::ifstream in(Example("free_free_shaft.txt"));
    std::ofstream out(path);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) out << (n == 2 ? "-0.01 " + line.substr(line.find(' ') + 1) : line) << "\n";
  }
  const Result json = RunCli("--json --decimal-separator . " + path);
  const Result text = RunCli("--decimal-separator . " + path);
  std::filesystem::remove(path);
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(FirstVariant(json.out)["check_problem"], "участок 1: масса должна быть не меньше нуля");
  EXPECT_EQ(json.out.find("frequencies_in_range"), std::string::npos);
  EXPECT_NE(text.out.find("проверить, все ли частоты диапазона найдены, нельзя (участок 1: масса должна быть не меньше нуля)."),
            std::string::npos);
}

TEST(Cli, JsonGivesTheContinuousShaftBesideTheFoundFrequenciesWithHertzAndRpm) {
  // The uniform free-free shaft: its continuous model is exact, P = 100 (beta L)^2.
  const Result r = RunCli("--json --decimal-separator . " + Example("free_free_shaft.txt"));
  EXPECT_EQ(r.status, 0) << r.err;
  const QJsonObject variant = FirstVariant(r.out);
  const std::vector<double> f = Numbers(variant["frequencies"]);
  const std::vector<double> continuous = Numbers(variant["continuous_frequencies"]);
  const std::vector<double> hz = Numbers(variant["hz"]), rpm = Numbers(variant["rpm"]);
  ASSERT_EQ(f.size(), 2u);
  ASSERT_EQ(continuous.size(), 2u);
  ASSERT_EQ(hz.size(), 2u);
  ASSERT_EQ(rpm.size(), 2u);
  const double betaL[] = {4.730040744862704, 7.853204624095838};
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(continuous[i], 100 * betaL[i] * betaL[i], 1e-10 * continuous[i]);
    EXPECT_NEAR(hz[i], f[i] / 100 / (2 * std::numbers::pi), 1e-14 * hz[i]);
    EXPECT_NEAR(rpm[i], 60 * hz[i], 1e-12 * rpm[i]);
  }
  // Its range (100 to 10000) holds these two.
  EXPECT_EQ(Numbers(variant["continuous_in_range"]), continuous);
  EXPECT_EQ(r.out.find("continuous_problem"), std::string::npos);
}

TEST(Cli, TheContinuousShaftsLinesAndWhenItCannotBeSolvedSayingSo) {
  // 20 sections of 0.1 m: the higher frequencies are off by more than 1 %.
  const Result coarse = RunCli("--decimal-separator . " + Example("rotor_coarse_sections.txt"));
  EXPECT_EQ(coarse.status, 0) << coarse.err;
  EXPECT_NE(coarse.out.find("\nВариант № 2: непрерывная модель вала (масса каждого участка распределена по его длине), "
                            "собственных частот в диапазоне от 100 до 800000: 5; Гц и об/мин - при единицах СИ.\n"
                            "Частота № 1: P = 81152.12414 (129.158 Гц, 7749.46 об/мин); непрерывная модель: P = 81132.46275 "),
            std::string::npos);
  EXPECT_NE(coarse.out.find("отличие -22.43 % !\n"), std::string::npos);
  EXPECT_NE(coarse.out.find("\nВнимание: отличие больше 1 % (знак !) - участки слишком длинные: разбейте вал на большее "
                            "число более коротких участков.\n"),
            std::string::npos);
  // A negative mass: the lumped sweep runs, the continuous shaft cannot be solved.
  std::string masses = "-0.01 ";
  for (int i = 2; i <= 100; ++i) masses += "0.01 ";
  ChangedExample negative({{2, masses}});
  const Result r = RunCli("--json --decimal-separator . " + negative.path);
  const QJsonObject variant = FirstVariant(r.out);
  EXPECT_EQ(variant["continuous_problem"], "участок 1: масса должна быть не меньше нуля") << r.out.substr(r.out.size() - 400);
  EXPECT_EQ(variant["continuous_frequencies"], (QJsonArray{QJsonValue(), QJsonValue()}));
  EXPECT_EQ(variant["continuous_in_range"], QJsonArray());
  const Result text = RunCli("--decimal-separator . " + negative.path);
  EXPECT_NE(text.out.find("\nВариант № 1: непрерывная модель вала не рассчитана: участок 1: масса должна быть не меньше "
                          "нуля.\n"),
            std::string::npos);
}

// A support at cross-section 0 takes no part: the printout says so after each
// variant and the document names it.
TEST(Cli, ASupportOutsideTheShaftIsNamedInThePrintoutAndTheDocument) {
  const ChangedExample outside({{4, "0 "}});
  const std::string warning =
      "Внимание: опора 1 стоит в сечении 0 и не участвует в расчете: опоры действуют в сечениях от 1 до 100 (сечение "
      "100 замыкает последний пролет).";
  const Result text = RunCli("--decimal-separator . " + outside.path);
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find(warning + "\n"), std::string::npos);
  const QJsonObject document = JsonOf(RunCli("--json --decimal-separator . " + outside.path).out);
  EXPECT_EQ(Numbers(document["inactive_supports"]), std::vector<double>{1});
  EXPECT_EQ(document["warnings"].toArray().first().toString().toStdString(), warning);
}
