// The results workbook: sheets, cells, merges, fills, widths and charts as
// written, read back through the project's own .xlsx reader.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <limits>
#include <regex>
#include <string>

#include "cell_values.h"
#include "continuous_lines.h"
#include "errors.h"
#include "export_run.h"
#include "form_fixtures.h"
#include "frequency_map.h"
#include "results_export.h"
#include "workbook_files.h"
#include "workbook_reader.h"

using namespace vp;
using namespace vp::test;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace {

struct Exported {
  std::string path;
  WorkbookInfo info;
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& s : info.sheets) names.push_back(s.name);
    return names;
  }
  Sheet Read(int tab) const { return ReadSheet(path, tab, 200, 4100); }
  // The sheet XML of worksheet tab (worksheets come first, numbered from 1).
  std::string SheetXml(int tab) const { return ZipPart(path, "xl/worksheets/sheet" + std::to_string(tab + 1) + ".xml"); }
  // The n-th chart, in the order the chart sheets were added.
  std::string ChartXml(int n) const { return ZipPart(path, "xl/charts/chart" + std::to_string(n) + ".xml"); }
};

Exported Export(const ExportRun& run, const std::string& name) {
  const std::string path = FreshDir(name) + "/Результаты расчета.xlsx";
  EXPECT_FALSE(ExportResultsWorkbook(path, run.main, run.input, run.tables, run.sep));
  ExpectNumbersReadWhole(ZipParts(path));
  return {path, ReadWorkbookInfo(path)};
}

// The width written for a column, or 0 when none was set.
double ColumnWidth(const std::string& sheetXml, int col) {
  const std::regex re("<col min=\"" + std::to_string(col) + "\" max=\"" + std::to_string(col) + "\" width=\"([0-9.]+)\"");
  std::smatch m;
  return std::regex_search(sheetXml, m, re) ? QByteArray::fromStdString(m[1]).toDouble() : 0;  // in any locale
}

// The style index of a cell in the sheet XML ("" when it has none).
std::string StyleOf(const std::string& sheetXml, const std::string& cell) {
  const std::regex re("<c r=\"" + cell + "\"( s=\"([0-9]+)\")?");
  std::smatch m;
  return std::regex_search(sheetXml, m, re) ? m[2].str() : "missing";
}

void ExpectNumber(const Sheet& s, int row, int col, double value) {
  EXPECT_EQ(s.Cell(row, col).kind, CellKind::Number) << s.Name() << " " << CellName(row, col);
  EXPECT_DOUBLE_EQ(s.Cell(row, col).number, value) << s.Name() << " " << CellName(row, col);
}

TEST(ResultsExport, OneVariantOneFrequencyGivesFourSheetsAndTheChartIsActive) {
  ExportRun run(1, 3, 1, 1, 1);
  run.FindAll();
  const Exported book = Export(run, "four");
  EXPECT_THAT(book.Names(), ElementsAreArray({"Исходные данные", "Вариант по жесткости №1", "вспомогательная",
                                              "Форма колебаний1_1"}));
  EXPECT_EQ(book.info.sheets[2].kind, SheetKind::Worksheet);
  EXPECT_EQ(book.info.sheets[3].kind, SheetKind::Chart);
  EXPECT_EQ(book.info.activeTab, 3);

  const std::string chart = book.ChartXml(1);
  EXPECT_THAT(chart, HasSubstr("<c:lineChart>"));
  EXPECT_THAT(chart, HasSubstr("<a:t>Форма колебаний № 1 Частота № 1</a:t>"));
  EXPECT_THAT(chart, HasSubstr("<a:t>Номера участков</a:t>"));
  EXPECT_THAT(chart, HasSubstr("<a:t>Смещение</a:t>"));
  EXPECT_THAT(chart, HasSubstr("<c:legend>"));
  EXPECT_THAT(chart, HasSubstr("<c:f>'вспомогательная'!$A$1:$C$1</c:f>"));
  EXPECT_THAT(chart, Not(HasSubstr("<c:cat>")));  // no category labels
  // No series name: the spreadsheet program gives its own.
  EXPECT_THAT(chart, HasSubstr("<c:ser><c:idx val=\"0\"/><c:order val=\"0\"/><c:marker>"));
}

