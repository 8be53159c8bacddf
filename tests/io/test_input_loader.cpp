#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <sstream>

#include "error_text.h"
#include "errors.h"
#include "input_loader.h"
#include "output_files.h"
#include "workbook_files.h"
#include "workbook_writer.h"

using namespace vp;
namespace fs = std::filesystem;

namespace {

std::string Example(const std::string& name) {
  std::ifstream in(std::string(VP_EXAMPLES_DIR) + "/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A text file with the given lines 1..7 and the scalar lines 8..17.
std::string TextFile(const std::vector<std::string>& head, const std::vector<std::string>& scalars) {
  std::string out;
  for (size_t i = 0; i < 7; ++i) out += (i < head.size() ? head[i] : "") + "\n";
  for (const std::string& s : scalars) out += s + "\n";
  return out;
}

// N = 2, KM = 3, KP = 2, KW = 1, KZ = 1 and the search parameters.
std::vector<std::string> Scalars(const std::string& N = "2", const std::string& KW = "1") {
  return {N, "3", "2", KW, "1", "1", "0.5", "100", "1E-10", "1E-6"};
}

std::string Load(const std::string& contents, TMainFormModel& form, char sep = '.') {
  return test::Text(LoadInputText(contents, form, sep));
}

class TempFile {
 public:
  TempFile(const std::string& name, const std::string& contents)
      : path_(test::TempPath(name)) {
    std::ofstream(path_, std::ios::binary) << contents;
  }
  ~TempFile() { fs::remove(path_); }
  std::string path() const { return path_.string(); }

 private:
  fs::path path_;
};

int NaiveSearch(int start, const std::string& text, const std::string& pattern) {
  if (pattern.empty() || start < 1) return 0;
  const size_t at = text.find(pattern, start - 1);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

}  // namespace

TEST(InputLoader, TextFileFillsTheFormAsTyped) {
  TMainFormModel f;
  ASSERT_EQ(Load(TextFile({"0.35 0.4 0.5 ", "1 2 3 ", "10 20 30 ", "1 3 ", "3 ", "100 200 "}, Scalars()), f), "");
  EXPECT_EQ(f.SpinEdit1.Text(), "2");
  EXPECT_EQ(f.SpinEdit2.Text(), "3");
  EXPECT_EQ(f.SpinEdit3.Text(), "1");
  EXPECT_EQ(f.SpinEdit4.Text(), "1");
  EXPECT_EQ(f.Edit3, "2");
  EXPECT_EQ(f.Edit8, "1");
  EXPECT_EQ(f.Edit9, "0.5");
  EXPECT_EQ(f.Edit10, "100");
  EXPECT_EQ(f.Edit11, "1E-10");
  EXPECT_EQ(f.Edit12, "1E-6");
  EXPECT_EQ(f.StringGrid1.Cell(1, 1), "0.35 ");  // the blank stays with the value
  EXPECT_EQ(f.StringGrid1.Cell(3, 3), "30 ");
  EXPECT_EQ(f.StringGrid3.Cell(1, 1), "3");  // section numbers are rewritten as integers
  EXPECT_EQ(f.StringGrid4.Cell(0, 1), "3");
  EXPECT_EQ(f.StringGrid2.Cell(1, 2), "200 ");
  EXPECT_EQ(f.StringGrid1.ColCount(), 4);
  EXPECT_EQ(f.StringGrid1.Cell(3, 0), "Участок 3");
}

TEST(InputLoader, CountsAreClampedAndTheRestReadWithTheClampedCounts) {
  std::string supports, stiffness;
  for (int s = 1; s <= 12; ++s) {
    supports += std::to_string(s) + " ";
    stiffness += "5 ";
  }
  TMainFormModel f;
  ASSERT_EQ(Load(TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", supports, "3 ", stiffness}, Scalars("12")), f), "");
  EXPECT_EQ(f.SpinEdit1.Text(), "10");
  EXPECT_EQ(f.StringGrid3.ColCount(), 10);
  EXPECT_EQ(f.StringGrid3.Cell(9, 1), "10");
  EXPECT_EQ(f.StringGrid3.Cell(10, 1), "");
  EXPECT_EQ(f.StringGrid2.Cell(1, 10), "5 ");
}

TEST(InputLoader, BlanksDecideWhereValuesLand) {
  {  // no blank after the last value: that value is lost
    TMainFormModel f;
    ASSERT_EQ(Load(TextFile({"1 2 3", "1 1 1 ", "1 1 1 ", "1 2 ", "3 ", "0 0 "}, Scalars()), f), "");
    EXPECT_EQ(f.StringGrid1.Cell(2, 1), "2 ");
    EXPECT_EQ(f.StringGrid1.Cell(3, 1), "");
  }
  {  // two blanks: a token of one blank, the rest one cell further on
    TMainFormModel f;
    ASSERT_EQ(Load(TextFile({"1  2 3 ", "1 1 1 ", "1 1 1 ", "1 2 ", "3 ", "0 0 "}, Scalars()), f), "");
    EXPECT_EQ(f.StringGrid1.Cell(1, 1), "1 ");
    EXPECT_EQ(f.StringGrid1.Cell(2, 1), " ");
    EXPECT_EQ(f.StringGrid1.Cell(3, 1), "2 ");
  }
  {  // on a support line the lost value is a conversion failure
    TMainFormModel f;
    EXPECT_EQ(Load(TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "1 2", "3 ", "0 0 "}, Scalars()), f),
              "Строка 4, опора 2: '' is not a valid floating point value");
  }
}

TEST(InputLoader, SectionNumbersAreRoundedHalfToEven) {
  TMainFormModel f;
  std::vector<std::string> scalars = Scalars();
  scalars[6] = "0,5";  // FT1 with the separator in effect
  ASSERT_EQ(Load(TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "2,5 3,5 ", "2,5000001 ", "0 0 "}, scalars), f, ','), "");
  EXPECT_EQ(f.StringGrid3.Cell(0, 1), "2");
  EXPECT_EQ(f.StringGrid3.Cell(1, 1), "4");
  EXPECT_EQ(f.StringGrid4.Cell(0, 1), "3");
  EXPECT_EQ(Load(TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "1 1E300 ", "3 ", "0 0 "}, Scalars()), f),
            "Строка 4, опора 2: '1E300 ' is not a valid integer value");
  // Every 32-bit integer goes through, the smallest too.
  ASSERT_EQ(Load(TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "-2147483648 2147483647 ", "3 ", "0 0 "}, Scalars()), f), "");
  EXPECT_EQ(f.StringGrid3.Cell(0, 1), "-2147483648");
  EXPECT_EQ(f.StringGrid3.Cell(1, 1), "2147483647");
  EXPECT_EQ(Load(TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "-2147483649 1 ", "3 ", "0 0 "}, Scalars()), f),
            "Строка 4, опора 1: '-2147483649 ' is not a valid integer value");
}

