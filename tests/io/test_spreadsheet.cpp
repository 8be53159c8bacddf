// The workbook layer: reading real and hand-built .xlsx/.xls files, the loader's
// cell conversions, the .xlsx writer, and damaged files of every kind.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "cell_values.h"
#include "errors.h"
#include "workbook_files.h"
#include "workbook_reader.h"
#include "workbook_writer.h"

using namespace vp;
using namespace vp::test;
using ::testing::HasSubstr;

namespace {

const std::string kData = VP_TEST_DATA_DIR;

// ---- Cells and their conversions ----

TEST(SheetCells, NamesWindowAndNonFiniteNumbers) {
  EXPECT_EQ(CellName(12, 26), "Z12");
  EXPECT_EQ(CellName(3, 27), "AA3");
  EXPECT_EQ(CellName(3, 52), "AZ3");
  EXPECT_EQ(CellName(1048576, 16384), "XFD1048576");

  Sheet s(3, 2);
  s.SetNumber(3, 2, 1);
  s.SetNumber(4, 1, 2);  // beyond the window: dropped
  s.SetNumber(1, 3, 3);
  s.SetNumber(0, 1, 4);
  s.SetNumber(1, 1, std::numeric_limits<double>::infinity());
  EXPECT_EQ(s.StoredCount(), 2);
  EXPECT_EQ(s.Cell(3, 2).number, 1);
  EXPECT_EQ(s.Cell(1, 1).kind, CellKind::Error);
  EXPECT_EQ(s.Cell(1, 1).text, "#NUM!");
  EXPECT_EQ(s.Cell(4, 1).kind, CellKind::Empty);
}

TEST(CellConversion, IntegersRoundHalfToEvenAndStayIn32Bits) {
  Sheet s(5, 5);
  const double values[] = {2.5, 3.5, -2.5, 0.49999999999999994, 2147483647.4, -2147483648.5, 2147483647.5};
  for (int i = 0; i < 7; ++i) s.SetNumber(2 + i / 5, i % 5 + 1, values[i]);  // A2..E2, A3..B3
  EXPECT_EQ(CellAsInteger(s, 2, 1, '.'), 2);
  EXPECT_EQ(CellAsInteger(s, 2, 2, '.'), 4);
  EXPECT_EQ(CellAsInteger(s, 2, 3, '.'), -2);
  EXPECT_EQ(CellAsInteger(s, 2, 4, '.'), 0);
  EXPECT_EQ(CellAsInteger(s, 2, 5, '.'), 2147483647);
  EXPECT_EQ(CellAsInteger(s, 3, 1, '.'), -2147483648);  // the even neighbour is in range
  const std::string msg = ErrorOf([&] { CellAsInteger(s, 3, 2, '.'); });
  EXPECT_THAT(msg, HasSubstr("B3"));
  EXPECT_THAT(msg, HasSubstr("«2147483647.5»"));
  EXPECT_EQ(CellAsInteger(s, 5, 5, '.'), 0);  // empty
  EXPECT_EQ(CellAsReal(s, 5, 5, '.'), 0);
}

TEST(CellConversion, TextsReadWithTheDecimalSeparatorOthersFailNamingTheCell) {
  Sheet s(5, 5);
  s.SetName("Данные");
  s.SetText(1, 1, "2,5");
  s.SetText(1, 2, " 3,5 ");
  s.SetText(1, 3, "abc");
  s.SetText(1, 4, "");
  s.SetBoolean(2, 1, true);
  s.SetError(2, 2, "#DIV/0!");
  EXPECT_EQ(CellAsInteger(s, 1, 1, ','), 2);
  EXPECT_EQ(CellAsInteger(s, 1, 2, ','), 4);
  EXPECT_DOUBLE_EQ(CellAsReal(s, 1, 1, ','), 2.5);
  EXPECT_THROW(CellAsReal(s, 1, 1, '.'), Failure);  // "2,5" is no number with '.'

  const std::string text = ErrorOf([&] { CellAsReal(s, 1, 3, ','); });
  EXPECT_EQ(text, "Ошибка в книге: лист «Данные», ячейка C1: значение «abc» не является числом");
  EXPECT_THAT(ErrorOf([&] { CellAsInteger(s, 1, 4, ','); }), HasSubstr("D1: значение «» не является целым числом"));
  EXPECT_THAT(ErrorOf([&] { CellAsInteger(s, 2, 1, ','); }), HasSubstr("A2: значение «ИСТИНА»"));
  EXPECT_THAT(ErrorOf([&] { CellAsReal(s, 2, 2, ','); }), HasSubstr("B2: значение «#DIV/0!»"));
  EXPECT_THROW(CellAsReal(s, 2, 2, ','), Failure);
}

TEST(CellConversion, MessagesShowHostileNamesAndTextsPrintably) {
  // A sheet name and a cell text are the file's own bytes: control characters
  // (a terminal's escape sequences, a line break) and ill-formed UTF-8 appear
  // escaped or replaced, and a long text is cut.
  Sheet s(2, 2);
  s.SetName("\x1B]0;title\x07Лист\xFF");
  s.SetText(1, 1, std::string("1\0\r\n\x1B[2J\xC3", 9));
  s.SetText(1, 2, std::string(100000, '9') + "x");
  EXPECT_EQ(ErrorOf([&] { CellAsReal(s, 1, 1, ','); }),
            "Ошибка в книге: лист «\\x1B]0;title\\x07Лист\xEF\xBF\xBD», ячейка A1: значение «1\\x00\\r\\n\\x1B[2J"
            "\xEF\xBF\xBD» не является числом");
  const std::string cut = ErrorOf([&] { CellAsInteger(s, 1, 2, ','); });
  EXPECT_THAT(cut, HasSubstr("значение «" + std::string(256, '9') + "…» не является целым числом"));
  EXPECT_LT(cut.size(), 1000u);
}

// ---- Real workbooks made by LibreOffice from input.fods ----

// Every cell of the window agrees, except those listed.
void ExpectSameCells(const Sheet& a, const Sheet& b, const std::vector<std::string>& except = {}) {
  EXPECT_EQ(a.StoredCount(), b.StoredCount());
  for (int r = 1; r <= a.MaxRow(); ++r)
    for (int c = 1; c <= a.MaxCol(); ++c) {
      if (std::find(except.begin(), except.end(), CellName(r, c)) != except.end()) continue;
      const SheetCell &x = a.Cell(r, c), &y = b.Cell(r, c);
      EXPECT_TRUE(x.kind == y.kind && x.number == y.number && x.text == y.text) << CellName(r, c);
    }
}

// What both fixtures hold on their active sheet "Данные" (the second tab).
void ExpectInputLayout(const Sheet& s) {
  EXPECT_EQ(s.Name(), "Данные");
  const double column2[] = {2, 4, 1, 2, 3, 0.1, 50, 0.5, 1e-6, 1e-5, 1, 4};
  for (int r = 1; r <= 12; ++r) {
    EXPECT_EQ(s.Cell(r, 2).kind, CellKind::Number) << "row " << r;
    EXPECT_DOUBLE_EQ(s.Cell(r, 2).number, column2[r - 1]) << "row " << r;
  }
  EXPECT_EQ(s.Cell(1, 1).text, "число опор:");
  EXPECT_EQ(s.Cell(11, 3).number, 4);
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(s.Cell(15, 1 + k).number, k);
    EXPECT_DOUBLE_EQ(s.Cell(16, 1 + k).number, 0.25);  // formulas: their cached results
    EXPECT_DOUBLE_EQ(s.Cell(17, 1 + k).number, 0.25);
    EXPECT_EQ(s.Cell(18, 1 + k).number, 1);
  }
  EXPECT_EQ(s.Cell(22, 2).number, 1000);
  EXPECT_EQ(s.Cell(22, 3).number, 500000);
  EXPECT_EQ(s.Cell(23, 2).number, 1000);
  EXPECT_EQ(s.Cell(23, 3).kind, CellKind::Empty);
  EXPECT_EQ(s.Cell(21, 3).text, "Вариант 2");
  // Error and boolean formula results, a text that looks like a number, rich text.
  EXPECT_EQ(s.Cell(13, 2).kind, CellKind::Error);
  EXPECT_EQ(s.Cell(13, 2).text, "#DIV/0!");
  EXPECT_EQ(s.Cell(13, 3).kind, CellKind::Boolean);
  EXPECT_EQ(s.Cell(13, 3).number, 1);
  EXPECT_EQ(s.Cell(13, 5).text, "0,25");
  EXPECT_EQ(s.Cell(13, 6).text, "Жесткость опор в Н/м");
  EXPECT_EQ(s.Cell(13, 7).number, -7);
  // Long shared strings (in .xls they run over CONTINUE records) and a repeated one.
  EXPECT_EQ(s.Cell(19, 1).text, std::string(9000, 'x'));
  std::string zh;
  for (int i = 0; i < 5000; ++i) zh += "Ж";
  EXPECT_EQ(s.Cell(19, 2).text, zh);
  EXPECT_EQ(s.Cell(19, 3).text, "Масса(m):");
  EXPECT_EQ(s.Cell(17, 1).text, "Масса(m):");
}