TEST(ResultsExport, InputSheetHoldsTheLoaderLayoutAndLoadsBack) {
  ExportRun run(3, 5, 2, 2, 2, ',');
  run.FindAll();
  const Exported book = Export(run, "input");
  const Sheet s = book.Read(0);
  const char* labels[] = {"число опор:",
                          "число участков,на которые разбит ротор:",
                          "число пролетов,на которые разбит ротор:",
                          "число вариантов по жесткости опор:",
                          "число собственных частот, подлежащих определению:",
                          "частота начала диапазона поиска собств. частот:",
                          "верхняя граница диапазона по частоте:",
                          "шаг по частоте при поиске k-й частоты:",
                          "точность вычисления определителя:",
                          "точность вычисления k-й собственной частоты:",
                          "номера сечений,к которым привязаны опоры:",
                          "номера сечений,ограничивающих пролеты справа:"};
  for (int r = 1; r <= 12; ++r) EXPECT_EQ(s.Cell(r, 1).text, labels[r - 1]);
  const double column2[] = {3, 5, 2, 2, 2, 0.1, 50, 0.5, 1e-6, 1e-5};
  for (int r = 1; r <= 10; ++r) ExpectNumber(s, r, 2, column2[r - 1]);
  for (int i = 1; i <= 3; ++i) ExpectNumber(s, 11, 1 + i, i);
  for (int j = 1; j <= 2; ++j) ExpectNumber(s, 12, 1 + j, 5);
  EXPECT_EQ(s.Cell(14, 1).text, "характеристики участков валопровода:");
  EXPECT_EQ(s.Cell(15, 1).text, "Номер участка:");
  EXPECT_EQ(s.Cell(16, 1).text, "Длина(l):");
  EXPECT_EQ(s.Cell(17, 1).text, "Масса(m):");
  EXPECT_EQ(s.Cell(18, 1).text, "Жесткость(El):");
  for (int i = 1; i <= 5; ++i) {
    ExpectNumber(s, 15, 1 + i, i);
    ExpectNumber(s, 16, 1 + i, 0.5 * i);
    ExpectNumber(s, 17, 1 + i, 0.25 + i);
    ExpectNumber(s, 18, 1 + i, 2e11 * i);
  }
  EXPECT_EQ(s.Cell(20, 1).text, "варианты по жесткости опор:");
  EXPECT_EQ(s.Cell(21, 1).kind, CellKind::Empty);
  EXPECT_EQ(s.Cell(21, 2).text, "Вариант 1");
  EXPECT_EQ(s.Cell(21, 3).text, "Вариант 2");
  for (int n = 1; n <= 3; ++n) {
    EXPECT_EQ(s.Cell(21 + n, 1).text, "Опора " + std::to_string(n));
    for (int w = 1; w <= 2; ++w) ExpectNumber(s, 21 + n, 1 + w, ExportRun::Stiffness(n, w));
  }
  for (int c = 1; c <= 7; ++c) {
    EXPECT_EQ(s.Cell(13, c).kind, CellKind::Empty);
    EXPECT_EQ(s.Cell(19, c).kind, CellKind::Empty);
  }
  EXPECT_EQ(s.StoredCount(), 12 + 10 + 3 + 2 + 5 + 5 * 4 + 1 + 2 + 3 * 3);
  // Column A fitted to its longest label (49 characters) before the values
  // went in; no other column is fitted.
  const std::string xml = book.SheetXml(0);
  EXPECT_NEAR(ColumnWidth(xml, 1), 50.71, 0.01);
  EXPECT_EQ(ColumnWidth(xml, 2), 0);

  // The workbook opens on a chart sheet, so loading it reads the first
  // worksheet: the counts and values the run started from.
  const Sheet loaded = ReadActiveSheet(book.path, 40, 210);
  EXPECT_EQ(loaded.Name(), "Исходные данные");
  EXPECT_EQ(CellAsInteger(loaded, 1, 2, ','), 3);
  EXPECT_EQ(CellAsInteger(loaded, 5, 2, ','), 2);
  EXPECT_EQ(CellAsReal(loaded, 9, 2, ','), 1e-6);
  EXPECT_EQ(CellAsReal(loaded, 24, 3, ','), ExportRun::Stiffness(3, 2));
}

