// The batch command's run in this process: its printout, PDF, workbook, JSON
// document and messages. Its arguments, exit status and streams are the
// process tests' (test_cli.cpp).

#include <gtest/gtest.h>

#include "workbook_files.h"  // before Qt, whose macro "signals" breaks GLib's headers
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <optional>
#include <string>

#include "batch_fixtures.h"
#include "output_files.h"
#include "pdf_text.h"
#include "printable.h"
#include "workbook_reader.h"
#include "workbook_writer.h"

namespace {

using vp::test::Batch;
using vp::test::BatchJson;
using vp::test::BatchOutput;
using vp::test::ChangedExample;
using vp::test::Example;
using vp::test::ExampleLine;
using vp::test::JsonOf;
using vp::test::Numbers;

double SecondsOf(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The first variant's object in the command's JSON.
QJsonObject FirstVariant(const std::string& json) { return JsonOf(json).value("variants")[0].toObject(); }

// The printout of a run of `input`, numbers read with '.'.
BatchOutput Printout(const std::string& input) { return Batch({.input = input}); }

}  // namespace

TEST(BatchRun, JsonOfTheFreeFreeShaft) {
  const BatchOutput r = BatchJson(Example("free_free_shaft.txt"));
  EXPECT_EQ(r.Code(), "") << r.err;
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

TEST(BatchRun, PrintoutByDefault) {
  const BatchOutput r = Printout(Example("rotor_two_bearings.txt"));
  EXPECT_EQ(r.Code(), "") << r.err;
  EXPECT_NE(r.out.find(std::string(85, ' ') + "Вариант по жесткости N 2"), std::string::npos);
  EXPECT_NE(r.out.find("Частота N 4  ------   P = "), std::string::npos);
}

TEST(BatchRun, BadDataGivesTheDetailedMessage) {
  const ChangedExample bad({{2, "0.01 abc " + ExampleLine(2).substr(10)}});
  const BatchOutput r = BatchJson(bad.path);
  EXPECT_EQ(r.Code(), "field_not_real");
  EXPECT_NE(r.err.find("Ошибка ввода данных\nХарактеристики участков, участок 2, масса: 'abc ' is not a valid floating point value"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(JsonOf(r.out)["error"].toString().startsWith("Ошибка ввода данных: Характеристики участков, участок 2")) << r.out;
}

TEST(BatchRun, PdfHoldsTheSamePrintout) {
  const std::string pdf = vp::test::TempPath("cli.pdf");
  const BatchOutput r = Batch({.input = Example("rotor_two_bearings.txt"), .pdf = pdf});
  EXPECT_EQ(r.Code(), "") << r.err;
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

TEST(BatchRun, APdfThatCannotBeWrittenFailsAfterThePrintout) {
  const BatchOutput r = Batch({.input = Example("rotor_two_bearings.txt"), .pdf = "/nonexistent-dir/out.pdf"});
  EXPECT_EQ(r.Code(), "write_no_folder");
  EXPECT_EQ(r.err, "Не удалось записать файл «/nonexistent-dir/out.pdf». Нет такой папки.\n");
  EXPECT_NE(r.out.find("Вариант по жесткости N 2"), std::string::npos);  // the printout as without the PDF
}

TEST(BatchRun, AnExportedWorkbookLoadsBackToTheSameFrequencies) {
  const std::string book = vp::test::TempPath("cli_book.xlsx");
  const BatchOutput first = Batch({.input = Example("rotor_two_bearings.txt"), .json = true, .xlsx = book});
  ASSERT_EQ(first.Code(), "") << first.err;
  const BatchOutput second = BatchJson(book);
  std::filesystem::remove(book);
  ASSERT_EQ(second.Code(), "") << second.err;
  EXPECT_EQ(FirstVariant(second.out)["frequencies"], FirstVariant(first.out)["frequencies"]);
  EXPECT_EQ(JsonOf(second.out)["section_x"], JsonOf(first.out)["section_x"]);
}

TEST(BatchRun, JsonAnswersALoadFailureWithAnErrorObject) {
  const BatchOutput missing = BatchJson("/nonexistent/input.txt");
  EXPECT_EQ(missing.Code(), "file_open");
  EXPECT_EQ(missing.out, "{\"error\":\"Не удалось открыть файл '/nonexistent/input.txt'. Нет такого файла или папки.\","
                         "\"error_code\":\"file_open\"}\n");
  EXPECT_EQ(missing.err, "Не удалось открыть файл '/nonexistent/input.txt'. Нет такого файла или папки.\n");
  // The examples use '.': read with ',' they fail with that reason and the way out.
  const BatchOutput comma = Batch({.input = Example("free_free_shaft.txt"), .decimalSeparator = ',', .json = true});
  EXPECT_EQ(comma.Code(), "text_separator");
  EXPECT_EQ(comma.out.rfind("{\"error\":\"Строка 1, участок 1, длина: число '0.01 ' записано с десятичным разделителем '.', "
                            "а ожидается разделитель ','. Числа с этим разделителем читаются с параметром --decimal-separator .\","
                            "\"error_code\":\"text_separator\"}", 0),
            0u)
      << comma.out;
}

TEST(BatchRun, WriteProtectedOutputsAreRefusedAndNamedInTheJson) {
  const std::string dir = vp::test::FreshDir("cli_protected");
  const char* const names[] = {"/out.pdf", "/out.xlsx", "/report.pdf"};
  for (const char* name : names) vp::test::WriteFileWithMode(dir + name, "old", std::filesystem::perms(0444));
  const BatchOutput r = Batch({.input = Example("rotor_two_bearings.txt"), .json = true, .pdf = dir + "/out.pdf",
                               .xlsx = dir + "/out.xlsx", .report = dir + "/report.pdf"});
  std::vector<std::string> codes;
  for (const vp::Error& failure : r.failures) codes.push_back(vp::CodeName(failure.code));
  EXPECT_EQ(codes, std::vector<std::string>(3, "write_protected"));
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

TEST(BatchRun, JsonStaysValidUtf8WhateverTheInputHolds) {
  const std::string dir = vp::test::FreshDir("cli_bytes");
  const std::string path = dir + "/bytes.txt";
  {
    std::ifstream in(Example("free_free_shaft.txt"));
    std::ofstream out(path, std::ios::binary);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) out << (n == 2 ? "0.01 \xFF\x1B[2J " + line.substr(10) : line) << "\n";
  }
  const BatchOutput r = BatchJson(path);
  EXPECT_EQ(r.Code(), "field_not_real");
  EXPECT_EQ(vp::ValidUtf8(r.out), r.out);
  EXPECT_NE(r.out.find("участок 2, масса: '\xEF\xBF\xBD\\\\x1B[2J ' is not a valid floating point value"), std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
}


// ---- How long a search takes ----------------------------------------------------

// Lines of the example: 2 masses, 10 KP, 14 FT1, 15 FK.
TEST(BatchRun, AHugeUpperBoundRunsAndAnEarlyEndIsReported) {
  const ChangedExample unbounded({{10, "2"}, {15, "1E9"}});
  BatchOutput r;
  EXPECT_LT(SecondsOf([&] { r = BatchJson(unbounded.path); }), 10);
  EXPECT_EQ(r.Code(), "") << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(FirstVariant(r.out)["frequencies"].toArray().size(), 2);
  EXPECT_EQ(r.out.find("ended_early_at"), std::string::npos);  // KP reached

  // KP = 3 up to FK = 100 holds two: the walk ends after the second (61.69).
  const BatchOutput example = BatchJson(Example("free_free_shaft.txt"));
  const QJsonObject variant = FirstVariant(example.out);
  ASSERT_TRUE(variant["walk_ended_at"].isDouble()) << example.out.substr(example.out.size() - 200);
  EXPECT_NEAR(variant["walk_ended_at"].toDouble(), Numbers(variant["frequencies"]).at(1) + 1, 1e-6);
}

TEST(BatchRun, MaxSecondsStopsALongRunBeforeComputing) {
  const ChangedExample slow({{14, "1E-6"}});  // 6E7 trials up to the second frequency
  BatchOutput r;
  EXPECT_LT(SecondsOf([&] { r = BatchJson(slow.path, 2); }), 10);
  EXPECT_EQ(r.Code(), "estimate_too_long");
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
TEST(BatchRun, WithoutMaxSecondsARunBeyondAnHourIsNotStarted) {
  const ChangedExample endless({{14, "1E-10"}, {17, "1E-12"}});  // 6E11 trials up to the second frequency
  const BatchOutput refused = BatchJson(endless.path);
  EXPECT_EQ(refused.Code(), "estimate_beyond_hour");
  EXPECT_EQ(JsonOf(refused.out)["error_code"], "estimate_beyond_hour");
  EXPECT_TRUE(refused.err.ends_with("мин.). Без ограничения времени расчет выполняется с параметром --max-seconds 0\n"));
  const BatchOutput unlimited = Batch({.input = Example("free_free_shaft.txt"), .maxSeconds = 0});
  EXPECT_EQ(unlimited.Code(), "") << unlimited.err;
}

// An empty cell of an input workbook is read as 0 and named after the load.
TEST(BatchRun, EmptyCellsOfAWorkbookAreNamed) {
  const std::string path = vp::test::TempPath("cli_empty.xlsx");
  vp::WorkbookWriter book(path);
  vp::WorksheetWriter& sheet = book.AddWorksheet("Исходные данные");
  const double values[] = {1, 1, 1, 1, 1, 1, 100, 1, 1e-10, 1e-6, 1, 1, 0, 0, 0, 1, 1, 1};  // B1..B18; B22 empty
  for (int r = 1; r <= 18; ++r) sheet.WriteNumber(r, 2, values[r - 1]);
  book.Save();
  const BatchOutput r = BatchJson(path);
  EXPECT_EQ(r.Code(), "") << r.err;
  EXPECT_EQ(r.err, "Лист «Исходные данные»: пустая ячейка B22 прочитана как 0\n");
  EXPECT_EQ(JsonOf(r.out)["empty_cells"], QJsonArray{"B22"});
}

TEST(BatchRun, MaxSecondsAlsoBoundsARunThatCannotBeEstimated) {
  // A negative mass: no count, no estimate; the walk goes on until the limit.
  const ChangedExample uncounted({{2, "-" + ExampleLine(2)}, {14, "1E-6"}});
  BatchOutput r;
  const double seconds = SecondsOf([&] { r = Batch({.input = uncounted.path, .maxSeconds = 0.5}); });
  EXPECT_GT(seconds, 0.5);
  EXPECT_LT(seconds, 10);
  EXPECT_EQ(r.Code(), "run_too_long");
  EXPECT_EQ(r.err, "Масса участка 1 отрицательна (m = -0.01).\nРасчет прерван: он идет дольше 0.5 с (--max-seconds)\n");
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

TEST(BatchRun, JsonFrequencyMapFollowsTrueOrdinalsAcrossTheVariants) {
  const BatchOutput r = BatchJson(Example("rotor_two_bearings.txt"));
  ASSERT_EQ(r.Code(), "") << r.err;
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

TEST(BatchRun, TheTextOutputEndsEachVariantWithItsCheck) {
  const BatchOutput r = Printout(Example("free_free_coarse_step.txt"));
  ASSERT_EQ(r.Code(), "") << r.err;
  const size_t check = r.out.find("\nВариант № 1: найдено 1 из 3 собственных частот диапазона от ");
  ASSERT_NE(check, std::string::npos) << r.out;
  EXPECT_GT(check, r.out.rfind("Частота N 1 (собственная № 3)  ------   P = "));
  EXPECT_NE(r.out.find("\nВнимание: пропущены частоты в диапазонах ", check), std::string::npos);
  EXPECT_NE(r.out.find("Собственная частота № 4 не найдена в диапазоне до "), std::string::npos);
  EXPECT_EQ(r.out.find("№ 3 не найдена"), std::string::npos);  // an empty place never names a found one
}

TEST(BatchRun, ADiscEnteredAsAPointMassKeepsTheCheck) {
  const std::string path = DiscRotorFile();
  const BatchOutput json = BatchJson(path);
  const BatchOutput text = Printout(path);
  const std::string pdf = path + ".pdf";
  const BatchOutput printed = Batch({.input = path, .pdf = pdf});
  std::filesystem::remove(path);
  ASSERT_EQ(json.Code(), "") << json.err;
  EXPECT_EQ(json.out.find("check_problem"), std::string::npos);
  for (const QJsonValue& variant : JsonOf(json.out)["variants"].toArray()) {
    EXPECT_EQ(variant["frequencies_in_range"], 4) << json.out;
    EXPECT_EQ(variant["missed"], QJsonArray());
    EXPECT_EQ(variant["doubtful"], QJsonArray());
  }
  EXPECT_EQ(FrequencyMap(json.out).size(), 4u);
  EXPECT_NE(text.out.find("Вариант № 2: найдено 4 из 4 собственных частот"), std::string::npos) << text.out;
  ASSERT_EQ(printed.Code(), "") << printed.err;
  std::string pages;
  for (const std::string& page : vp::test::PdfPages(pdf)) pages += page;
  std::filesystem::remove(pdf);
  EXPECT_NE(vp::test::WithoutBlanks(pages).find(vp::test::WithoutBlanks("Вариант № 1: найдено 4 из 4 собственных частот")),
            std::string::npos);
}

TEST(BatchRun, WhereTheCheckCannotCountEveryOutputSaysSo) {
  // A negative mass: the frequencies are computed, their number cannot be counted.
  const std::string path = vp::test::TempPath("cli_neg.txt");
  {
    std::ifstream in(Example("free_free_shaft.txt"));
    std::ofstream out(path);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) out << (n == 2 ? "-0.01 " + line.substr(line.find(' ') + 1) : line) << "\n";
  }
  const BatchOutput json = BatchJson(path);
  const BatchOutput text = Printout(path);
  std::filesystem::remove(path);
  ASSERT_EQ(json.Code(), "") << json.err;
  EXPECT_EQ(FirstVariant(json.out)["check_problem"], "участок 1: масса должна быть не меньше нуля");
  EXPECT_EQ(json.out.find("frequencies_in_range"), std::string::npos);
  EXPECT_NE(text.out.find("проверить, все ли частоты диапазона найдены, нельзя (участок 1: масса должна быть не меньше нуля)."),
            std::string::npos);
}

TEST(BatchRun, JsonGivesTheContinuousShaftBesideTheFoundFrequenciesWithHertzAndRpm) {
  // The uniform free-free shaft: its continuous model is exact, P = 100 (beta L)^2.
  const BatchOutput r = BatchJson(Example("free_free_shaft.txt"));
  EXPECT_EQ(r.Code(), "") << r.err;
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

TEST(BatchRun, TheContinuousShaftsLinesAndWhenItCannotBeSolvedSayingSo) {
  // 20 sections of 0.1 m: the higher frequencies are off by more than 1 %.
  const BatchOutput coarse = Printout(Example("rotor_coarse_sections.txt"));
  EXPECT_EQ(coarse.Code(), "") << coarse.err;
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
  const BatchOutput r = BatchJson(negative.path);
  const QJsonObject variant = FirstVariant(r.out);
  EXPECT_EQ(variant["continuous_problem"], "участок 1: масса должна быть не меньше нуля") << r.out.substr(r.out.size() - 400);
  EXPECT_EQ(variant["continuous_frequencies"], (QJsonArray{QJsonValue(), QJsonValue()}));
  EXPECT_EQ(variant["continuous_in_range"], QJsonArray());
  const BatchOutput text = Printout(negative.path);
  EXPECT_NE(text.out.find("\nВариант № 1: непрерывная модель вала не рассчитана: участок 1: масса должна быть не меньше "
                          "нуля.\n"),
            std::string::npos);
}

// A support at cross-section 0 takes no part: the printout says so after each
// variant and the document names it.
TEST(BatchRun, ASupportOutsideTheShaftIsNamedInThePrintoutAndTheDocument) {
  const ChangedExample outside({{4, "0 "}});
  const std::string warning =
      "Внимание: опора 1 стоит в сечении 0 и не участвует в расчете: опоры действуют в сечениях от 1 до 100 (сечение "
      "100 замыкает последний пролет).";
  const BatchOutput text = Printout(outside.path);
  EXPECT_EQ(text.Code(), "") << text.err;
  EXPECT_NE(text.out.find(warning + "\n"), std::string::npos);
  const QJsonObject document = JsonOf(BatchJson(outside.path).out);
  EXPECT_EQ(Numbers(document["inactive_supports"]), std::vector<double>{1});
  EXPECT_EQ(document["warnings"].toArray().first().toString().toStdString(), warning);
}

int main(int argc, char** argv) {
  const auto app = vp::BatchApplication(argc, argv, true);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