TEST(RealWorkbooks, XlsxFromLibreOfficeReadsTheActiveSecondSheet) {
  const std::string path = kData + "/input.xlsx";
  const WorkbookInfo info = ReadWorkbookInfo(path);
  ASSERT_EQ(info.sheets.size(), 2u);
  EXPECT_EQ(info.sheets[0].name, "Примечания");
  EXPECT_EQ(info.activeTab, 1);
  const Sheet s = ReadActiveSheet(path, 40, 20);
  ExpectInputLayout(s);
  EXPECT_EQ(s.Cell(13, 4).text, "вал №1");  // a formula with a text result
  EXPECT_EQ(ReadSheet(path, 0, 5, 5).Cell(2, 2).number, 3.14159265358979);
}

TEST(RealWorkbooks, XlsFromLibreOfficeReadsTheSameCells) {
  const std::string path = kData + "/input.xls";
  const Sheet s = ReadActiveSheet(path, 40, 20);
  ExpectInputLayout(s);
  // LibreOffice writes a text formula result into .xls as the number 0.
  EXPECT_EQ(s.Cell(13, 4).kind, CellKind::Number);
  // Every other cell agrees with the .xlsx.
  ExpectSameCells(s, ReadActiveSheet(kData + "/input.xlsx", 40, 20), {"D13"});
}

TEST(RealWorkbooks, OnlyTheWindowIsKept) {
  for (const char* name : {"/input.xls", "/input.xlsx"}) {
    const Sheet s = ReadActiveSheet(kData + name, 5, 2);
    EXPECT_EQ(s.StoredCount(), 10) << name;
    EXPECT_EQ(s.Cell(5, 2).number, 3);
    EXPECT_EQ(s.Cell(6, 2).kind, CellKind::Empty);
  }
}

// An exported workbook (chart sheet active) and the same workbook saved again by
// LibreOffice, which turns the chart sheet into a worksheet holding the chart.
TEST(RealWorkbooks, ExportedWorkbookAndItsLibreOfficeCopies) {
  const std::string exported = kData + "/results.xlsx";
  EXPECT_EQ(ReadWorkbookInfo(exported).sheets[3].kind, SheetKind::Chart);
  const Sheet input = ReadActiveSheet(exported, 40, 20);
  EXPECT_EQ(input.Name(), "Исходные данные");
  EXPECT_EQ(CellAsInteger(input, 2, 2, '.'), 4);
  const Sheet variant = ReadSheet(exported, 1, 40, 20);

  for (const char* name : {"/results_lo.xls", "/results_lo.xlsx"}) {
    SCOPED_TRACE(name);
    const std::string path = kData + name;
    const WorkbookInfo info = ReadWorkbookInfo(path);
    ASSERT_EQ(info.sheets.size(), 4u);
    EXPECT_EQ(info.sheets[3].name, "Форма колебаний1_1");
    EXPECT_EQ(info.sheets[3].kind, SheetKind::Worksheet);
    EXPECT_EQ(info.activeTab, 3);
    // The active sheet is now a worksheet without cells.
    const Sheet active = ReadActiveSheet(path, 40, 20);
    EXPECT_EQ(active.Name(), "Форма колебаний1_1");
    EXPECT_EQ(active.StoredCount(), 0);
    // The other sheets hold what the export wrote.
    ExpectSameCells(ReadSheet(path, 0, 40, 20), input);
    ExpectSameCells(ReadSheet(path, 1, 40, 20), variant);
  }
}

// ---- Hand-built .xlsx files ----

const char* kContentTypes =
    "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>";
const char* kPackageRels =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
    "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";

std::string WorkbookXml(const std::string& sheets, int activeTab) {
  return "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<bookViews><workbookView activeTab=\"" +
         std::to_string(activeTab) + "\"/></bookViews><sheets>" + sheets + "</sheets></workbook>";
}

std::string Rels(const std::string& body) {
  return "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + body +
         "</Relationships>";
}

std::string Rel(const std::string& id, const std::string& type, const std::string& target) {
  return "<Relationship Id=\"" + id + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" +
         type + "\" Target=\"" + target + "\"/>";
}

std::string SheetXml(const std::string& rows) {
  return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" + rows +
         "</sheetData></worksheet>";
}

// A workbook whose first tab is a chart sheet and whose second is the worksheet
// with the given rows; the active tab is the chart sheet.
Parts ChartFirstXlsx(const std::string& rows, const std::string& strings = "<sst/>") {
  return {{"[Content_Types].xml", kContentTypes},
          {"_rels/.rels", kPackageRels},
          {"xl/workbook.xml", WorkbookXml("<sheet name=\"Диаграмма\" sheetId=\"1\" r:id=\"rId1\"/>"
                                          "<sheet name=\"Лист\" sheetId=\"2\" r:id=\"rId2\"/>",
                                          0)},
          {"xl/_rels/workbook.xml.rels",
           Rels(Rel("rId1", "chartsheet", "chartsheets/sheet1.xml") +
                Rel("rId2", "worksheet", "/xl/worksheets/data.xml") +
                Rel("rId3", "sharedStrings", "strings/../sharedStrings.xml"))},
          {"xl/chartsheets/sheet1.xml", "<chartsheet/>"},
          {"xl/worksheets/data.xml", SheetXml(rows)},
          {"xl/sharedStrings.xml", strings}};
}

class HandBuilt : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = FreshDir(::testing::UnitTest::GetInstance()->current_test_info()->name()); }
  std::string Zip(const Parts& parts) {
    const std::string path = dir_ + "/book.xlsx";
    WriteZip(path, parts);
    return path;
  }
  std::string Xls(const Bytes& stream, const std::string& streamName = "Workbook") {
    const std::string path = dir_ + "/book.xls";
    WriteOle2(path, {{streamName, stream}});
    return path;
  }
  std::string dir_;
};

TEST_F(HandBuilt, XlsxChartSheetActiveReadsFirstWorksheetWithEveryCellType) {
  const std::string strings =
      "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<si><t>один</t></si>"
      "<si><r><rPr><b/></rPr><t>два </t></r><r><t xml:space=\"preserve\">и три</t></r>"
      "<rPh sb=\"0\" eb=\"1\"><t>ふりがな</t></rPh></si></sst>";
  const std::string rows =
      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c><c r=\"B1\"><v>1.5E-3</v></c>"
      "<c r=\"C1\" t=\"n\"><f>1+1</f><v>2</v></c><c r=\"D1\" t=\"str\"><f>A2</f><v>ф-ла</v></c></row>"
      "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>встроенная</t></is></c><c r=\"B2\" t=\"b\"><v>1</v></c>"
      "<c r=\"C2\" t=\"e\"><v>#N/A</v></c><c r=\"D2\" s=\"3\"/><c r=\"E2\"><f>X1</f></c></row>"
      // Rows and cells without their numbers follow the previous ones.
      "<row><c><v>7</v></c><c t=\"s\"><v>0</v></c></row>"
      "<row r=\"9\"><c r=\"XFD9\"><v>1</v></c><c r=\"A1048576\"><v>1</v></c></row>";
  const std::string path = Zip(ChartFirstXlsx(rows, strings));
  const WorkbookInfo info = ReadWorkbookInfo(path);
  ASSERT_EQ(info.sheets.size(), 2u);
  EXPECT_EQ(info.sheets[0].kind, SheetKind::Chart);
  EXPECT_EQ(info.sheets[1].kind, SheetKind::Worksheet);
  EXPECT_EQ(info.activeTab, 0);

  const Sheet s = ReadActiveSheet(path, 10, 10);
  EXPECT_EQ(s.Name(), "Лист");
  EXPECT_EQ(s.Cell(1, 1).text, "два и три");
  EXPECT_DOUBLE_EQ(s.Cell(1, 2).number, 0.0015);
  EXPECT_EQ(s.Cell(1, 3).number, 2);
  EXPECT_EQ(s.Cell(1, 4).text, "ф-ла");
  EXPECT_EQ(s.Cell(2, 1).text, "встроенная");
  EXPECT_EQ(s.Cell(2, 2).kind, CellKind::Boolean);
  EXPECT_EQ(s.Cell(2, 3).kind, CellKind::Error);
  EXPECT_EQ(s.Cell(2, 3).text, "#N/A");
  EXPECT_EQ(s.Cell(2, 4).kind, CellKind::Empty);
  EXPECT_EQ(s.Cell(2, 5).kind, CellKind::Uncalculated);  // a formula without its result
  EXPECT_EQ(s.Cell(3, 1).number, 7);
  EXPECT_EQ(s.Cell(3, 2).text, "один");
  EXPECT_EQ(s.StoredCount(), 10);  // XFD9 and A1048576 lie beyond the window
  EXPECT_THAT(ErrorOf([&] { ReadSheet(path, 0, 5, 5); }), HasSubstr("не является рабочим"));
}