TEST(InputLoader, VariantLinesStartAtLineSix) {
  {  // one variant: line 7 may hold anything
    TMainFormModel f;
    ASSERT_EQ(Load(TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "1 2 ", "3 ", "7 8 ", "garbage ###"}, Scalars()), f), "");
    EXPECT_EQ(f.StringGrid2.Cell(1, 2), "8 ");
    EXPECT_EQ(f.StringGrid2.Cell(2, 1), "");
  }
  {  // three variants: the third is read from line 8, which is also N
    TMainFormModel f;
    ASSERT_EQ(Load(TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "1 2 ", "3 ", "7 8 ", "9 10 "}, Scalars("2", "3")), f), "");
    EXPECT_EQ(f.StringGrid2.Cell(2, 1), "9 ");
    EXPECT_EQ(f.StringGrid2.Cell(3, 1), "");  // line 8 is "2" with no blank
  }
}

TEST(InputLoader, MalformedFilesFailWithTheirOwnText) {
  TMainFormModel f;
  EXPECT_EQ(Load("1 \n2 \n", f), "Файл исходных данных должен содержать не менее 17 строк, а в нем 2");
  auto scalars = Scalars();
  scalars[1] = "3 ";
  EXPECT_EQ(Load(TextFile({}, scalars), f), "Строка 9: '3 ' is not a valid integer value");
  scalars = Scalars();
  scalars[4] = "";
  EXPECT_EQ(Load(TextFile({}, scalars), f), "Строка 12: '' is not a valid integer value");
}

