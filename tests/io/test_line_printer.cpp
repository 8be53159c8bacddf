#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "errors.h"
#include "line_printer.h"
#include "output_files.h"
#include "pdf_file.h"
#include "pdf_text.h"
#include "platform.h"
#include "results_fixtures.h"
#include "results_printout.h"

using namespace vp;
using namespace vp::test;

namespace {

constexpr double kPointsPerDot = 72.0 / 600;

std::string TempPdf(const std::string& name) {
  return TempPath(name + ".pdf");
}

// A PDF file of the printout's pages, as the batch command prints it, removed afterwards.
struct Pdf {
  std::string path;
  QPdfWriter printer;

  explicit Pdf(const std::string& name) : path(TempPdf(name)), printer(QString::fromStdString(path)) {
    SetUpPdfWriter(printer, PrintoutPageSetup());
  }
  ~Pdf() { std::filesystem::remove(path); }

  // The painter's default font on this printer, measured apart from the line printer.
  QFontMetrics Metrics() { return QFontMetrics(QGuiApplication::font(), &printer); }
  // Lines of text that one page holds: line k starts at k (h + 2); the next
  // line goes on a new page once its top is less than 2 (h + 2) above the bottom.
  int LinesPerPage() {
    const int step = Metrics().height() + 2;
    return (printer.height() - 2 * step) / step + 1;
  }
};

std::string Numbered(int n) { return "Строка " + std::to_string(n); }

}  // namespace

TEST(LinePrinter, LinesComeBackInOrderAtTheirHeights) {
  Pdf pdf("order");
  const int h = pdf.Metrics().height();
  {
    LinePrinter lp(pdf.printer);
    EXPECT_EQ(lp.LineHeight(), h + 2);
    EXPECT_EQ(lp.EmptyLineHeight(), h);
    for (const char* line : {"Первая строка", "Вторая: 1.50000", "", "Третья после пустой", "", "", "Last"})
      lp.WriteLine(std::string(line));
    lp.End();
    EXPECT_EQ(lp.Pages(), 1);
  }
  const std::vector<std::string> pages = PdfPages(pdf.path);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(TextLines(pages[0]),
            (std::vector<std::string>{"Первая строка", "Вторая: 1.50000", "Третья после пустой", "Last"}));

  // Tops of the lines' first words: the top left of the printable area (10 pt
  // margins), then one line height per line and the text height per empty line.
  std::vector<PdfWord> first;
  for (const PdfWord& w : PdfWords(pdf.path))
    if (first.empty() || std::abs(w.y - first.back().y) > 0.5) first.push_back(w);
  ASSERT_EQ(first.size(), 4u);
  EXPECT_NEAR(first[0].x, 10.0, 0.05);
  // pdftotext tops a word at its font's ascent as the PDF states it, which
  // for some fonts (Windows' Tahoma, Segoe UI) lies below Qt's by a few points.
  EXPECT_GE(first[0].y, 9.5);
  EXPECT_LT(first[0].y, 10.0 + 0.25 * h * kPointsPerDot);
  EXPECT_NEAR(first[1].y - first[0].y, (h + 2) * kPointsPerDot, 0.01);
  EXPECT_NEAR(first[2].y - first[1].y, (h + 2 + h) * kPointsPerDot, 0.01);
  EXPECT_NEAR(first[3].y - first[2].y, (h + 2 + 2 * h) * kPointsPerDot, 0.01);
}

TEST(LinePrinter, PagesBreakTwoLineHeightsAboveTheBottom) {
  Pdf pdf("pages");
  const int perPage = pdf.LinesPerPage();
  ASSERT_GT(perPage, 10);
  const int total = 2 * perPage + 5;
  {
    LinePrinter lp(pdf.printer);
    EXPECT_EQ(lp.PageHeight(), pdf.printer.height());
    for (int n = 1; n <= total; ++n) lp.WriteLine(Numbered(n));
    lp.End();
    EXPECT_EQ(lp.Pages(), 3);
  }
  const std::vector<std::string> pages = PdfPages(pdf.path);
  ASSERT_EQ(pages.size(), 3u);
  const std::vector<std::string> one = TextLines(pages[0]), two = TextLines(pages[1]), three = TextLines(pages[2]);
  ASSERT_EQ(one.size(), size_t(perPage));
  EXPECT_EQ(one.back(), Numbered(perPage));
  ASSERT_EQ(two.size(), size_t(perPage));
  EXPECT_EQ(two.front(), Numbered(perPage + 1));
  ASSERT_EQ(three.size(), 5u);
  EXPECT_EQ(three.back(), Numbered(total));
  // The first line of a new page is again where the first line of the first page is.
  const std::vector<PdfWord> words = PdfWords(pdf.path);
  ASSERT_EQ(words.at(1).text, "1");
  for (const PdfWord& w : words)
    if (w.text == std::to_string(perPage + 1)) {
      EXPECT_EQ(w.page, 2);
      EXPECT_NEAR(w.y, words[1].y, 0.01);
    }
}

