// Files under names with Cyrillic letters and blanks through every reader and
// writer. On Windows each of these goes
// through a UTF-16 path (std::filesystem, ole32, libzip, libxlsxwriter, Qt),
// so scripts/test-windows.sh running this under Wine is the real check.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>

#include <QFile>

#include "errors.h"
#include "export_run.h"
#include "file_output.h"
#include "input_loader.h"
#include "input_saver.h"
#include "messages.h"
#include "output_files.h"
#include "platform.h"
#include "results_export.h"

using namespace vp;
using namespace vp::test;

// Each input format from a Cyrillic name reads as from the original's, and a
// text file with CRLF line ends as one with LF.
TEST(CyrillicNames, EveryInputFormatLoadsAsFromTheOriginalName) {
  struct Case {
    std::string source, copy;
    bool crlf;
  };
  const std::string dir = FreshDir("Исходные данные");
  for (const Case& c : {Case{VP_EXAMPLES_DIR "/rotor_two_bearings.txt", "Ротор с двумя опорами.txt", false},
                        Case{VP_EXAMPLES_DIR "/rotor_two_bearings.txt", "Ротор, строки CRLF.txt", true},
                        Case{VP_TEST_DATA_DIR "/input.xls", "Книга Excel 97.xls", false},
                        Case{VP_TEST_DATA_DIR "/input.xlsx", "Книга Excel.xlsx", false}}) {
    SCOPED_TRACE(c.copy);
    const std::string bytes = ReadFile(c.source);
    WriteFile(dir + "/" + c.copy, c.crlf ? std::regex_replace(bytes, std::regex("\n"), "\r\n") : bytes);
    TMainFormModel original, copy;
    ASSERT_EQ(LoadInputFile(c.source, original, '.'), std::nullopt);
    const std::optional<Error> error = LoadInputFile(dir + "/" + c.copy, copy, '.');
    ASSERT_FALSE(error) << Message(*error);
    EXPECT_EQ(copy, original);
  }
}

// Every writer makes its file under a Cyrillic name, replaces it the second
// time, and leaves nothing else beside it.
TEST(CyrillicNames, EveryOutputIsWrittenWholeAndReplaced) {
  TMainFormModel form;
  ASSERT_EQ(LoadInputFile(VP_EXAMPLES_DIR "/rotor_two_bearings.txt", form, '.'), std::nullopt);
  const ExportRun run(1, 3, 1, 1, 1);
  using Write = std::function<std::optional<Error>(const std::string&)>;
  const std::vector<std::pair<std::string, Write>> writers = {
      {"Заметка.txt", [](const std::string& path) { return WriteWholeFile(path, "текст"), std::optional<Error>(); }},
      {"Исходные данные.txt", [&](const std::string& path) { return SaveInputFile(form, path, '.'); }},
      {"Исходные данные.xlsx", [&](const std::string& path) { return SaveInputFile(form, path, '.'); }},
      {"Результаты расчета.xlsx",
       [&](const std::string& path) { return ExportResultsWorkbook(path, run.main, run.input, run.tables, run.sep); }},
  };
  const std::string dir = FreshDir("Результаты, вал №1");
  std::vector<std::string> names;
  for (const auto& [name, write] : writers) {
    SCOPED_TRACE(name);
    for (int pass = 0; pass < 2; ++pass) {
      const std::optional<Error> error = write(dir + "/" + name);
      ASSERT_FALSE(error) << Message(*error);
      EXPECT_GT(std::filesystem::file_size(platform::Utf8Path(dir + "/" + name)), 0u);
    }
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(DirEntries(dir), names);
  // The saved workbook reads back.
  TMainFormModel reread;
  EXPECT_EQ(LoadInputFile(dir + "/Исходные данные.xlsx", reread, '.'), std::nullopt);
}

// Write protection as the system keeps it: the permission bits on Linux, the
// read-only attribute on Windows (both set through QFile::setPermissions).
TEST(CyrillicNames, AWriteProtectedFileIsRefusedAndKeptAsItWas) {
  const std::string dir = FreshDir("Защищенные файлы");
  const std::string path = dir + "/Отчет.pdf";
  WriteFile(path, "старое");
  const QString name = QString::fromStdString(path);
  ASSERT_TRUE(QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::ReadUser));
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile(path, "новое"); }), "Файл «" + path + "» защищен от записи.");
  EXPECT_EQ(ReadFile(path), "старое");
  EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"Отчет.pdf"});
  QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::WriteOwner);  // so that it can be removed
}