TEST(InputLoader, WindowsAndUnixLineEndsReadAlike) {
  std::string unix = Example("free_free_shaft.txt");
  std::string windows;
  for (char c : unix) windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
  // The example is stored with CR LF; make a pure LF copy too.
  std::string lf;
  for (char c : unix)
    if (c != '\r') lf += c;
  TMainFormModel a, b;
  ASSERT_EQ(Load(unix, a), "");
  ASSERT_EQ(Load(lf, b), "");
  EXPECT_TRUE(a == b);
  EXPECT_EQ(a.SpinEdit2.Text(), "100");
  EXPECT_EQ(a.StringGrid1.Cell(100, 3), "1 ");
  EXPECT_EQ(a.StringGrid4.Cell(1, 1), "100");
}

TEST(InputLoader, ExtensionChoosesTheBranchAndFailuresChangeNothing) {
  TMainFormModel form;
  form.Edit3 = "typed by the user";
  const TMainFormModel before = form;
  auto failure = [&](const std::string& path) { return test::Text(LoadInputFile(path, form, '.')); };
  const std::string good = Example("free_free_shaft.txt");
  for (const char* name : {"input.dat", "input", "input.txt.bak", "dir.txt/input"}) {
    TempFile file(name == std::string("dir.txt/input") ? "plain" : name, good);
    const std::string path = name == std::string("dir.txt/input") ? "/nonexistent.txt/input" : file.path();
    EXPECT_EQ(failure(path), "Неверный формат файла") << name;
  }
  {
    TempFile bad("bad.txt", TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "1 x ", "3 ", "0 0 "}, Scalars()));
    EXPECT_EQ(failure(bad.path()), "Строка 4, опора 2: 'x ' is not a valid floating point value");
  }
  EXPECT_EQ(failure("/nonexistent/input.txt"), "Не удалось открыть файл '/nonexistent/input.txt'. Нет такого файла или папки.");
  EXPECT_TRUE(form == before);

  TempFile ok("OK.TXT", good);  // in capitals too
  EXPECT_EQ(failure(ok.path()), "");
  EXPECT_EQ(form.SpinEdit2.Text(), "100");
}

TEST(BMSearch, AgreesWithAPlainSearch) {
  std::mt19937 rng(17);
  const std::string alphabet = "ab \xff";
  for (int trial = 0; trial < 20000; ++trial) {
    std::string text(rng() % 40, ' '), pattern(1 + rng() % 4, ' ');
    for (char& c : text) c = alphabet[rng() % alphabet.size()];
    for (char& c : pattern) c = alphabet[rng() % alphabet.size()];
    const int start = 1 + static_cast<int>(rng() % (text.size() + 2));
    EXPECT_EQ(BMSearch(start, text, pattern), NaiveSearch(start, text, pattern))
        << "'" << text << "' '" << pattern << "' " << start;
  }
  EXPECT_EQ(BMSearch(1, "0.35 0.4 ", " "), 5);
  EXPECT_EQ(BMSearch(1, "abc", ""), 0);
}