TEST_F(HandBuilt, XlsxDamagedPartsGiveMessagesNamingTheFile) {
  auto message = [&](const std::string& rows, const std::string& strings = "<sst/>") {
    return ErrorOf([&] { ReadActiveSheet(Zip(ChartFirstXlsx(rows, strings)), 10, 10); });
  };
  EXPECT_EQ(message("<row><c t=\"s\"><v>5</v></c></row>"),
            "Файл «book.xlsx» поврежден или имеет неверный формат: неверный номер общей строки в части "
            "xl/worksheets/data.xml");
  EXPECT_THAT(message("<row r=\"1048577\"><c><v>1</v></c></row>"), HasSubstr("неверный номер строки"));
  EXPECT_THAT(message("<row r=\"9223372036854775807\"/><row><c><v>1</v></c></row>"),
              HasSubstr("неверный номер строки"));
  EXPECT_THAT(message("<row r=\"1048576\"/><row><c><v>1</v></c></row>"), HasSubstr("за пределами листа"));
  EXPECT_THAT(message("<row><c r=\"A99999999\"><v>1</v></c></row>"), HasSubstr("за пределами листа"));
  EXPECT_THAT(message("<row><c r=\"XFD1\"/><c><v>1</v></c></row>"), HasSubstr("за пределами листа"));
  EXPECT_THAT(message("<row><c t=\"s\"><v>-1</v></c></row>"), HasSubstr("неверный номер общей строки"));
  EXPECT_THAT(message("<row><c r=\"1A\"><v>1</v></c></row>"), HasSubstr("неверная ссылка на ячейку"));
  EXPECT_THAT(message("<row><c r=\"XFE1\"><v>1</v></c></row>"), HasSubstr("за пределами листа"));
  EXPECT_THAT(message("<row><c t=\"q\"><v>1</v></c></row>"), HasSubstr("неизвестный тип ячейки"));
  EXPECT_THAT(message("<row><c><v>1</c></row>"), HasSubstr("ошибка XML"));
  std::string deep;
  for (int i = 0; i < 200; ++i) deep += "<x>";
  EXPECT_THAT(message(deep), HasSubstr("вложенность"));

  // Entities declared in a DTD are refused before any can expand.
  Parts withDtd = ChartFirstXlsx("");
  withDtd[5].second =
      "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>"
      "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&b;</t></is></c></row></sheetData></worksheet>";
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Zip(withDtd), 10, 10); }), HasSubstr("DTD"));

  Parts noSheet = ChartFirstXlsx("");
  noSheet.erase(noSheet.begin() + 5);
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Zip(noSheet), 10, 10); }), HasSubstr("нет части xl/worksheets/data.xml"));

  Parts chartsOnly = ChartFirstXlsx("");
  chartsOnly[3].second = Rels(Rel("rId1", "chartsheet", "chartsheets/sheet1.xml"));
  EXPECT_EQ(ErrorOf([&] { ReadActiveSheet(Zip(chartsOnly), 10, 10); }),
            "В книге «book.xlsx» нет ни одного рабочего листа");
}

// Names from outside (the file's own name, a part named in its relationships)
// are shown printably: no terminal escape, line break or ill-formed UTF-8 gets
// through into a message.
TEST_F(HandBuilt, DamageMessagesShowHostileNamesPrintably) {
  Parts parts = ChartFirstXlsx("");
  parts[3].second = Rels(Rel("rId1", "chartsheet", "chartsheets/sheet1.xml") +
                         Rel("rId2", "worksheet", "/xl/&#9;&#10;\xC2\x85\xE2\x80\xAE.xml"));
  EXPECT_EQ(ErrorOf([&] { ReadActiveSheet(Zip(parts), 10, 10); }),
            "Файл «book.xlsx» поврежден или имеет неверный формат: нет части xl/\\t\\n\\u0085\\u202E.xml");
  const std::string hostile = dir_ + "/\x1B]0;x\x07\r.xlsx";
  WriteFile(hostile, "PK not a zip");
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(hostile, 5, 5); }), HasSubstr("«\\x1B]0;x\\x07\\r.xlsx»"));
}

// A cell value that is no number in the file's own notation ('.' as the decimal
// point, no '+', within the range of doubles) is damage in that one cell: the
// message names the cell when the loader reads it, and the value never reads
// with the user's decimal separator.
TEST_F(HandBuilt, XlsxNumbersOutsideTheFileNotationNameTheirCell) {
  const char* bad[] = {"1e-400", "+2", "1,5", "", "0x10", "1e5x", "inf", "nan", "1e400", "--1"};
  std::string rows = "<row r=\"1\"><c r=\"A1\"><v> 2.5 </v></c><c r=\"B1\"><v>-0</v></c>"
                     "<c r=\"C1\"><v>1E+3</v></c><c r=\"D1\"><v>4.9e-324</v></c></row>";
  for (int i = 0; i < 10; ++i)
    rows += "<row r=\"" + std::to_string(i + 2) + "\"><c r=\"B" + std::to_string(i + 2) + "\"><v>" + bad[i] +
            "</v></c></row>";
  const Sheet s = ReadActiveSheet(Zip(ChartFirstXlsx(rows)), 20, 5);
  EXPECT_EQ(CellAsReal(s, 1, 1, ','), 2.5);
  EXPECT_TRUE(std::signbit(CellAsReal(s, 1, 2, '.')));
  EXPECT_EQ(CellAsReal(s, 1, 3, '.'), 1000);
  EXPECT_EQ(CellAsReal(s, 1, 4, '.'), 4.9e-324);
  for (int i = 0; i < 10; ++i) {
    for (char sep : {'.', ','}) {
      EXPECT_EQ(ErrorOf([&] { CellAsReal(s, i + 2, 2, sep); }),
                "Ошибка в книге: лист «Лист», ячейка B" + std::to_string(i + 2) + ": значение «" + bad[i] +
                    "» не является числом");
    }
  }
}