// Input at the ends of the range of numbers, as the echo writes it, is
// exported and loads back.
TEST(ResultsExport, TheLargestAndSmallestNumbersOfTheInputGoThrough) {
  ExportRun run(1, 3, 1, 1, 1);
  run.FindAll();
  const double largest = std::numeric_limits<double>::max(), smallest = std::numeric_limits<double>::denorm_min();
  run.input.StringGrid3.SetCell(0, 2, run.Real(largest));
  run.input.StringGrid3.SetCell(1, 2, run.Real(-largest));
  run.input.StringGrid3.SetCell(2, 3, run.Real(smallest));
  run.main.Edit10 = run.Real(largest);
  const Exported book = Export(run, "extremes");
  const Sheet s = book.Read(0);
  EXPECT_NEAR(CellAsReal(s, 17, 2, '.'), largest, largest * 1e-14);
  EXPECT_NEAR(CellAsReal(s, 17, 3, '.'), -largest, largest * 1e-14);
  EXPECT_EQ(CellAsReal(s, 18, 4, '.'), smallest);
  EXPECT_NEAR(CellAsReal(s, 7, 2, '.'), largest, largest * 1e-14);
}

// KP as entered may be any integer: with the smallest one the frequency found
// (one is, whatever KP says) exports without a chart, and KP goes to B5.
TEST(ResultsExport, TheSmallestFrequencyCountExports) {
  ExportRun run(1, 3, 1, 1, 1);
  run.Find(1, 1);
  run.main.Edit3 = "-2147483648";
  const Exported book = Export(run, "smallest_kp");
  EXPECT_THAT(book.Names(), ElementsAreArray({"Исходные данные", "Вариант по жесткости №1", "вспомогательная"}));
  EXPECT_EQ(CellAsInteger(book.Read(0), 5, 2, '.'), -2147483647 - 1);
}