TEST(InputLoader, RandomlyDamagedFilesNeverCrashOrHalfLoad) {
  const std::string base = Example("rotor_two_bearings.txt");
  std::mt19937 rng(23);
  const std::string bytes = "0123456789 .,-+eE\r\n\t\xd0\xb0x";
  int failures = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    std::string text = base;
    const int edits = 1 + rng() % 8;
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const size_t at = rng() % text.size();
      switch (rng() % 4) {
        case 0: text[at] = bytes[rng() % bytes.size()]; break;
        case 1: text.erase(at, 1 + rng() % 20); break;
        case 2: text.insert(at, std::string(1 + rng() % 3, bytes[rng() % bytes.size()])); break;
        case 3: text.resize(at); break;
      }
    }
    TMainFormModel form;
    if (const std::optional<Error> error = LoadInputText(text, form, '.')) {
      ++failures;
      EXPECT_NE(Message(*error), "");
    }
    EXPECT_LE(form.SpinEdit2.Value(), 200);
  }
  EXPECT_GT(failures, 100);
}

// ---- Workbooks -------------------------------------------------------------

namespace {

std::string Data(const std::string& name) { return std::string(VP_TEST_DATA_DIR) + "/" + name; }

std::string LoadFile(const std::string& path, TMainFormModel& form, char sep = '.') {
  return test::Text(LoadInputFile(path, form, sep));
}

}  // namespace

TEST(InputLoader, WorkbooksFillTheFormLikeTheTextFile) {
  TMainFormModel xls, xlsx;
  ASSERT_EQ(LoadFile(Data("input.xls"), xls), "");
  ASSERT_EQ(LoadFile(Data("input.xlsx"), xlsx), "");
  EXPECT_TRUE(xls == xlsx);
  EXPECT_EQ(xlsx.SpinEdit2.Text(), "4");
  EXPECT_EQ(xlsx.StringGrid1.ColCount(), 5);
  EXPECT_EQ(xlsx.StringGrid1.Cell(4, 1), "0.25");
}

TEST(InputLoader, WorkbookCellsConvertAsASpreadsheetDoes) {
  const TempFile path("book.xlsx", "");
  {
    WorkbookWriter book(path.path());
    WorksheetWriter& sheet = book.AddWorksheet("Исходные данные");
    // B1 (N) stays empty: 0, which the spin edit raises to 1.
    sheet.WriteNumber(2, 2, 2);      // KM
    sheet.WriteNumber(3, 2, 1);      // KZ
    sheet.WriteNumber(4, 2, 2);      // KW
    sheet.WriteNumber(5, 2, 2.5);    // KP: a half goes to the even neighbour
    sheet.WriteNumber(6, 2, 1);      // F1
    sheet.WriteNumber(7, 2, 100);    // FK
    sheet.WriteText(8, 2, "0,5");    // FT1 as text with the locale's separator
    sheet.WriteNumber(9, 2, 1e-10);  // EPS
    sheet.WriteNumber(10, 2, 1e-6);  // EPSF
    sheet.WriteNumber(11, 2, 1.5);   // support 1: 2
    sheet.WriteNumber(12, 2, 2);
    for (int k = 1; k <= 2; ++k)
      for (int r = 16; r <= 18; ++r) sheet.WriteNumber(r, k + 1, 0.5);
    sheet.WriteNumber(22, 2, 1000);  // support 1, variant 1; variant 2 stays empty
    book.Save();
  }
  TMainFormModel form;
  ASSERT_EQ(LoadFile(path.path(), form, ','), "");
  EXPECT_EQ(form.SpinEdit1.Text(), "1");
  EXPECT_EQ(form.Edit3, "2");
  EXPECT_EQ(form.Edit9, "0,5");
  EXPECT_EQ(form.Edit11, "1E-10");
  EXPECT_EQ(form.StringGrid3.Cell(0, 1), "2");
  EXPECT_EQ(form.StringGrid1.Cell(2, 3), "0,5");
  EXPECT_EQ(form.StringGrid2.Cell(1, 1), "1000");
  EXPECT_EQ(form.StringGrid2.Cell(2, 1), "0");
}