// A formula saved without its result (some programs leave the calculation to
// the spreadsheet program that opens the file) is reported as such, never read
// as an empty cell, that is as 0.
TEST_F(HandBuilt, FormulasSavedWithoutTheirResultAreReportedAsSuch) {
  auto uncalculated = [](const std::string& sheet) {
    return "Ошибка в книге: лист «" + sheet +
           "», ячейка B1: формула не вычислена (в файле нет ее значения); откройте книгу в программе "
           "электронных таблиц и сохраните ее заново";
  };
  const std::string rows =
      "<row r=\"1\"><c r=\"B1\"><f>1+1</f></c><c r=\"C1\" t=\"str\"><f>A1</f></c>"
      "<c r=\"D1\"><f t=\"shared\" si=\"0\"/></c><c r=\"E1\" s=\"1\"/><c r=\"F1\"><f>2+2</f><v>4</v></c>"
      "<c r=\"G1\" t=\"str\"><f>A1</f><v></v></c><c r=\"H1\"><f>1+1</f><v></v></c></row>";
  const Sheet x = ReadActiveSheet(Zip(ChartFirstXlsx(rows)), 5, 10);
  EXPECT_EQ(ErrorOf([&] { CellAsReal(x, 1, 2, '.'); }), uncalculated("Лист"));
  EXPECT_THAT(ErrorOf([&] { CellAsInteger(x, 1, 3, '.'); }), HasSubstr("C1: формула не вычислена"));
  EXPECT_THAT(ErrorOf([&] { CellAsReal(x, 1, 4, '.'); }), HasSubstr("D1: формула не вычислена"));
  EXPECT_EQ(CellAsReal(x, 1, 5, '.'), 0);  // a formatted empty cell
  EXPECT_EQ(CellAsReal(x, 1, 6, '.'), 4);
  EXPECT_EQ(x.Cell(1, 7).kind, CellKind::Text);  // an empty text result is a result
  EXPECT_EQ(x.Cell(1, 8).kind, CellKind::Uncalculated);  // an empty number is none (openpyxl)

  // In .xls a text result follows its FORMULA in a STRING record; when the next
  // cell or the sheet's end comes first, the result is missing.
  using namespace biff;
  const BiffSheet sheet{"Data", 0,
                        {Formula(0, 1, FlaggedResult(0, 0)), Number(0, 0, 1),  // B1: a cell follows
                         Formula(0, 2, FlaggedResult(0, 0)), {0x04BC, {0, 0}},  // C1: a shared formula, then
                         {0x0207, Cat({{2, 0, 0}, Narrow("ok")})},              // its result
                         {0x005E, {0, 0}},                                      // UNCALCED: results are old
                         Formula(0, 3, FlaggedResult(0, 0))}};                  // D1: the sheet ends
  const Sheet b = ReadActiveSheet(Xls(BiffStream({}, {sheet})), 5, 10);
  EXPECT_TRUE(b.FormulasStale());
  EXPECT_TRUE(b.Cell(1, 3).formula && !b.Cell(1, 1).formula);
  EXPECT_EQ(b.Cell(1, 1).number, 1);
  EXPECT_EQ(ErrorOf([&] { CellAsReal(b, 1, 2, '.'); }), uncalculated("Data"));
  EXPECT_EQ(b.Cell(1, 3).text, "ok");
  EXPECT_EQ(b.Cell(1, 4).kind, CellKind::Uncalculated);
}

// ---- Memory that follows the window, not the file ----

// A text of n Cyrillic letters (two bytes each in UTF-8).
std::string Letters(size_t n) {
  std::string text;
  for (size_t i = 0; i < n; ++i) text += "я";
  return text;
}

TEST_F(HandBuilt, TextsBeyondTheirBoundsAreRefused) {
  auto inlineCell = [](const std::string& text) {
    return "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + text + "</t></is></c></row>";
  };
  EXPECT_EQ(ReadActiveSheet(Zip(ChartFirstXlsx(inlineCell(Letters(32767)))), 5, 5).Cell(1, 1).text.size(),
            2u * 32767);
  EXPECT_EQ(ErrorOf([&] { ReadActiveSheet(Zip(ChartFirstXlsx(inlineCell(Letters(32768)))), 5, 5); }),
            "Файл «book.xlsx» слишком велик или поврежден: текст длиннее 32767 знаков в части "
            "xl/worksheets/data.xml");
  // Beyond the window a long text is passed over.
  EXPECT_EQ(ReadActiveSheet(Zip(ChartFirstXlsx(inlineCell(Letters(40000)))), 5, 0).StoredCount(), 0);

  // A shared string counts where a cell shows it; the rich runs add up.
  const std::string longString = "<si><r><t>" + Letters(20000) + "</t></r><r><t>" + Letters(12768) + "</t></r></si>";
  const std::string strings = "<sst>" + longString + "<si><t>short</t></si></sst>";
  const std::string showsShort = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>";
  EXPECT_EQ(ReadActiveSheet(Zip(ChartFirstXlsx(showsShort, strings)), 5, 5).Cell(1, 1).text, "short");
  const std::string showsLong = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>";
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Zip(ChartFirstXlsx(showsLong, strings)), 5, 5); }),
              HasSubstr("текст длиннее 32767 знаков в части xl/sharedStrings.xml"));

  // One string of 30000 letters (60000 bytes) shown in many cells: the sheet
  // keeps at most 16 MB (16777216 bytes) of text, 279 such cells.
  auto manyCells = [](int rows) {
    std::string xml;
    for (int r = 1; r <= rows; ++r) {
      xml += "<row r=\"" + std::to_string(r) + "\">";
      for (int c = 0; c < 10; ++c) xml += "<c t=\"s\"><v>0</v></c>";
      xml += "</row>";
    }
    return xml;
  };
  const std::string sst = "<sst><si><t>" + Letters(30000) + "</t></si></sst>";
  EXPECT_EQ(ReadActiveSheet(Zip(ChartFirstXlsx(manyCells(27), sst)), 30, 10).TextBytes(), 270u * 60000);
  EXPECT_EQ(ErrorOf([&] { ReadActiveSheet(Zip(ChartFirstXlsx(manyCells(28), sst)), 30, 10); }),
            "Файл «book.xlsx» слишком велик или поврежден: в ячейках листа больше 16 МБ текста");

  // The same in .xls: one shared string of 60000 Latin-1 characters.
  using namespace biff;
  Bytes table;
  Put32(table, 1);
  Put32(table, 1);
  Put16(table, 60000);
  table.push_back(0);
  table.resize(table.size() + 60000, 'x');
  BiffSheet cells{"S", 0, {}};
  for (int i = 0; i < 270; ++i) cells.records.push_back(LabelSst(i / 10, i % 10, 0));
  EXPECT_EQ(ReadActiveSheet(Xls(BiffStream({{0x00FC, table}}, {cells})), 30, 10).TextBytes(), 270u * 60000);
  for (int i = 270; i < 280; ++i) cells.records.push_back(LabelSst(i / 10, i % 10, 0));
  EXPECT_EQ(ErrorOf([&] { ReadActiveSheet(Xls(BiffStream({{0x00FC, table}}, {cells})), 30, 10); }),
            "Файл «book.xls» слишком велик или поврежден: в ячейках листа больше 16 МБ текста");
}

// The shared-string table is read after the sheet and only as far as the last
// string a cell of the window shows: damage beyond it is never met.
TEST_F(HandBuilt, SharedStringsAreReadOnlyAsFarAsTheWindowNeeds) {
  const std::string damagedTail = "<sst><si><t>один</t></si><si><t>два</t></si><si><t>три</t><<<";
  auto cell = [](const std::string& ref, int index) {
    return "<row><c r=\"" + ref + "\" t=\"s\"><v>" + std::to_string(index) + "</v></c></row>";
  };
  EXPECT_EQ(ReadActiveSheet(Zip(ChartFirstXlsx(cell("A1", 1), damagedTail)), 5, 5).Cell(1, 1).text, "два");
  EXPECT_EQ(ReadActiveSheet(Zip(ChartFirstXlsx(cell("A1", 1) + cell("Z9", 2), damagedTail)), 5, 5).StoredCount(), 1);
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Zip(ChartFirstXlsx(cell("A1", 2), damagedTail)), 5, 5); }),
              HasSubstr("ошибка XML в части xl/sharedStrings.xml"));
  const std::string two = "<sst><si><t>один</t></si><si><t>два</t></si></sst>";
  EXPECT_EQ(ErrorOf([&] { ReadActiveSheet(Zip(ChartFirstXlsx(cell("A1", 2), two)), 5, 5); }),
            "Файл «book.xlsx» поврежден или имеет неверный формат: неверный номер общей строки в части "
            "xl/worksheets/data.xml");
  // No shared-string part at all.
  Parts noStrings = ChartFirstXlsx(cell("A1", 0));
  noStrings.pop_back();
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Zip(noStrings), 5, 5); }), HasSubstr("неверный номер общей строки"));

  // .xls: a table of three strings whose last one is cut off.
  using namespace biff;
  Bytes table;
  Put32(table, 3);
  Put32(table, 3);
  table = Cat({table, {3, 0, 0}, Narrow("one"), {3, 0, 0}, Narrow("two"), {9, 0, 0}, Narrow("thr")});
  const BiffSheet second{"S", 0, {LabelSst(0, 0, 1), LabelSst(0, 9, 2)}};
  EXPECT_EQ(ReadActiveSheet(Xls(BiffStream({{0x00FC, table}}, {second})), 5, 5).Cell(1, 1).text, "two");
  const BiffSheet third{"S", 0, {LabelSst(0, 0, 2)}};
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(BiffStream({{0x00FC, table}}, {third})), 5, 5); }),
              HasSubstr("обрывается строка"));
  const BiffSheet noTable{"S", 0, {LabelSst(0, 0, 0)}};
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(BiffStream({}, {noTable})), 5, 5); }),
              HasSubstr("неверный номер общей строки"));
}

