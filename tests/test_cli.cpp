#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "pdf_text.h"

namespace {

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result RunCli(const std::string& args) {
  const std::string errFile = std::filesystem::temp_directory_path() / ("vp_cli_err_" + std::to_string(::getpid()));
  const std::string command = std::string(VP_CLI) + " " + args + " 2>" + errFile;
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