TEST(InputLoader, BadWorkbooksFailAndChangeNothing) {
  TMainFormModel form;
  form.Edit3 = "typed";
  const TMainFormModel before = form;
  {
    const TempFile text("book.xlsx", "this is not a workbook");
    EXPECT_NE(LoadFile(text.path(), form), "");
  }
  {
    const TempFile path("letters.xlsx", "");
    {
      WorkbookWriter book(path.path());
      WorksheetWriter& sheet = book.AddWorksheet("Лист1");
      sheet.WriteNumber(1, 2, 2);
      sheet.WriteNumber(2, 2, 3);
      sheet.WriteText(17, 3, "abc");  // the mass of section 2
      book.Save();
    }
    const std::string message = LoadFile(path.path(), form);
    EXPECT_NE(message.find("abc"), std::string::npos) << message;
  }
  EXPECT_TRUE(form == before);
  const TempFile file("book.xlsm", "");
  EXPECT_EQ(LoadFile(file.path(), form), "Неверный формат файла");
}

// A workbook whose active worksheet holds the given rows (cells within <row>
// elements), with what follows the sheet list in the workbook part.
std::string BookWithRows(const std::string& dir, const std::string& rows, const std::string& workbook = "") {
  const std::string path = dir + "/book.xlsx";
  test::WriteZip(path, {{"[Content_Types].xml", "<Types/>"},
                        {"xl/workbook.xml", "<workbook xmlns:r=\"urn:r\"><sheets><sheet name=\"Лист1\" r:id=\"rId1\"/>"
                                            "</sheets>" + workbook + "</workbook>"},
                        {"xl/_rels/workbook.xml.rels",
                         "<Relationships><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                         "officeDocument/2006/relationships/worksheet\" Target=\"s.xml\"/></Relationships>"},
                        {"xl/s.xml", "<worksheet><sheetData>" + rows + "</sheetData></worksheet>"}});
  return path;
}

// A formula saved without its result, or a value that is no number in the
// file, stops the load naming the cell; the form keeps what it had.
TEST(InputLoader, WorkbookCellsWithoutAValueNameTheCell) {
  const std::string dir = test::FreshDir("loader_cells");
  TMainFormModel form;
  form.Edit3 = "typed";
  const TMainFormModel before = form;
  const std::string counts = "<row r=\"1\"><c r=\"B1\"><v>2</v></c></row><row r=\"2\"><c r=\"B2\"><v>3</v></c></row>";
  EXPECT_EQ(LoadFile(BookWithRows(dir, "<row r=\"1\"><c r=\"B1\"><f>1+1</f></c></row>"), form),
            "Ошибка в книге: лист «Лист1», ячейка B1: формула не вычислена (в файле нет ее значения); откройте "
            "книгу в программе электронных таблиц и сохраните ее заново");
  EXPECT_EQ(LoadFile(BookWithRows(dir, counts + "<row r=\"6\"><c r=\"B6\"><v>1,5</v></c></row>"), form, ','),
            "Ошибка в книге: лист «Лист1», ячейка B6: значение «1,5» не является числом");
  EXPECT_EQ(LoadFile(BookWithRows(dir, counts + "<row r=\"17\"><c r=\"D17\" t=\"str\"><f>A1</f></c></row>"), form),
            "Ошибка в книге: лист «Лист1», ячейка D17: формула не вычислена (в файле нет ее значения); откройте "
            "книгу в программе электронных таблиц и сохраните ее заново");
  EXPECT_TRUE(form == before);
  // A formula beyond the cells the loader reads does not matter.
  EXPECT_EQ(LoadFile(BookWithRows(dir, counts + "<row r=\"20\"><c r=\"B20\"><f>1+1</f></c></row>"), form), "");
  EXPECT_EQ(form.SpinEdit2.Text(), "3");
}