// Title row, header and data of every block of a variant sheet.
void ExpectVariantSheet(const Exported& book, const ExportRun& run, int v) {
  const int KM = run.model.KM, KP = run.model.KP, half = HalfKM(KM);
  const Sheet s = book.Read(v);
  const std::string xml = book.SheetXml(v);
  EXPECT_EQ(s.Name(), "Вариант по жесткости №" + std::to_string(v));
  for (int c = 1; c <= 6; ++c) EXPECT_EQ(s.Cell(1, c).kind, CellKind::Empty);
  for (int k = 1; k <= KP; ++k) {
    const int r = (k - 1) * (half + 2) + 2;
    const std::string row = std::to_string(r);
    EXPECT_EQ(s.Cell(r, 2).text, "Частота №" + std::to_string(k));
    EXPECT_EQ(s.Cell(r, 4).text, "P= " + run.tables.StringGrid1.Cell(k, v));
    EXPECT_THAT(xml, HasSubstr("<mergeCell ref=\"B" + row + ":C" + row + "\"/>"));
    EXPECT_THAT(xml, HasSubstr("<mergeCell ref=\"D" + row + ":E" + row + "\"/>"));
    const std::string fill = StyleOf(xml, "B" + row);
    EXPECT_NE(fill, "");
    for (const char* col : {"C", "D", "E"}) EXPECT_EQ(StyleOf(xml, col + row), fill);
    EXPECT_EQ(StyleOf(xml, "A" + row), "missing");
    EXPECT_EQ(StyleOf(xml, "F" + row), "missing");
    if (run.tables.StringGrid1.Cell(k, v).empty()) continue;
    EXPECT_EQ(s.Cell(r + 1, 1).text, "Номер уч-ка:");
    EXPECT_EQ(s.Cell(r + 1, 2).text, "Координата уч-ка:");
    EXPECT_EQ(s.Cell(r + 1, 3).text, "Смещение:");
    EXPECT_EQ(s.Cell(r + 1, 4).text, "Угол поворота:");
    EXPECT_EQ(s.Cell(r + 1, 5).text, "Момент:");
    EXPECT_EQ(s.Cell(r + 1, 6).text, "Попер. сила:");
    for (int j = 1; j <= half; ++j) {
      const int section = 2 * j - 1;
      ExpectNumber(s, r + 1 + j, 1, section);
      ExpectNumber(s, r + 1 + j, 2, run.model.SectionX[section]);
      for (int q = 1; q <= 4; ++q)
        ExpectNumber(s, r + 1 + j, 2 + q, RealOfText(GeneralFormat(ExportRun::Quantity(v, k, section, q), '.'), '.'));
    }
  }
  EXPECT_THAT(ZipPart(book.path, "xl/styles.xml"), HasSubstr("<fgColor rgb=\"FFDF7B7B\"/>"));
}

TEST(ResultsExport, VariantBlocksStackWithoutGapsFromRowTwo) {
  for (int KM : {1, 7, 8}) {
    SCOPED_TRACE("KM = " + std::to_string(KM));
    ExportRun run(1, KM, 1, 2, 3);
    run.FindAll();
    const Exported book = Export(run, "blocks" + std::to_string(KM));
    ExpectVariantSheet(book, run, 1);
    ExpectVariantSheet(book, run, 2);
    const Sheet s = book.Read(1);
    const int height = HalfKM(KM) + 2;  // KM = 1: 3 rows; KM = 7 and 8: 6 rows
    EXPECT_EQ(height, KM == 1 ? 3 : 6);
    EXPECT_EQ(s.Cell(2 + height, 2).text, "Частота №2");
    EXPECT_EQ(s.Cell(1 + height, 1).kind, CellKind::Number);  // block 1's last data row
    EXPECT_EQ(s.Cell(3 + 3 * height, 1).kind, CellKind::Empty);
    // Columns A..F fitted to the headers (the numbers here are shorter).
    const std::string xml = book.SheetXml(1);
    EXPECT_NEAR(ColumnWidth(xml, 2), 18.71, 0.01);  // "Координата уч-ка:"
    EXPECT_NEAR(ColumnWidth(xml, 3), 10.71, 0.01);  // "Смещение:"
    EXPECT_NEAR(ColumnWidth(xml, 6), 13.71, 0.01);  // "Попер. сила:"
  }
}