TEST(LinePrinter, EmptyLinesAfterAFullPageAddNoBlankSheet) {
  Pdf pdf("blank");
  const int perPage = pdf.LinesPerPage();
  const int h = pdf.Metrics().height();
  {
    LinePrinter lp(pdf.printer);
    for (int n = 1; n <= perPage; ++n) lp.WriteLine(Numbered(n));
    lp.WriteLine(std::string());
    lp.WriteLine(std::string());
    lp.End();
    EXPECT_EQ(lp.Pages(), 1);
  }
  EXPECT_EQ(PdfPages(pdf.path).size(), 1u);

  // Followed by text, the empty lines open the next page above it.
  Pdf more("blank_more");
  {
    LinePrinter lp(more.printer);
    for (int n = 1; n <= perPage; ++n) lp.WriteLine(Numbered(n));
    lp.WriteLine(std::string());
    lp.WriteLine(std::string());
    lp.WriteLine(std::string("После пустых"));
    lp.End();
    EXPECT_EQ(lp.Pages(), 2);
  }
  const std::vector<PdfWord> words = PdfWords(more.path);
  ASSERT_EQ(words.at(0).text, "Строка");
  for (const PdfWord& w : words)
    if (w.text == "После") {
      EXPECT_EQ(w.page, 2);
      EXPECT_NEAR(w.y - words[0].y, 2 * h * kPointsPerDot, 0.01);
    }
}

TEST(LinePrinter, LongLinesBreakAfterTheLastCharacterThatFits) {
  Pdf pdf("long");
  const QFontMetrics fm = pdf.Metrics();
  const int width = pdf.printer.width();
  // 400 characters without blanks, Cyrillic and digits, two bytes and one in UTF-8.
  QString text;
  for (int i = 0; text.size() < 400; ++i) text += QString::fromUtf8("абвгдежзий").at(i % 10) + QString::number(i % 10);
  int fits = 0;
  while (fm.horizontalAdvance(text.left(fits + 1)) <= width) ++fits;
  ASSERT_LT(fits, 200);
  const QString exact = text.left(fits);  // exactly as wide as fits: one line
  {
    LinePrinter lp(pdf.printer);
    lp.WriteLine(text.toStdString());
    lp.WriteLine(exact.toStdString());
    lp.End();
  }
  const std::vector<std::string> pages = PdfPages(pdf.path);
  ASSERT_EQ(pages.size(), 1u);
  const std::vector<std::string> lines = TextLines(pages[0]);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], text.left(fits).toStdString());
  std::string joined;
  for (size_t i = 0; i + 1 < lines.size(); ++i) joined += lines[i];
  EXPECT_EQ(joined, text.toStdString());
  EXPECT_EQ(lines.back(), exact.toStdString());

  // A page narrower than one character still advances: one character a line.
  Pdf narrow("narrow");
  narrow.printer.setPageLayout(QPageLayout(QPageSize(QSizeF(2, 50), QPageSize::Millimeter), QPageLayout::Portrait,
                                           QMarginsF(0, 0, 0, 0)));
  {
    LinePrinter lp(narrow.printer);
    ASSERT_LT(lp.PageWidth(), QFontMetrics(QGuiApplication::font(), &narrow.printer).horizontalAdvance(QChar(0x0416)));
    lp.WriteLine(std::string("ЖЖЖ"));
    lp.End();
  }
  const std::vector<std::string> narrowPages = PdfPages(narrow.path);
  ASSERT_FALSE(narrowPages.empty());
  EXPECT_EQ(WithoutBlanks(narrowPages[0]), "ЖЖЖ");
}

TEST(PrintResults, WholePrintoutInOrderOverSeveralPages) {
  TMainFormModel form;
  ResultsTables results;
  FillResults(form, results, 21, 2, 3);
  std::string expected;
  WritePrintout(form, results, '.', [&](const std::string& line) { expected += line; });

  Pdf pdf("results");
  PrintResults(pdf.printer, form, results, '.');
  const std::vector<std::string> pages = PdfPages(pdf.path);
  EXPECT_GE(pages.size(), 2u);
  std::string printed;
  for (const std::string& page : pages) printed += page;
  EXPECT_EQ(WithoutBlanks(printed), WithoutBlanks(expected));
  EXPECT_NE(printed.find("Вариант по жесткости N 2"), std::string::npos);
  EXPECT_NE(printed.find("P = 203.12346"), std::string::npos);
}