// What a load would read silently as the user's data is refused or told: a
// sheet without counts (notes saved active), empty cells read as 0, formulas
// of a workbook marked for recalculation on open.
TEST(InputLoader, WorkbookCellsThatAreNoDataAreRefusedOrTold) {
  std::string counts, formulas;  // B1..B5 = 1; B6..B22 but B17 as formulas
  for (int r : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 18, 22})
    (r <= 5 ? counts : formulas) += "<row r=\"" + std::to_string(r) + "\"><c r=\"B" + std::to_string(r) + "\">" +
                                    (r <= 5 ? "" : "<f>1</f>") + "<v>1</v></c></row>";
  const std::string sheet = "Ошибка в книге: в листе «Лист1» нет исходных данных (ячейки B1-B5 с числами опор, "
      "участков, пролетов, вариантов и частот пусты). Читается активный лист книги: сделайте активным лист с "
      "исходными данными и сохраните книгу.";
  const struct { std::string rows, workbook, told; } cases[] = {
      {"<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>заметки</t></is></c></row>", "", sheet},
      {counts, "", "Лист «Лист1»: пустые ячейки B6, B7, B8, B9, B10, B11, B12, B16, B17, B18 и еще 1 прочитаны как 0"},
      {counts + formulas, "<calcPr fullCalcOnLoad=\"1\"/>",
       "Лист «Лист1»: пустая ячейка B17 прочитана как 0|Лист «Лист1»: книга помечена для пересчета при открытии, "
       "поэтому значения формул в ячейках B6, B7, B8, B9, B10, B11, B12, B16, B18, B22 могут быть устаревшими. "
       "Откройте книгу в программе электронных таблиц, сохраните ее заново и загрузите снова"},
  };
  for (const auto& c : cases) {
    TMainFormModel form;
    std::vector<Warning> warnings;
    const std::string book = BookWithRows(test::FreshDir("findings"), c.rows, c.workbook);
    std::string told = test::Text(LoadInputFile(book, form, '.', &warnings));
    for (const Warning& w : warnings) told += (told.empty() ? "" : "|") + Message(w);
    EXPECT_EQ(told, c.told);
    EXPECT_EQ(form == TMainFormModel(), c.told == sheet);
  }
}

TEST(InputLoader, ReSavedExportsLoadFromTheirInputSheet) {
  // A spreadsheet program that re-saves an exported workbook keeps its chart
  // sheets as worksheets holding only a chart; the last one stays active.
  TMainFormModel ours, resaved;
  ASSERT_EQ(LoadFile(Data("results.xlsx"), ours), "");
  ASSERT_EQ(LoadFile(Data("results_lo.xlsx"), resaved), "");
  EXPECT_TRUE(ours == resaved);
  EXPECT_EQ(ours.SpinEdit2.Text(), "4");
}

// ---- Files that are no input files, and texts from elsewhere ---------------

// A FIFO would block the load until something writes into it, a device would
// be read until memory runs out: only regular files are read.
TEST(InputLoader, OnlyRegularFilesAreRead) {
  const std::string dir = vp::test::FreshDir("loader_kinds");
  TMainFormModel form;
  form.Edit3 = "typed";
  const TMainFormModel before = form;
  for (const char* name : {"folder.txt", "folder.xlsx"}) {
    fs::create_directory(dir + "/" + name);
    EXPECT_EQ(LoadFile(dir + "/" + name, form), "'" + dir + "/" + name + "' - это папка, а не файл.");
  }
#ifndef _WIN32  // pipes and devices in a folder
  ASSERT_EQ(mkfifo((dir + "/pipe.txt").c_str(), 0644), 0);
  auto load = std::async(std::launch::async, [&] { return LoadFile(dir + "/pipe.txt", form); });
  if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    ADD_FAILURE() << "the load waits on the pipe";
    std::ofstream(dir + "/pipe.txt") << "";  // lets it go
  }
  const std::string device = "' - это не файл, а устройство или канал; загрузить из него нельзя.";
  EXPECT_EQ(load.get(), "'" + dir + "/pipe.txt" + device);
  fs::create_symlink("/dev/zero", dir + "/zero.txt");
  EXPECT_EQ(LoadFile(dir + "/zero.txt", form), "'" + dir + "/zero.txt" + device);
  fs::create_symlink("/dev/null", dir + "/null.xls");
  EXPECT_EQ(LoadFile(dir + "/null.xls", form), "'" + dir + "/null.xls" + device);