TEST(ResultsExport, AuxiliarySheetAndChartRangesForFiveSectionsTwoFrequencies) {
  ExportRun run(1, 5, 1, 2, 2);
  run.FindAll();
  const Exported book = Export(run, "auxiliary");  // "aux" names a device on Windows
  EXPECT_THAT(book.Names(), ElementsAreArray({"Исходные данные", "Вариант по жесткости №1", "Вариант по жесткости №2",
                                              "вспомогательная", "Форма колебаний1_1", "Форма колебаний1_2",
                                              "Форма колебаний2_1", "Форма колебаний2_2"}));
  EXPECT_EQ(book.info.activeTab, 7);
  const Sheet aux = book.Read(3);
  EXPECT_EQ(aux.StoredCount(), 8 * 10);
  for (int v = 1; v <= 2; ++v)
    for (int k = 1; k <= 2; ++k)
      for (int i = 1; i <= 5; ++i)
        for (int q = 1; q <= 4; ++q)
          ExpectNumber(aux, 4 * (v - 1) + q, (k - 1) * 5 + i,
                       RealOfText(GeneralFormat(ExportRun::Quantity(v, k, i, q), '.'), '.'));
  EXPECT_THAT(book.ChartXml(2), HasSubstr("<c:f>'вспомогательная'!$F$1:$J$1</c:f>"));
  EXPECT_THAT(book.ChartXml(2), HasSubstr("<a:t>Форма колебаний № 1 Частота № 2</a:t>"));
  EXPECT_THAT(book.ChartXml(3), HasSubstr("<c:f>'вспомогательная'!$A$5:$E$5</c:f>"));
  EXPECT_THAT(book.ChartXml(3), HasSubstr("<a:t>Форма колебаний № 2 Частота № 1</a:t>"));
}

TEST(ResultsExport, FrequenciesNotFoundKeepOnlyTheirTitleRow) {
  ExportRun run(1, 4, 1, 3, 3);
  for (int k = 1; k <= 3; ++k) run.Find(1, k);
  run.Find(2, 1);  // variant 2 finds one frequency of three, variant 3 none
  const Exported book = Export(run, "missing");
  EXPECT_THAT(book.Names(), ElementsAreArray({"Исходные данные", "Вариант по жесткости №1", "Вариант по жесткости №2",
                                              "Вариант по жесткости №3", "вспомогательная", "Форма колебаний1_1",
                                              "Форма колебаний1_2", "Форма колебаний1_3", "Форма колебаний2_1"}));
  EXPECT_EQ(book.info.activeTab, 8);
  ExpectVariantSheet(book, run, 2);
  const Sheet v2 = book.Read(2);
  EXPECT_EQ(v2.Cell(6, 4).text, "P= ");
  EXPECT_EQ(v2.Cell(10, 4).text, "P= ");
  EXPECT_EQ(v2.StoredCount(), 3 * 2 + 6 + 2 * 6);  // title texts, one header, two data rows
  const Sheet v3 = book.Read(3);
  EXPECT_EQ(v3.StoredCount(), 3 * 2);
  const Sheet aux = book.Read(4);
  EXPECT_EQ(aux.StoredCount(), 3 * 4 * 4 + 4 * 4);  // variant 1 all, variant 2 mode 1
  EXPECT_EQ(aux.Cell(5, 5).kind, CellKind::Empty);
  EXPECT_EQ(aux.Cell(5, 4).kind, CellKind::Number);
  EXPECT_EQ(aux.Cell(9, 1).kind, CellKind::Empty);

  // Nothing found at all: no chart sheet, and the auxiliary sheet is the last and active.
  ExportRun none(1, 4, 1, 1, 2);
  const Exported empty = Export(none, "none");
  EXPECT_THAT(empty.Names(), ElementsAreArray({"Исходные данные", "Вариант по жесткости №1", "вспомогательная"}));
  EXPECT_EQ(empty.info.activeTab, 2);
}