TEST_F(HandBuilt, PeakMemoryFollowsTheWindowNotTheFile) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's own memory hides the reader's";
#endif
  // Two million empty shared strings (10 MB of XML) of which the window shows the last.
  std::string strings = "<sst>";
  for (int i = 0; i < 2000000; ++i) strings += "<si/>";
  strings += "</sst>";
  const std::string manyStrings = Zip(ChartFirstXlsx("<row><c t=\"s\"><v>1999999</v></c></row>", strings));
  // A blank sheet of 12 MB.
  std::string blank;
  for (int i = 0; i < 2000000; ++i) blank += "<row/>";
  Parts blankParts = ChartFirstXlsx(blank);
  blank.clear();
  strings.clear();
  WriteZip(dir_ + "/blank.xlsx", blankParts);
  blankParts.clear();

  const double forStrings = PeakGrowthMb([&] { EXPECT_EQ(ReadActiveSheet(manyStrings, 31, 201).StoredCount(), 1); });
  const double forBlank = PeakGrowthMb([&] { EXPECT_EQ(ReadActiveSheet(dir_ + "/blank.xlsx", 31, 201).StoredCount(), 0); });
  if (std::isnan(forStrings)) GTEST_SKIP() << "no peak memory to read here";
  std::printf("peak memory growth: %.1f MB for the strings, %.1f MB for the blank sheet\n", forStrings, forBlank);
  EXPECT_LT(forStrings, 8);
  EXPECT_LT(forBlank, 8);
}

// What the XML reader must hold at once, and the lists read from a workbook,
// are bounded; archives and references that lead nowhere are damage.
TEST_F(HandBuilt, XlsxTokensListsAndReferencesWithinBounds) {
  auto message = [&](const Parts& parts) { return ErrorOf([&] { ReadActiveSheet(Zip(parts), 5, 5); }); };
  // A tag of 2 MB (an attribute), a comment of 2 MB: the reader would hold each whole.
  const std::string huge(2u << 20, 'x');
  for (const std::string& rows : {"<row><c a=\"" + huge + "\"><v>1</v></c></row>", "<!--" + huge + "-->"})
    EXPECT_EQ(message(ChartFirstXlsx(rows)),
              "Файл «book.xlsx» слишком велик или поврежден: в части xl/worksheets/data.xml текст или тег длиннее 1 МБ");
  // Just under the bound, blanks between cells are only blanks.
  const std::string blanks((1u << 20) - 1, ' ');
  EXPECT_EQ(ReadActiveSheet(Zip(ChartFirstXlsx("<row>" + blanks + "<c><v>3</v></c></row>")), 5, 5).Cell(1, 1).number, 3);

  Parts manySheets = ChartFirstXlsx("");
  std::string sheets;
  for (int i = 0; i <= 65536; ++i) sheets += "<sheet name=\"x\" r:id=\"rId2\"/>";
  manySheets[2].second = WorkbookXml(sheets, 0);
  EXPECT_EQ(message(manySheets), "Файл «book.xlsx» слишком велик или поврежден: слишком много листов");
  Parts manyRels = ChartFirstXlsx("");
  std::string rels;
  for (int i = 0; i <= 65536; ++i) rels += Rel("r" + std::to_string(i), "worksheet", "/xl/worksheets/data.xml");
  manyRels[3].second = Rels(rels);
  EXPECT_THAT(message(manyRels), HasSubstr("слишком много связей в части xl/_rels/workbook.xml.rels"));

  Parts emptyTarget = ChartFirstXlsx("");
  emptyTarget[3].second = Rels(Rel("rId2", "worksheet", "/"));
  EXPECT_THAT(message(emptyTarget), HasSubstr("ссылка на часть без имени"));
  Parts outside = ChartFirstXlsx("");
  outside[3].second = Rels(Rel("rId2", "worksheet", "../../../../../etc/passwd"));
  EXPECT_THAT(message(outside), HasSubstr("нет части etc/passwd"));

  // An archive whose directory claims a size that needs the 64-bit extension it lacks.
  Parts parts = ChartFirstXlsx("<row><c><v>1</v></c></row>");
  const std::string path = Zip(parts);
  std::string bytes = ReadFile(path);
  const uint32_t size = static_cast<uint32_t>(parts[5].second.size());
  const std::string sizeLe{char(size), char(size >> 8), char(size >> 16), char(size >> 24)};
  for (size_t at = bytes.find(sizeLe); at != std::string::npos; at = bytes.find(sizeLe, at + 4))
    bytes.replace(at, 4, "\xFF\xFF\xFF\xFF");
  WriteFile(path, bytes);
  EXPECT_EQ(ErrorOf([&] { ReadActiveSheet(path, 5, 5); }),
            "Файл «book.xlsx» поврежден или имеет неверный формат: архив ZIP поврежден");
}

TEST_F(HandBuilt, ZipFilesThatAreNoWorkbooksAndZipBombs) {
  EXPECT_EQ(ErrorOf([&] { ReadActiveSheet(Zip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}}), 5, 5); }),
            "Файл «book.xlsx» не является книгой Excel (.xls или .xlsx)");
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Zip({{"[Content_Types].xml", kContentTypes}}), 5, 5); }),
              HasSubstr("нет части xl/workbook.xml"));

  // 65 MB of zeros deflate to some 64 KB: refused by the part's size, not read.
  Parts bomb = ChartFirstXlsx("");
  bomb[5].second = std::string(65u << 20, '\0');
  const std::string path = Zip(bomb);
  EXPECT_LT(std::filesystem::file_size(path), 1u << 20);
  EXPECT_EQ(ErrorOf([&] { ReadActiveSheet(path, 5, 5); }),
            "Файл «book.xlsx» слишком велик или поврежден: часть xl/worksheets/data.xml больше 64 МБ");

  // A zip cut short.
  std::string bytes = ReadFile(kData + "/input.xlsx");
  WriteFile(dir_ + "/cut.xlsx", bytes.substr(0, bytes.size() / 2));
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(dir_ + "/cut.xlsx", 5, 5); }), HasSubstr("«cut.xlsx» поврежден"));
}

TEST_F(HandBuilt, FilesThatCannotBeOpenedOrAreNoWorkbooks) {
  EXPECT_EQ(ErrorOf([&] { ReadActiveSheet(dir_ + "/нет.xls", 5, 5); }),
            "Не удалось открыть файл «нет.xls»: файл не найден или недоступен");
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(dir_, 5, 5); }), HasSubstr("это папка"));
  WriteFile(dir_ + "/empty.xls", "");
  EXPECT_EQ(ErrorOf([&] { ReadActiveSheet(dir_ + "/empty.xls", 5, 5); }),
            "Файл «empty.xls» не является книгой Excel (.xls или .xlsx)");
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(kData + "/input.fods", 5, 5); }), HasSubstr("не является книгой Excel"));
  // An OLE2 file without a workbook stream, such as a word-processor document.
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls({1, 2, 3}, "WordDocument"), 5, 5); }),
              HasSubstr("не является книгой Excel"));
}

// ---- Hand-built .xls files ----