#endif
  EXPECT_TRUE(form == before);
}

TEST(InputLoader, TheSizeLimitHoldsForTheBytesRead) {
  const std::string dir = vp::test::FreshDir("loader_size");
  const std::string example = Example("free_free_shaft.txt");
  {
    std::ofstream big(dir + "/big.txt", std::ios::binary);
    big << example;
    big << std::string(16 * 1024 * 1024 + 1 - example.size(), '\n');
  }
  TMainFormModel form;
  EXPECT_EQ(LoadFile(dir + "/big.txt", form), "Файл '" + dir + "/big.txt' слишком велик для файла исходных данных");
  fs::resize_file(dir + "/big.txt", 16 * 1024 * 1024);  // at the limit: read
  EXPECT_EQ(LoadFile(dir + "/big.txt", form), "");
  EXPECT_EQ(form.SpinEdit2.Text(), "100");
  // Millions of lines beyond those read cost nothing: no line of them is kept
  // (as strings they took some 500 MB).
#ifndef _WIN32
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  EXPECT_LT(usage.ru_maxrss, 300 * 1024) << "KiB at the peak";
#endif
}

TEST(InputLoader, AByteOrderMarkIsSkipped) {
  const std::string example = Example("rotor_two_bearings.txt");
  TMainFormModel plain, marked;
  ASSERT_EQ(Load(example, plain), "");
  ASSERT_EQ(Load("\xEF\xBB\xBF" + example, marked), "");
  EXPECT_TRUE(plain == marked);
  EXPECT_EQ(marked.StringGrid1.Cell(1, 1), plain.StringGrid1.Cell(1, 1));
  // Only at the very start: elsewhere it is part of a value, shown, since it is invisible, escaped.
  const std::string text = TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "\xEF\xBB\xBF" "1 2 ", "3 ", "0 0 "}, Scalars());
  EXPECT_NE(Load(text, marked).find("Строка 4, опора 1: '\\uFEFF1 '"), std::string::npos);
  // A file saved as "Unicode" (UTF-16 or UTF-32 with its mark) is named as such.
  std::string wide = "\xFF\xFE";
  for (char c : example) wide += std::string(1, c) + '\0';
  const std::string unicode =
      "Файл исходных данных записан в кодировке Юникод (UTF-16 или UTF-32); сохраните его как обычный текст "
      "(UTF-8 или ANSI)";
  for (const std::string& contents : {wide, "\xFE\xFF" + wide.substr(2), std::string("\xFF\xFE\0\0", 4) + example})
    EXPECT_EQ(Load(contents, marked), unicode);
}