TEST(ResultsExport, AFailurePartWayLeavesNoNewFileAndTheOldOneUntouched) {
  ExportRun run(2, 4, 1, 2, 2);
  run.FindAll();
  const std::string dir = FreshDir("failure");
  const std::string path = dir + "/Результаты расчета.xlsx";
  WriteFile(path, "an earlier export");

  // A quantity of variant 2 that is no number: found only after variant 1's sheet is written.
  ResultsTables tables = run.tables;
  tables.StringGrid3.SetCell(3, 5 + 1 + 2, "abc");
  EXPECT_EQ(ErrorOf([&] { return ExportResultsWorkbook(path, run.main, run.input, tables, '.'); }),
            "'abc' is not a valid floating point value");
  tables = run.tables;
  tables.StringGrid5.SetCell(0, 4, "");  // variant 2's first deflection
  EXPECT_TRUE(ExportResultsWorkbook(path, run.main, run.input, tables, '.'));
  TMainFormModel mainForm = run.main;
  mainForm.Edit12 = "1E-5x";
  EXPECT_TRUE(ExportResultsWorkbook(path, mainForm, run.input, run.tables, '.'));
  EXPECT_EQ(ReadFile(path), "an earlier export");
  EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"Результаты расчета.xlsx"});

  EXPECT_TRUE(ExportResultsWorkbook(dir + "/нет/out.xlsx", run.main, run.input, run.tables, '.'));
  EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"Результаты расчета.xlsx"});

  // A good export replaces the file.
  EXPECT_FALSE(ExportResultsWorkbook(path, run.main, run.input, run.tables, '.'));
  EXPECT_EQ(ReadWorkbookInfo(path).sheets.size(), 1u + 2 + 1 + 4);
  EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"Результаты расчета.xlsx"});
}

// ---- The file exported into ------------------------------------------------------

TEST(ResultsExport, AWriteProtectedFileIsRefusedAndAWritableOneKeepsItsMode) {
  ExportRun run(1, 3, 1, 1, 1);
  run.FindAll();
  const std::string dir = FreshDir("export_modes");
  const std::string path = dir + "/out.xlsx";
  WriteFileWithMode(path, "an earlier export", std::filesystem::perms(0444));
  EXPECT_EQ(ErrorOf([&] { return ExportResultsWorkbook(path, run.main, run.input, run.tables, '.'); }),
            "Файл «" + path + "» защищен от записи.");
  EXPECT_EQ(ReadFile(path), "an earlier export");
  EXPECT_EQ(Mode(path), std::filesystem::perms(0444));
  std::filesystem::permissions(path, std::filesystem::perms(0600));
  EXPECT_FALSE(ExportResultsWorkbook(path, run.main, run.input, run.tables, '.'));
  EXPECT_EQ(Mode(path), Kept(std::filesystem::perms(0600)));
  EXPECT_EQ(ReadWorkbookInfo(path).sheets.size(), 1u + 1 + 1 + 1);
#ifndef _WIN32
  // A pipe is no file to replace: it stays a pipe.
  ASSERT_EQ(mkfifo((dir + "/pipe.xlsx").c_str(), 0644), 0);
  EXPECT_THAT(ErrorOf([&] { return ExportResultsWorkbook(dir + "/pipe.xlsx", run.main, run.input, run.tables, '.'); }),
              HasSubstr("Это не обычный файл"));
  EXPECT_TRUE(std::filesystem::is_fifo(dir + "/pipe.xlsx"));
  EXPECT_EQ(DirEntries(dir), (std::vector<std::string>{"out.xlsx", "pipe.xlsx"}));
#endif
}

// The workbook library reports the failure on standard error in English
// itself; the user gets one message, in Russian, with the system's reason.
TEST(ResultsExport, AFullDiskFailsWithItsReasonInRussianAlone) {
  FullDisk disk("export_full");
  VP_SKIP_WITHOUT(disk);
  ExportRun run(2, 4, 1, 2, 2);
  run.FindAll();
  WriteFile(disk.Path("out.xlsx"), "an earlier export");
  disk.Fill();
  ::testing::internal::CaptureStderr();
  const std::string message = ErrorOf([&] { return ExportResultsWorkbook(disk.Path("out.xlsx"), run.main, run.input, run.tables, '.'); });
  const std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(message, "Не удалось записать файл «" + disk.Path("out.xlsx") + "». Нет места на диске.");
  EXPECT_EQ(printed, "");
  EXPECT_EQ(ReadFile(disk.Path("out.xlsx")), "an earlier export");
  EXPECT_EQ(DirEntries(disk.Dir()), (std::vector<std::string>{"filler", "out.xlsx"}));
}

}  // namespace