TEST_F(HandBuilt, XlsEveryCellRecordAndFormulaResult) {
  using namespace biff;
  const uint32_t rkInt7 = (7u << 2) | 2, rkHundredths = (1234u << 2) | 3, rkHalf = 0x3FE00000u;
  const uint32_t rkMinus3 = (static_cast<uint32_t>(-3) << 2) | 2;
  BiffSheet data{"Data", 0,
                 {Number(0, 0, 2.75), Rk(0, 1, rkInt7), Rk(0, 2, rkHundredths), Rk(0, 3, rkHalf), Rk(0, 4, rkMinus3),
                  MulRk(1, 1, {rkInt7, rkHalf, rkHundredths}), Label(2, 0, "label"),
                  Formula(3, 0, NumberResult(-1.5)), Formula(3, 1, FlaggedResult(1, 1)),
                  Formula(3, 2, FlaggedResult(2, 0x07)), Formula(3, 3, FlaggedResult(3, 0)),
                  // A text result comes in the STRING record after the formula, here continued.
                  Formula(3, 4, FlaggedResult(0, 0)), {0x04BC, {0, 0}}, {0x0207, Cat({{5, 0, 0}, Narrow("hel")})},
                  Continue(Cat({{0}, Narrow("lo")})), BoolErr(4, 0, 0, false), BoolErr(4, 1, 0x2A, true),
                  {0x0201, Cell(4, 2)},
                  // An embedded chart is a whole substream: its records are not cells of the sheet.
                  Bof(0x0020), Number(5, 0, 999), Eof(), Number(6, 0, 42)}};
  const std::string path = Xls(BiffStream({Window1(0)}, {data}));
  const Sheet s = ReadActiveSheet(path, 10, 10);
  EXPECT_EQ(s.Name(), "Data");
  EXPECT_EQ(s.Cell(1, 1).number, 2.75);
  EXPECT_EQ(s.Cell(1, 2).number, 7);
  EXPECT_DOUBLE_EQ(s.Cell(1, 3).number, 12.34);
  EXPECT_EQ(s.Cell(1, 4).number, 0.5);
  EXPECT_EQ(s.Cell(1, 5).number, -3);
  EXPECT_EQ(s.Cell(2, 2).number, 7);
  EXPECT_EQ(s.Cell(2, 3).number, 0.5);
  EXPECT_DOUBLE_EQ(s.Cell(2, 4).number, 12.34);
  EXPECT_EQ(s.Cell(3, 1).text, "label");
  EXPECT_EQ(s.Cell(4, 1).number, -1.5);
  EXPECT_EQ(s.Cell(4, 2).kind, CellKind::Boolean);
  EXPECT_EQ(s.Cell(4, 2).number, 1);
  EXPECT_EQ(s.Cell(4, 3).text, "#DIV/0!");
  EXPECT_EQ(s.Cell(4, 4).kind, CellKind::Text);
  EXPECT_EQ(s.Cell(4, 4).text, "");
  EXPECT_EQ(s.Cell(4, 5).text, "hello");
  EXPECT_EQ(s.Cell(5, 1).kind, CellKind::Boolean);
  EXPECT_EQ(s.Cell(5, 2).text, "#N/A");
  EXPECT_EQ(s.Cell(5, 3).kind, CellKind::Empty);
  EXPECT_EQ(s.Cell(6, 1).kind, CellKind::Empty);
  EXPECT_EQ(s.Cell(7, 1).number, 42);
}

TEST_F(HandBuilt, XlsSharedStringsSplitOverContinueRecords) {
  using namespace biff;
  Bytes sst;
  Put32(sst, 5);
  Put32(sst, 5);
  // "abc"; then "deЖЗИЙ" whose characters change to UTF-16 in the next record.
  sst = Cat({sst, {3, 0, 0}, Narrow("abc"), {6, 0, 0}, Narrow("de")});
  // ...; a rich "xy" whose formatting run is split across records.
  const Bytes c1 = Cat({{1}, Wide(u"ЖЗИЙ"), {2, 0, 0x08, 1, 0}, Narrow("xy"), {0, 0}});
  // ...; an extended wide "Ω" with 3 bytes of extension, then a header that
  // ends exactly where the record ends.
  const Bytes c2 = Cat({{1, 0}, {1, 0, 0x05, 3, 0, 0, 0}, Wide(u"Ω"), {9, 9, 9}, {2, 0, 0}});
  // Its characters start the next record with their own option byte.
  const Bytes c3 = Cat({{1}, Wide(u"ЮЯ")});
  std::vector<BiffRecord> globals = {Window1(1), {0x00FC, sst}, Continue(c1), Continue(c2), Continue(c3)};
  BiffSheet chart{"Chart", 2, {}};
  BiffSheet data{"Data", 0, {LabelSst(0, 0, 0), LabelSst(0, 1, 1), LabelSst(0, 2, 2), LabelSst(0, 3, 3),
                             LabelSst(0, 4, 4)}};
  const std::string path = Xls(BiffStream(globals, {data, chart}));
  const WorkbookInfo info = ReadWorkbookInfo(path);
  EXPECT_EQ(info.activeTab, 1);
  EXPECT_EQ(info.sheets[1].kind, SheetKind::Chart);
  const Sheet s = ReadActiveSheet(path, 5, 5);  // the chart sheet is active: the first worksheet is read
  EXPECT_EQ(s.Name(), "Data");
  EXPECT_EQ(s.Cell(1, 1).text, "abc");
  EXPECT_EQ(s.Cell(1, 2).text, "deЖЗИЙ");
  EXPECT_EQ(s.Cell(1, 3).text, "xy");
  EXPECT_EQ(s.Cell(1, 4).text, "Ω");
  EXPECT_EQ(s.Cell(1, 5).text, "ЮЯ");

  // A shared-string index beyond the table.
  data.records.push_back(LabelSst(1, 0, 5));
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(BiffStream(globals, {data, chart})), 5, 5); }),
              HasSubstr("неверный номер общей строки"));
}

TEST_F(HandBuilt, XlsActiveTabAndMissingWorksheets) {
  using namespace biff;
  BiffSheet first{"First", 0, {Number(0, 0, 1)}};
  BiffSheet second{"Second", 0, {Number(0, 0, 2)}};
  BiffSheet chart{"Chart", 2, {}};
  EXPECT_EQ(ReadActiveSheet(Xls(BiffStream({Window1(1)}, {first, second})), 2, 2).Name(), "Second");
  // A tab beyond the sheets, and no WINDOW1 at all: the first worksheet.
  EXPECT_EQ(ReadActiveSheet(Xls(BiffStream({Window1(7)}, {chart, second})), 2, 2).Name(), "Second");
  EXPECT_EQ(ReadActiveSheet(Xls(BiffStream({}, {first, second})), 2, 2).Name(), "First");
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(BiffStream({}, {chart})), 2, 2); }),
              HasSubstr("нет ни одного рабочего листа"));
}

// A string whose characters run into a CONTINUE record that holds only the
// option byte: the characters are missing. In the middle of the stream the
// record after it must not be read as text; at the end of the stream nothing
// may be read beyond it.
TEST_F(HandBuilt, XlsStringsCutShortInAContinueRecordAreDamage) {
  using namespace biff;
  Bytes sst;
  Put32(sst, 1);
  Put32(sst, 1);
  sst = Cat({sst, {3, 0, 0}, Narrow("ab")});  // three characters, two of them here
  for (const Bytes& option : {Bytes{0}, Bytes{1}}) {
    SCOPED_TRACE(option[0] ? "UTF-16" : "Latin-1");
    const std::vector<BiffRecord> cutSst = {{0x00FC, sst}, Continue(option)};
    const BiffSheet usesSst{"S", 0, {LabelSst(0, 0, 0), Number(0, 1, 1)}};
    // The shared-string table in the middle: the sheet list follows it.
    EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(BiffStream(cutSst, {usesSst})), 5, 5); }),
                HasSubstr("«book.xls» поврежден или имеет неверный формат: обрывается строка"));
    // ... and at the very end of the stream.
    const Bytes withEof = BiffStream(cutSst, {});
    const Bytes sstLast(withEof.begin(), withEof.end() - 4);  // the globals' EOF dropped
    EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(sstLast), 5, 5); }), HasSubstr("«book.xls» поврежден"));

    // A formula's text result in STRING, followed by the sheet's other cells ...
    const std::vector<BiffRecord> cutString = {Formula(0, 0, FlaggedResult(0, 0)),
                                               {0x0207, Cat({{3, 0, 0}, Narrow("ab")})}, Continue(option)};
    BiffSheet formula{"S", 0, cutString};
    formula.records.push_back(Number(0, 1, 1));
    EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(BiffStream({}, {formula})), 5, 5); }),
                HasSubstr("«book.xls» поврежден или имеет неверный формат: обрывается строка"));
    // ... or ending the stream.
    const Bytes sheetWithEof = BiffStream({}, {{"S", 0, cutString}});
    const Bytes stringLast(sheetWithEof.begin(), sheetWithEof.end() - 4);  // the sheet's EOF dropped
    EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(stringLast), 5, 5); }),
                HasSubstr("«book.xls» поврежден или имеет неверный формат: обрывается строка"));
  }
}

