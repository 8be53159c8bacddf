#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <filesystem>
#include <fstream>
#include <string>

#include "output_files.h"
#include "pdf_text.h"
#include "printable.h"

namespace {

struct Result {
  int status;
  std::string out;
  std::string err;
};

// Runs the command through the shell, after `prefix` (such as "env -u NAME ").
Result RunCli(const std::string& args, const std::string& prefix = "") {
  const std::string errFile = std::filesystem::temp_directory_path() / ("vp_cli_err_" + std::to_string(::getpid()));
  const std::string command = prefix + std::string(VP_CLI) + " " + args + " 2>" + errFile;
  Result r{};
  FILE* pipe = popen(command.c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(errFile);
  r.err.assign(std::istreambuf_iterator<char>(err), {});
  std::filesystem::remove(errFile);
  return r;
}

std::string Example(const std::string& name) { return std::string(VP_EXAMPLES_DIR) + "/" + name; }

// free_free_shaft.txt with some of its lines (numbered from 1) replaced, as a
// temporary file that removes itself.
struct ChangedExample {
  std::string path;
  explicit ChangedExample(const std::map<int, std::string>& lines)
      : path(std::filesystem::temp_directory_path() / ("vp_cli_changed_" + std::to_string(::getpid()) + ".txt")) {
    std::ifstream in(Example("free_free_shaft.txt"));
    std::ofstream out(path);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) out << (lines.count(n) ? lines.at(n) : line) << "\n";
  }
  ~ChangedExample() { std::filesystem::remove(path); }
};

double SecondsOf(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The numbers following `key` in a JSON text, up to the closing bracket.
std::vector<double> NumbersAfter(const std::string& json, const std::string& key) {
  std::vector<double> values;
  size_t at = json.find(key);
  if (at == std::string::npos) return values;
  at = json.find('[', at) + 1;
  const size_t end = json.find(']', at);
  while (at < end) {
    size_t used = 0;
    values.push_back(std::stod(json.substr(at, end - at), &used));
    at += used;
    at = json.find_first_not_of(", ", at);
  }
  return values;
}

}  // namespace

TEST(Cli, JsonOfTheFreeFreeShaft) {
  const Result r = RunCli("--json --decimal-separator . " + Example("free_free_shaft.txt"));
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<double> f = NumbersAfter(r.out, "\"frequencies\"");
  ASSERT_EQ(f.size(), 2u) << r.out.substr(0, 200);
  EXPECT_NEAR(f[0], 2237.675, 5e-4);
  EXPECT_NEAR(f[1], 6168.90, 5e-3);
  const std::vector<double> x = NumbersAfter(r.out, "\"section_x\"");
  ASSERT_EQ(x.size(), 100u);
  EXPECT_DOUBLE_EQ(x.back(), 1.0);
  EXPECT_NE(r.out.find("\"solution\": ["), std::string::npos);
  EXPECT_NE(r.out.find("\"frequencies_in_range\": 2, \"missed\": []"), std::string::npos);
  EXPECT_EQ(r.out.find("\"error\""), std::string::npos);
}

TEST(Cli, PrintoutByDefault) {
  const Result r = RunCli("--decimal-separator . " + Example("rotor_two_bearings.txt"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(std::string(85, ' ') + "Вариант по жесткости N 2"), std::string::npos);
  EXPECT_NE(r.out.find("Частота N 4  ------   P = "), std::string::npos);
}

TEST(Cli, BadDataGivesTheDetailedMessageAndStatusOne) {
  const std::string path = std::filesystem::temp_directory_path() / ("vp_cli_bad_" + std::to_string(::getpid()) + ".txt");
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
  EXPECT_NE(r.out.find("\"error\": \"Ошибка ввода данных: Характеристики участков, участок 2"), std::string::npos);
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
  const std::string pdf = std::filesystem::temp_directory_path() / ("vp_cli_" + std::to_string(::getpid()) + ".pdf");
  const Result r = RunCli("--decimal-separator . --pdf " + pdf + " " + Example("rotor_two_bearings.txt"));
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> pages = vp::test::PdfPages(pdf);
  std::filesystem::remove(pdf);
  ASSERT_GE(pages.size(), 2u);
  std::string printed;
  for (const std::string& page : pages) printed += page;
  EXPECT_EQ(vp::test::WithoutBlanks(printed), vp::test::WithoutBlanks(r.out));
  EXPECT_EQ(vp::test::TextLines(pages[0]).at(0), "Вариант по жесткости N 1");
  EXPECT_NE(printed.find("Вариант по жесткости N 2"), std::string::npos);
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

TEST(Cli, AnExportedWorkbookLoadsBackToTheSameFrequencies) {
  const std::string book = std::filesystem::temp_directory_path() / ("vp_cli_book_" + std::to_string(::getpid()) + ".xlsx");
  const Result first = RunCli("--json --decimal-separator . --xlsx " + book + " " + Example("rotor_two_bearings.txt"));
  ASSERT_EQ(first.status, 0) << first.err;
  const Result second = RunCli("--json --decimal-separator . " + book);
  std::filesystem::remove(book);
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(NumbersAfter(second.out, "\"frequencies\""), NumbersAfter(first.out, "\"frequencies\""));
  EXPECT_EQ(NumbersAfter(second.out, "\"section_x\""), NumbersAfter(first.out, "\"section_x\""));
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

TEST(Cli, JsonAnswersALoadFailureWithAnErrorObject) {
  const Result missing = RunCli("--json /nonexistent/input.txt");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "{\"error\": \"Не удалось открыть файл '/nonexistent/input.txt'. Нет такого файла или папки.\"}\n");
  EXPECT_EQ(missing.err, "Не удалось открыть файл '/nonexistent/input.txt'. Нет такого файла или папки.\n");
  // The examples use '.': read with ',' they fail with that reason and the way out.
  const Result comma = RunCli("--json --decimal-separator , " + Example("free_free_shaft.txt"));
  EXPECT_EQ(comma.status, 1);
  EXPECT_EQ(comma.out.rfind("{\"error\": \"Строка 1, участок 1, длина: число '0.01 ' записано с десятичным разделителем '.', "
                            "а ожидается разделитель ','. Числа с этим разделителем читаются с параметром --decimal-separator .\"}", 0),
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
  };
  for (const auto& [args, message] : cases) {
    const Result r = RunCli(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.err.rfind(message, 0), 0u) << args << ": " << r.err;
  }
}

TEST(Cli, WriteProtectedOutputsAreRefusedAndNamedInTheJson) {
  const std::string dir = vp::test::FreshDir("cli_protected");
  for (const char* name : {"/out.pdf", "/out.xlsx"}) vp::test::WriteFileWithMode(dir + name, "old", std::filesystem::perms(0444));
  const Result r = RunCli("--json --decimal-separator . --pdf " + dir + "/out.pdf --xlsx " + dir + "/out.xlsx " +
                          Example("rotor_two_bearings.txt"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Файл «" + dir + "/out.xlsx» защищен от записи.\nФайл «" + dir + "/out.pdf» защищен от записи.\n");
  EXPECT_NE(r.out.find("\"error\": \"Файл «" + dir + "/out.xlsx» защищен от записи.\\nФайл «" + dir +
                       "/out.pdf» защищен от записи.\"}"),
            std::string::npos);
  EXPECT_EQ(NumbersAfter(r.out, "\"frequencies\"").size(), 4u);  // what was computed is there
  for (const char* name : {"/out.pdf", "/out.xlsx"}) {
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
  EXPECT_EQ(NumbersAfter(r.out, "\"frequencies\"").size(), 2u);
  EXPECT_EQ(r.out.find("ended_early_at"), std::string::npos);  // KP reached

  // KP = 3 up to FK = 100 holds two: the walk ends after the second (61.69).
  const Result example = RunCli("--json --decimal-separator . " + Example("free_free_shaft.txt"));
  const size_t at = example.out.find("\"ended_early_at\": ");
  ASSERT_NE(at, std::string::npos) << example.out.substr(example.out.size() - 200);
  const double end = std::stod(example.out.substr(at + 18));
  EXPECT_NEAR(end, NumbersAfter(example.out, "\"frequencies\"").at(1) + 1, 1e-6);
}

TEST(Cli, MaxSecondsStopsALongRunBeforeComputing) {
  const ChangedExample slow({{14, "1E-6"}});  // 6E7 trials up to the second frequency
  Result r;
  EXPECT_LT(SecondsOf([&] { r = RunCli("--json --decimal-separator . --max-seconds 2 " + slow.path); }), 10);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("Расчет займет около ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find(" мин.\nРасчет не выполнен: по оценке он займет больше 2 с (--max-seconds)\n"), std::string::npos)
      << r.err;
  EXPECT_NE(r.out.find("\"variants\": [], \"error\": \"Расчет не выполнен"), std::string::npos) << r.out;
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
  EXPECT_EQ(r.err, "Расчет прерван: он идет дольше 0.5 с (--max-seconds)\n");
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
