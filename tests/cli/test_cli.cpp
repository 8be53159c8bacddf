// The batch command as a process: its arguments, exit status and standard
// streams. What it computes and writes is tested in process (test_batch_run.cpp).

#include <gtest/gtest.h>

#include "workbook_files.h"  // before Qt, whose macro "signals" breaks GLib's headers
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli_run.h"
#include "output_files.h"
#include "pdf_text.h"
#include "printable.h"
#include "workbook_reader.h"

namespace {

using vp::test::Example;
using vp::test::Result;
using vp::test::RunCli;

}  // namespace

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

TEST(Cli, PdfThatCannotBeWrittenOrIsNotNamed) {
  const Result r = RunCli("--decimal-separator . --pdf /nonexistent-dir/out.pdf " + Example("rotor_two_bearings.txt"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Не удалось записать файл «/nonexistent-dir/out.pdf». Нет такой папки."), std::string::npos) << r.err;
  const Result unnamed = RunCli(Example("rotor_two_bearings.txt") + " --pdf");
  EXPECT_EQ(unnamed.status, 2);
  EXPECT_NE(unnamed.err.find("Не указано значение параметра --pdf"), std::string::npos) << unnamed.err;
}

// Written under a Russian locale, whose decimal separator is the comma, the workbook is as under C.UTF-8.
TEST(Cli, AWorkbookWrittenUnderARussianLocaleIsAsUnderC) {
  const std::string book = vp::test::TempPath("cli_book.xlsx"), c = vp::test::TempPath("cli_c.xlsx");
  const std::string args = "--json --decimal-separator . --xlsx ", input = " " + Example("rotor_two_bearings.txt");
  const Result first = RunCli(args + book + input, "LC_ALL=ru_RU.UTF-8 ");
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(RunCli(args + c + input, "LC_ALL=C.UTF-8 ").out, first.out);
  EXPECT_TRUE(vp::test::PartsWithoutTime(c) == vp::test::PartsWithoutTime(book));
  std::filesystem::remove(book);
  std::filesystem::remove(c);
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

TEST(Cli, BadStiffnessMapRangesAreRefusedWithTheValueNamed) {
  const std::string example = " " + Example("rotor_two_bearings.txt");
  const std::pair<std::string, std::string> cases[] = {
      {"1E9:1E6:10", "'1E9:1E6:10' - верхняя граница жесткости опор должна быть больше нижней"},
      {"0:1E6:10", "'0:1E6:10' - нижняя граница жесткости опор должна быть больше нуля"},
      {"1:1E6:1001", "'1:1E6:1001' - число точек карты должно быть от 2 до 1000"},
      {"1:inf:10", "'1:inf:10' - верхняя граница жесткости опор должна быть конечным числом"},
      {"abc:1E6:10", "'abc:1E6:10' - нижняя граница 'abc' - не число"},
      {"1,5:1E6:10", "'1,5:1E6:10' - нижняя граница '1,5' - не число"},
      {"1:1E6x:10", "'1:1E6x:10' - верхняя граница '1E6x' - не число"},
      {"1:1E6:2.5", "'1:1E6:2.5' - число точек '2.5' - не целое число"},
      {"1:1E6:", "'1:1E6:' - число точек '' - не целое число"},
      {"1:1E6", "'1:1E6' - нужны три значения через двоеточие"},
      {"1:2:3:4", "'1:2:3:4' - нужны три значения через двоеточие"},
      {"''", "'' - нужны три значения через двоеточие"},
  };
  for (const auto& [value, message] : cases) {
    const Result r = RunCli("--json --stiffness-map " + value + example);
    EXPECT_EQ(r.status, 2) << value;
    EXPECT_EQ(r.out, "") << value;
    EXPECT_EQ(r.err.rfind("Неверное значение параметра --stiffness-map: " + message +
                              ". Нужно НИЖНЯЯ:ВЕРХНЯЯ:ТОЧЕК, например 1E6:1E11:61.\n",
                          0),
              0u)
        << r.err;
  }
  const Result missing = RunCli(example + " --stiffness-map");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err.rfind("Не указано значение параметра --stiffness-map\n", 0), 0u);
}