// The shipped examples use '.', a Russian desktop ','.
TEST(InputLoader, TheOtherDecimalSeparatorIsNamedAsTheReason) {
  TMainFormModel form;
  form.Edit3 = "typed";
  const TMainFormModel before = form;
  TMainFormModel scratch;
  EXPECT_EQ(Load(Example("free_free_shaft.txt"), scratch, ','),
            "Строка 1, участок 1, длина: число '0.01 ' записано с десятичным разделителем '.', а ожидается разделитель ','.");
  std::string comma;
  for (char c : Example("rotor_two_bearings.txt")) comma += c == '.' ? ',' : c;
  const TempFile file("comma.txt", comma);
  const std::string message = LoadFile(file.path(), form, '.');
  EXPECT_NE(message.find("записано с десятичным разделителем ',', а ожидается разделитель '.'"), std::string::npos)
      << message;
  EXPECT_TRUE(form == before);
  EXPECT_EQ(LoadFile(file.path(), form, ','), "");
  const std::optional<Error> mismatch = LoadInputText(comma, form, '.');
  ASSERT_TRUE(mismatch);
  EXPECT_EQ(mismatch->code, ErrorCode::TextSeparator);
  EXPECT_EQ(mismatch->detail[0], ',');
  // Every kind of value is checked: parameters, support numbers, stiffnesses.
  auto scalars = Scalars();
  scalars[9] = "1,5E-6";
  EXPECT_EQ(Load(TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "1 2 ", "3 ", "0 0 "}, scalars), form, '.'),
            "Строка 17: число '1,5E-6' записано с десятичным разделителем ',', а ожидается разделитель '.'.");
  EXPECT_EQ(Load(TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "1 2,5 ", "3 ", "0 0 "}, Scalars()), form, '.'),
            "Строка 4, опора 2: число '2,5 ' записано с десятичным разделителем ',', а ожидается разделитель '.'.");
  EXPECT_EQ(Load(TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "1 2 ", "3 ", "0 1,5 "}, Scalars()), form, '.'),
            "Строка 6, опора 2: число '1,5 ' записано с десятичным разделителем ',', а ожидается разделитель '.'.");
  // A value that is no number either way is left for the calculation to report, as typed.
  EXPECT_EQ(Load(TextFile({"1 abc 1 ", "1 1 1 ", "1 1 1 ", "1 2 ", "3 ", "0 0 "}, Scalars()), form, '.'), "");
  EXPECT_EQ(form.StringGrid1.Cell(2, 1), "abc ");
}

TEST(InputLoader, QuotedTextsInMessagesArePrintable) {
  auto scalars = Scalars();
  scalars[0] = "\x1B[2J2\r";
  TMainFormModel form;
  EXPECT_EQ(Load(TextFile({}, scalars), form), "Строка 8: '\\x1B[2J2' is not a valid integer value");
  scalars[0] = std::string("2\0\xFF", 3);
  EXPECT_EQ(Load(TextFile({}, scalars), form), "Строка 8: '2\\x00\xEF\xBF\xBD' is not a valid integer value");
  const std::string dir = vp::test::FreshDir("loader_names");
  EXPECT_EQ(LoadFile(dir + "/\x1B[31mred.txt", form),
            "Не удалось открыть файл '" + dir + "/\\x1B[31mred.txt'. Нет такого файла или папки.");
}

// A load leaves nothing of the earlier input beyond its counts; values typed
// and hidden by a lower count still come back when it is raised again.
TEST(InputLoader, RaisedCountsAfterALoadShowNoEarlierInput) {
  TMainFormModel form;
  ASSERT_EQ(Load(Example("rotor_two_bearings.txt"), form), "");
  TempFile small("small.txt", TextFile({"1 1 1 ", "1 1 1 ", "1 1 1 ", "1 2 ", "3 ", "5 5 "}, Scalars()));
  ASSERT_EQ(test::Text(LoadInputFile(small.path(), form, '.')), "");
  form.SetSpinValue(Count::Sections, 14);
  form.SetSpinValue(Count::Supports, 4);
  form.SetSpinValue(Count::Variants, 2);
  for (int k = 4; k <= 14; ++k) EXPECT_EQ(form.StringGrid1.Cell(k, 1), "") << k;
  EXPECT_EQ(form.StringGrid3.Cell(2, 1), "");
  EXPECT_EQ(form.StringGrid2.Cell(2, 1), "");
  form.SetSpinValue(Count::Sections, 2);
  form.SetSpinValue(Count::Sections, 3);
  EXPECT_NE(form.StringGrid1.Cell(3, 1), "");
}