namespace {

// The steel rotor run through the program with the given bearings and step,
// exported with its summary.
struct RotorExport {
  ProgramState st;
  Exported book;
  RotorExport(const std::vector<double>& stiffness, const std::string& step, const std::string& name, int KP = 6) {
    st.form = SteelRotorForm(stiffness, KP);
    st.form.Edit9 = step;
    RunToResults(st);
    book.path = FreshDir(name) + "/Результаты расчета.xlsx";
    EXPECT_FALSE(ExportResultsWorkbook(book.path, st.form, st.echo, st.results, '.', &st.summary));
    ExpectNumbersReadWhole(ZipParts(book.path));
    book.info = ReadWorkbookInfo(book.path);
  }
};

}  // namespace

TEST(ResultsExport, EachVariantSheetEndsWithItsCompletenessLines) {
  // A step of 280: variant 1 passes over two frequencies, variant 2 none and
  // finds all KP = 4 (its last block is full).
  RotorExport run({1e7, 1e8}, "280", "checks", 4);
  for (int v = 1; v <= 2; ++v) {
    // The input file, the check, then the comparison with the continuous shaft.
    const VariantResult& result = run.st.summary.variants[v - 1];
    std::vector<std::string> expected = VariantNotes(run.st.summary, v, '.');
    expected.insert(expected.begin(), "Файл исходных данных: не задан");
    ASSERT_GT(ContinuousLines(result, 100, '.').size(), 1u);
    const Sheet s = run.book.Read(v);
    const int first = 4 * (HalfKM(20) + 2) + 3;  // below the blocks of KP = 4 frequencies
    if (v == 2) {
      EXPECT_EQ(s.Cell(first - 2, 1).kind, CellKind::Number);  // the last section of block 4
    }
    EXPECT_EQ(s.Cell(first - 1, 1).kind, CellKind::Empty);
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(s.Cell(first + static_cast<int>(i), 1).text, expected[i]);
    EXPECT_EQ(s.Cell(first + static_cast<int>(expected.size()), 1).kind, CellKind::Empty);
  }
  EXPECT_THAT(run.book.Read(1).Cell(4 * 12 + 5, 1).text, HasSubstr("Внимание: пропущены частоты"));
}