TEST(PrintResults, BadEntryStopsWithItsMessageAndPrintsTheLinesBefore) {
  TMainFormModel form;
  ResultsTables results;
  FillResults(form, results, 5, 1, 2);
  const int half = HalfKM(5);
  results.StringGrid3.SetCell((half + 1) * 1 + 2 + 1, 2, "abc");  // frequency 2, section 3, deflection

  std::string before;  // the lines that the printout gives before the bad entry
  EXPECT_THROW(WritePrintout(form, results, '.', [&](const std::string& line) { before += line + "\n"; }),
               Failure);
  ASSERT_NE(before.find("P = 102.12346"), std::string::npos);

  Pdf pdf("bad");
  EXPECT_EQ(ErrorOf([&] { PrintResults(pdf.printer, form, results, '.'); }), "'abc' is not a valid floating point value");
  const std::vector<std::string> pages = PdfPages(pdf.path);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(WithoutBlanks(pages[0]), WithoutBlanks(before));
}

TEST(PrintResults, JobsThatCannotStartSayWhyInRussian) {
  QPdfWriter printer(QString("/nonexistent-dir/out.pdf"));
  TMainFormModel form;
  ResultsTables results;
  FillResults(form, results, 5, 1, 1);
  try {
    PrintResults(printer, form, results, '.');
    ADD_FAILURE() << "no error";
  } catch (const PrintNotStarted& e) {
    EXPECT_STREQ(e.what(), "Не удалось начать печать. Принтер недоступен или занят.");
  }
}

// ---- Printing into a PDF file ------------------------------------------------

TEST(PrintPdfFile, AWriteProtectedFileIsRefusedBeforePrinting) {
  const std::string dir = FreshDir("print_protected");
  const std::string path = dir + "/out.pdf";
  WriteFileWithMode(path, "an earlier printout", std::filesystem::perms(0444));
  bool printed = false;
  EXPECT_EQ(ErrorOf([&] { PrintPdfFile(path, PrintoutPageSetup(), [&](QPagedPaintDevice&) { printed = true; }); }),
            "Файл «" + path + "» защищен от записи.");
  EXPECT_FALSE(printed);
  EXPECT_EQ(ReadFile(path), "an earlier printout");
}

// A bad entry ends the printout; what was printed before it replaces the old file.
TEST(PrintPdfFile, ThePrintoutUpToABadEntryIsKept) {
  TMainFormModel form;
  ResultsTables results;
  FillResults(form, results, 5, 1, 2);
  results.StringGrid3.SetCell((HalfKM(5) + 1) + 2 + 1, 2, "abc");
  const std::string dir = FreshDir("print_bad");
  WriteFile(dir + "/out.pdf", "an earlier printout");
  EXPECT_THROW(PrintPdfFile(dir + "/out.pdf", PrintoutPageSetup(),
                            [&](QPagedPaintDevice& device) { PrintResults(device, form, results, '.'); }),
               Failure);
  const std::vector<std::string> pages = PdfPages(dir + "/out.pdf");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("P = 102.12346"), std::string::npos);
  EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.pdf"});
}

// Before, the printer left a truncated PDF over the old one and reported nothing.
TEST(PrintPdfFile, AFullDiskFailsWithItsReasonAndKeepsTheOldFile) {
  FullDisk disk("print_full");
  VP_SKIP_WITHOUT(disk);
  TMainFormModel form;
  ResultsTables results;
  FillResults(form, results, 21, 2, 3);
  WriteFile(disk.Path("out.pdf"), "an earlier printout");
  disk.Fill();
  EXPECT_EQ(ErrorOf([&] {
              PrintPdfFile(disk.Path("out.pdf"), PrintoutPageSetup(),
                           [&](QPagedPaintDevice& device) { PrintResults(device, form, results, '.'); });
            }),
            "Не удалось записать файл «" + disk.Path("out.pdf") + "». Нет места на диске.");
  EXPECT_EQ(ReadFile(disk.Path("out.pdf")), "an earlier printout");
  EXPECT_EQ(DirEntries(disk.Dir()), (std::vector<std::string>{"filler", "out.pdf"}));
}

int main(int argc, char** argv) {
  vp::platform::ChooseQtPlatform(true);
  QGuiApplication app(argc, argv);
  vp::platform::UseCNumbers();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