TEST_F(HandBuilt, XlsEncryptedOldAndDamaged) {
  using namespace biff;
  BiffSheet sheet{"S", 0, {Number(0, 0, 1)}};
  EXPECT_EQ(ErrorOf([&] { ReadActiveSheet(Xls(BiffStream({{0x002F, {1, 0, 1, 0, 1, 0}}}, {sheet})), 2, 2); }),
            "Книга «book.xls» защищена паролем. Снимите защиту и сохраните книгу заново.");
  // A password-protected .xlsx is an OLE2 file too.
  const std::string encryptedXlsx = dir_ + "/secret.xlsx";
  WriteOle2(encryptedXlsx, {{"EncryptionInfo", {4, 0, 4, 0}}, {"EncryptedPackage", {0, 0, 0, 0}}});
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(encryptedXlsx, 2, 2); }), HasSubstr("защищена паролем"));

  Bytes biff5;
  Append(biff5, Bof(0x0005, 0x0500));
  Append(biff5, Eof());
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(biff5), 2, 2); }), HasSubstr("Excel 5.0/95"));
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(BiffStream({}, {sheet}), "Book"), 2, 2); }),
              HasSubstr("Excel 5.0/95"));

  Bytes stream = BiffStream({}, {sheet});
  Bytes cut(stream.begin(), stream.end() - 6);  // the sheet's EOF and part of its NUMBER lost
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(cut), 2, 2); }), HasSubstr("выходит за конец потока"));
  Bytes noEnd(stream.begin(), stream.end() - 4);
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(noEnd), 2, 2); }), HasSubstr("нет конца листа"));
  Bytes badOffset = stream;
  const size_t boundSheetData = 4 + 16 + 4;  // after the globals' BOF and the BOUNDSHEET header
  badOffset[boundSheetData + 3] = 0x7F;
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(badOffset), 2, 2); }), HasSubstr("за концом потока"));
  Bytes notBof = stream;
  notBof[0] = 0x34;
  EXPECT_THAT(ErrorOf([&] { ReadActiveSheet(Xls(notBof), 2, 2); }), HasSubstr("нет записи начала"));
}

// ---- The writer ----

TEST(WorkbookWriterTest, SheetsCellsMergesFillsWidthsAndTheActiveChart) {
  const std::string dir = FreshDir("writer");
  const std::string path = dir + "/out.xlsx";
  WriteFile(path, "old contents");  // replaced
  {
    WorkbookWriter book(path);
    WorksheetWriter& a = book.AddWorksheet("Первый");
    a.WriteText(1, 1, "Длинная подпись");  // 15 characters
    a.WriteNumber(2, 1, 1.0 / 3);          // shown as 11 characters at most
    a.WriteNumber(1, 2, 12);
    const Rgb fill{223, 123, 123};
    a.MergeText(3, 2, 3, "объединенная ячейка с очень длинным текстом", &fill);
    a.MergeText(3, 4, 4, "один", &fill);
    a.AutoFitColumns(1, 5);
    a.WriteText(4, 1, "ещё более длинная подпись");  // after the fit: no effect on it
    WorksheetWriter& data = book.AddWorksheet("Данные");
    for (int c = 1; c <= 5; ++c) data.WriteNumber(1, c, c * c);
    book.AddLineChartSheet("Диаграмма", {"Данные", 1, 2, 4, "Заголовок", "Ось X", "Ось Y", true}).Activate();
    book.AddLineChartSheet("Без легенды", {"Данные", 1, 1, 5, "", "", "", false});
    book.Save();
  }
  EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.xlsx"});

  const WorkbookInfo info = ReadWorkbookInfo(path);
  ASSERT_EQ(info.sheets.size(), 4u);
  EXPECT_EQ(info.sheets[0].name, "Первый");
  EXPECT_EQ(info.sheets[2].name, "Диаграмма");
  EXPECT_EQ(info.sheets[2].kind, SheetKind::Chart);
  EXPECT_EQ(info.activeTab, 2);
  const Sheet a = ReadSheet(path, 0, 10, 10);
  EXPECT_EQ(a.Cell(1, 1).text, "Длинная подпись");
  EXPECT_EQ(a.Cell(1, 2).kind, CellKind::Number);
  EXPECT_EQ(a.Cell(1, 2).number, 12);
  EXPECT_EQ(a.Cell(3, 2).text, "объединенная ячейка с очень длинным текстом");
  EXPECT_EQ(a.Cell(3, 3).kind, CellKind::Empty);

  const std::string xml = ZipPart(path, "xl/worksheets/sheet1.xml");
  EXPECT_THAT(xml, HasSubstr("<mergeCell ref=\"B3:C3\"/>"));
  EXPECT_THAT(xml, Not(HasSubstr("ref=\"D3:D3\"")));
  // Widths: 15 + 1 for A, 2 + 1 for B (the merged text does not count), 4 + 1
  // for D (one cell is no merge), E empty and untouched.
  EXPECT_THAT(xml, HasSubstr("<col min=\"1\" max=\"1\" width=\"16.7109375\" customWidth=\"1\"/>"));
  EXPECT_THAT(xml, HasSubstr("<col min=\"2\" max=\"2\" width=\"3.7109375\" customWidth=\"1\"/>"));
  EXPECT_THAT(xml, HasSubstr("<col min=\"4\" max=\"4\" width=\"5.7109375\" customWidth=\"1\"/>"));
  EXPECT_THAT(xml, Not(HasSubstr("min=\"5\"")));
  // The fill's style on all of B3..D3, not on the plain cells.
  EXPECT_THAT(ZipPart(path, "xl/styles.xml"), HasSubstr("<fgColor rgb=\"FFDF7B7B\"/>"));
  for (const char* cell : {"B3", "C3", "D3"}) EXPECT_THAT(xml, HasSubstr(std::string("<c r=\"") + cell + "\" s=\"1\""));
  EXPECT_THAT(xml, HasSubstr("<c r=\"B1\"><v>12</v>"));

  const std::string chart = ZipPart(path, "xl/charts/chart1.xml");
  EXPECT_THAT(chart, HasSubstr("<c:lineChart>"));
  EXPECT_THAT(chart, HasSubstr("<c:f>'Данные'!$B$1:$D$1</c:f>"));
  EXPECT_THAT(chart, HasSubstr("<a:t>Заголовок</a:t>"));
  EXPECT_THAT(chart, HasSubstr("<a:t>Ось X</a:t>"));
  EXPECT_THAT(chart, HasSubstr("<c:legendPos val=\"r\"/>"));
  EXPECT_THAT(ZipPart(path, "xl/charts/chart2.xml"), Not(HasSubstr("<c:legend>")));
}

TEST(WorkbookWriterTest, FailuresLeaveNoNewFileAndTheOldOneUntouched) {
  const std::string dir = FreshDir("writer_fail");
  const std::string path = dir + "/out.xlsx";
  WriteFile(path, "old contents");

  EXPECT_THAT(ErrorOf([&] { WorkbookWriter book(dir + "/нет такой папки/out.xlsx"); }),
              HasSubstr("out.xlsx». Нет такой папки."));
  EXPECT_THAT(ErrorOf([&] {
                WorkbookWriter book(path);
                book.AddWorksheet("Лист").WriteNumber(1, 1, 1);
                book.AddWorksheet("Лист");
              }),
              HasSubstr("Не удалось записать книгу «out.xlsx»"));
  EXPECT_THAT(ErrorOf([&] {
                WorkbookWriter book(path);
                book.AddWorksheet(std::string(32, 'x'));
              }),
              HasSubstr("«out.xlsx»"));
  EXPECT_THAT(ErrorOf([&] {
                WorkbookWriter book(path);
                book.AddWorksheet("Лист").WriteText(1, 16385, "x");
              }),
              HasSubstr("выходит за пределы листа"));
  EXPECT_THAT(ErrorOf([&] {
                WorkbookWriter book(path);
                book.AddWorksheet("Лист").WriteNumber(1048577, 1, 1);
              }),
              HasSubstr("выходит за пределы листа"));
  EXPECT_EQ(ReadFile(path), "old contents");
  EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.xlsx"});

  // A folder is refused before anything is written; the folder and its contents stay.
  std::filesystem::create_directory(dir + "/folder.xlsx");
  WriteFile(dir + "/folder.xlsx/inside", "x");
  EXPECT_THAT(ErrorOf([&] {
                WorkbookWriter book(dir + "/folder.xlsx");
                book.AddWorksheet("Лист");
                book.Save();
              }),
              HasSubstr("folder.xlsx». Это папка."));
  EXPECT_EQ(DirEntries(dir), (std::vector<std::string>{"folder.xlsx", "out.xlsx"}));
  EXPECT_EQ(ReadFile(dir + "/folder.xlsx/inside"), "x");
}