TEST(ResultsExport, TheFrequencyMapSheetHoldsOrdinalsGapsAndLikeness) {
  // Six variants from 1e7 to 1e9 with a step of 280: variant 1 lacks
  // ordinals 1 and 2, and the second and third branches veer.
  RotorExport run({1e7, 2.5e7, 6.3e7, 1.6e8, 4e8, 1e9}, "280", "map");
  ASSERT_EQ(run.book.info.sheets.back().name, "Карта частот");
  const FrequencyMap map = BuildFrequencyMap(run.st.summary);
  const int L = static_cast<int>(map.lines.size());
  ASSERT_GE(L, 4);
  const Sheet aux = run.book.Read(7);
  const int top = 4 * 6 + 2;
  EXPECT_EQ(aux.Cell(top + 1, 1).text, "Вариант:");
  for (int c = 0; c < 6; ++c) ExpectNumber(aux, top + 1, 2 + c, c + 1);
  for (int n = 0; n < L; ++n) {
    EXPECT_EQ(aux.Cell(top + 2 + n, 1).text, "Частота № " + std::to_string(map.lines[n].ordinal));
    for (int c = 0; c < 6; ++c) {
      const auto& F = map.lines[n].frequencies[c];
      if (F)
        ExpectNumber(aux, top + 2 + n, 2 + c, *F);
      else
        EXPECT_EQ(aux.Cell(top + 2 + n, 2 + c).kind, CellKind::Empty) << n << " " << c;
    }
  }
  EXPECT_EQ(aux.Cell(top + 2, 2).kind, CellKind::Empty);  // the gap of ordinal 1 in variant 1
  // Below the tables of the frequencies, their Hz and rpm and the continuous shaft's.
  const int macTop = top + 2 + 4 * (L + 1);
  EXPECT_THAT(aux.Cell(macTop, 1).text, HasSubstr("MAC"));
  EXPECT_EQ(aux.Cell(macTop + 1, 3).text, "1 - 2");
  int marked = 0;
  for (int n = 0; n < L; ++n)
    for (int c = 0; c < 5; ++c) {
      const auto& mac = map.lines[n].mac[c];
      if (mac)
        ExpectNumber(aux, macTop + 2 + n, 3 + c, *mac);
      else
        EXPECT_EQ(aux.Cell(macTop + 2 + n, 3 + c).kind, CellKind::Empty);
      marked += mac && *mac < kLowMac;
    }
  ASSERT_GT(marked, 0);
  // The chart: one series per ordinal and one dashed series per ordinal with a
  // low likeness, drawn with gaps.
  int charts = 0;
  for (const auto& sheet : run.book.info.sheets) charts += sheet.kind == SheetKind::Chart;
  const std::string chart = run.book.ChartXml(charts);
  EXPECT_THAT(chart, HasSubstr("<a:t>Карта частот (пунктиром - непрерывная модель вала)</a:t>"));
  // Ordinal 1's continuous companion: its row of the table, thin and dotted in the line's colour.
  const int cRow = top + 2 + 3 * (L + 1);
  ExpectNumber(aux, cRow, 2, *map.lines[0].continuous[0]);
  EXPECT_THAT(chart, HasSubstr("<a:srgbClr val=\"1F77B4\"/></a:solidFill><a:prstDash val=\"sysDot\"/></a:ln></c:spPr>"
                               "<c:marker><c:symbol val=\"circle\"/><c:size val=\"3\"/>"));
  EXPECT_THAT(chart, HasSubstr("$B$" + std::to_string(cRow) + ":$G$" + std::to_string(cRow) + "</c:f>"));
  EXPECT_THAT(chart, HasSubstr("<c:v>Частота № 1</c:v>"));
  EXPECT_THAT(chart, HasSubstr("<c:f>'вспомогательная'!$B$" + std::to_string(top + 2) + ":$G$" +
                                   std::to_string(top + 2) + "</c:f>"));
  EXPECT_THAT(chart, HasSubstr(": MAC &lt; 0.8</c:v>"));
  EXPECT_THAT(chart, HasSubstr("<a:prstDash val=\"dash\"/>"));
  EXPECT_THAT(chart, Not(HasSubstr("<c:dispBlanksAs val=\"zero\"/>")));
}

// With one variant there is no map to chart, but its frequencies are numbers
// on the auxiliary sheet too, in Hz and rpm as well, in columns wide enough.
TEST(ResultsExport, OneVariantHasItsFrequenciesAsNumbersButNoMap) {
  RotorExport run({1e7}, "5", "one");
  for (const auto& sheet : run.book.info.sheets) EXPECT_NE(sheet.name, "Карта частот");
  const Sheet aux = run.book.Read(2);
  const std::vector<ModeData>& modes = run.st.summary.variants[0].modes;
  ASSERT_EQ(run.st.summary.variants[0].completeness.ordinals, (std::vector<int>{1, 2, 3, 4}));
  for (int n = 0; n < 4; ++n) {  // rows 8, 13 and 18 on: P, Hz, rpm of ordinal n + 1
    EXPECT_EQ(aux.Cell(13 + n, 1).text, "Частота № " + std::to_string(n + 1) + ", Гц");
    for (const auto& [row, value] : {std::pair{8, modes[n].F}, {13, Hertz(modes[n].omega)}, {18, Rpm(modes[n].omega)}})
      EXPECT_NEAR(aux.Cell(row + n, 2).number, value, 1e-9 * value) << row + n;
  }
  EXPECT_GE(ColumnWidth(run.book.SheetXml(2), 2), 12);  // a number of 11 characters
}