// ---- Damaged and hostile files ----

// Mutations of a file's bytes: bit flips, odd bytes, huge 16/32-bit values
// (record lengths, offsets, counts), insertions, deletions, duplications and
// truncation.
class Mutator {
 public:
  explicit Mutator(uint32_t seed) : rng_(seed) {}

  size_t Below(size_t n) { return n == 0 ? 0 : rng_() % n; }

  std::string Mutate(std::string data) {
    const int count = 1 + static_cast<int>(Below(4));
    for (int i = 0; i < count && !data.empty(); ++i) {
      const size_t at = Below(data.size());
      switch (Below(8)) {
        case 0:
          data[at] ^= static_cast<char>(1 << Below(8));
          break;
        case 1: {
          static const char kOdd[] = {0, '\xFF', '\x7F', '\x80', 1, '9', '<', '"'};
          data[at] = kOdd[Below(sizeof kOdd)];
          break;
        }
        case 2: {
          static const uint32_t kHuge[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x0000FFFFu, 0x80000000u, 0x00002020u};
          const uint32_t v = kHuge[Below(5)];
          for (size_t k = 0; k < 4 && at + k < data.size(); ++k) data[at + k] = static_cast<char>(v >> (8 * k));
          break;
        }
        case 3: {
          std::string junk(1 + Below(16), '\0');
          for (char& c : junk) c = static_cast<char>(rng_());
          data.insert(at, junk);
          break;
        }
        case 4:
          data.erase(at, 1 + Below(64));
          break;
        case 5: {
          const size_t from = Below(data.size()), length = 1 + Below(256);
          data.insert(at, data.substr(from, length));
          break;
        }
        case 6:
          data.resize(at);
          break;
        default:
          data[at] = static_cast<char>(rng_());
          break;
      }
    }
    return data;
  }

  // An XML part: byte mutations, or a number replaced by an absurd one.
  std::string MutateXml(std::string xml) {
    if (Below(2) == 0) return Mutate(std::move(xml));
    static const char* kNumbers[] = {"99999999999999999999", "-1", "1048577", "4294967296", "0", "1e308", "XFD1048576"};
    for (int i = 0; i < 3; ++i) {
      size_t at = Below(xml.size());
      while (at < xml.size() && !(xml[at] >= '0' && xml[at] <= '9')) ++at;
      size_t end = at;
      while (end < xml.size() && xml[end] >= '0' && xml[end] <= '9') ++end;
      if (at < xml.size()) xml.replace(at, end - at, kNumbers[Below(7)]);
    }
    return xml;
  }

 private:
  std::mt19937 rng_;
};

// Reads a file every way the program can; anything but a result or a Failure fails.
void ReadAnyway(const std::string& path, const std::string& what) {
  try {
    const WorkbookInfo info = ReadWorkbookInfo(path);
    ReadActiveSheet(path, 40, 210);
    for (size_t tab = 0; tab < info.sheets.size() && tab < 4; ++tab)
      if (info.sheets[tab].kind == SheetKind::Worksheet) ReadSheet(path, static_cast<int>(tab), 40, 210);
  } catch (const Failure& e) {
    EXPECT_NE(Message(e.error()).find("«"), std::string::npos) << what << ": " << Message(e.error());
  } catch (const std::exception& e) {
    ADD_FAILURE() << what << ": not a Failure: " << e.what();
  } catch (...) {
    ADD_FAILURE() << what << ": unknown exception";
  }
}

// A BIFF8 stream using every record the reader knows.
Bytes RichBiffStream() {
  using namespace biff;
  Bytes sst;
  Put32(sst, 3);
  Put32(sst, 3);
  sst = Cat({sst, {3, 0, 0}, Narrow("abc"), {6, 0, 0x08, 1, 0}, Narrow("de")});
  std::vector<BiffRecord> globals = {Window1(1), {0x00FC, sst},
                                     Continue(Cat({{1}, Wide(u"ЖЗИЙ"), {0, 0, 0, 0}, {1, 0, 0x05, 3, 0, 0, 0}})),
                                     Continue(Cat({{1}, Wide(u"Ω"), {9, 9, 9}}))};
  BiffSheet data{"Data", 0,
                 {Number(0, 1, 2.5), Rk(1, 1, 30), MulRk(2, 1, {30, 0x3FE00000u, 7}), LabelSst(3, 1, 1),
                  Label(4, 1, "label"), Formula(5, 1, NumberResult(1)), Formula(6, 1, FlaggedResult(0, 0)),
                  {0x0207, Cat({{3, 0, 0}, Narrow("abc")})}, BoolErr(7, 1, 1, false), Bof(0x0020), Eof(),
                  LabelSst(8, 1, 2)}};
  return BiffStream(globals, {data, {"Chart", 2, {}}});
}

TEST(DamagedFiles, ThousandsOfMutationsGiveResultsOrMessagesNeverCrashesOrHangs) {
  const std::string dir = FreshDir("fuzz");
  const std::string exported = dir + "/exported.xlsx";
  {
    WorkbookWriter book(exported);
    WorksheetWriter& s = book.AddWorksheet("Исходные данные");
    const Rgb fill{223, 123, 123};
    s.MergeText(2, 2, 3, "Частота №1", &fill);
    for (int c = 1; c <= 10; ++c) s.WriteNumber(3, c, c / 3.0), s.WriteText(4, c, "Опора " + std::to_string(c));
    s.AutoFitColumns(1, 10);
    book.AddLineChartSheet("Форма колебаний1_1", {"Исходные данные", 3, 1, 10, "Т", "X", "Y", true}).Activate();
    book.Save();
  }
  const Bytes rich = RichBiffStream();
  const std::string richXls = dir + "/rich.xls";
  WriteOle2(richXls, {{"Workbook", rich}});

  // A hang shows as the test's timeout; the fixed seed makes it reproducible.
  // The libraries' own warnings about the damage never reach the terminal.
  ::testing::internal::CaptureStderr();
  Mutator mutator(20240611);
  const std::string target = dir + "/case";
  int cases = 0;
  const auto start = std::chrono::steady_clock::now();
  auto run = [&](const std::string& name, const std::string& kind) {
    ReadAnyway(target, name + " " + kind + " #" + std::to_string(cases++));
  };

  // Whole files, byte by byte: the containers themselves (zip, OLE2). Wine's
  // structured storage, which reads the OLE2 container on Windows, loops for
  // ever on some damaged containers (Windows' own is not checked here): under
  // Wine only the zip containers are damaged.
  for (const std::string& source :
       {kData + "/input.xls", kData + "/input.xlsx", kData + "/results_lo.xls", exported, richXls}) {
    if (UnderWine() && source.ends_with(".xls")) continue;
    const std::string original = ReadFile(source);
    for (int i = 0; i < 1000; ++i) {
      WriteFile(target, mutator.Mutate(original));
      run(source, "file");
    }
  }
  // Inside the containers: the XML parts and the BIFF8 stream.
  for (const std::string& source : {kData + "/input.xlsx", exported}) {
    const Parts parts = ZipParts(source);
    for (int i = 0; i < 1000; ++i) {
      Parts mutated = parts;
      auto& part = mutated[mutator.Below(mutated.size())].second;
      part = mutator.MutateXml(part);
      WriteZip(target, mutated);
      run(source, "part");
    }
  }
  for (const Bytes& stream : {rich, OleStream(kData + "/input.xls", "Workbook")}) {
    const std::string original(stream.begin(), stream.end());
    for (int i = 0; i < 1000; ++i) {
      const std::string m = mutator.Mutate(original);
      WriteOle2(target, {{"Workbook", Bytes(m.begin(), m.end())}});
      run("BIFF8 stream", "record");
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::string logged = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(logged.substr(0, 500), "");
  std::printf("%d damaged files read in %.1f s\n", cases, seconds);
}

}  // namespace
