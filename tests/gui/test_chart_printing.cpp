// Printing from the windows: the mode-shape chart (placement arithmetic, the
// captured picture, one centred picture on one PDF page) and print jobs on a
// printer.

#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QPdfWriter>
#include <QPrinter>
#include <filesystem>

#include "chart_printing.h"
#include "fonts.h"
#include "line_printer.h"
#include "mode_shape_form.h"
#include "output_files.h"
#include "pdf_file.h"
#include "pdf_text.h"
#include "platform.h"
#include "results_fixtures.h"
#include "shaft_model.h"
#include "window_printing.h"

using namespace vp;
using namespace vp::test;

namespace {

TNewFormModel SineMode() {
  TNewFormModel m;
  m.StringGrid3.SetColCount(20);
  m.Label2 = "Вариант по жесткости N 1";
  m.Label3 = "Частота N 1";
  m.Label7 = "P= 2237.67517623468";
  for (int i = 1; i <= 20; ++i) m.AddPoint(i, std::sin(i / 3.0), 0xFF0000);
  return m;
}

}  // namespace

TEST(ChartPrinting, PlacementAtSixHundredDotsPerInch) {
  const QRect r = PicturePlacement(kChartPictureSize, 600, 600, QSize(4960, 7016));
  EXPECT_EQ(r.width(), 2794);   // 326 * 600 / 70 = 2794.3
  EXPECT_EQ(r.height(), 1731);  // 202 * 600 / 70 = 1731.4
  EXPECT_EQ(r.left(), 1083);    // (4960 - 2794.29) / 2 = 1082.86
  EXPECT_EQ(r.top(), 2642);     // (7016 - 1731.43) / 2 = 2642.29
  // Halves go to the even neighbour, as the placement rounds.
  EXPECT_EQ(PicturePlacement(QSize(326, 202), 70, 70, QSize(327, 205)).left(), 0);
  EXPECT_EQ(PicturePlacement(QSize(326, 202), 70, 70, QSize(329, 205)).left(), 2);
  EXPECT_EQ(PicturePlacement(QSize(326, 202), 70, 70, QSize(329, 205)).top(), 2);
}

TEST(ChartPrinting, CaptureTakesTheWholeChartIntoThePicture) {
  TNewFormModel model = SineMode();
  TNewForm form(model);
  form.Fill();
  form.show();
  QApplication::processEvents();
  const QImage picture = form.CaptureChart();
  EXPECT_EQ(picture.size(), kChartPictureSize);
  // The chart's background reaches every corner: nothing of the window around it.
  for (QPoint corner : {QPoint(1, 1), QPoint(324, 1), QPoint(1, 200), QPoint(324, 200)})
    EXPECT_EQ(picture.pixelColor(corner), QColor(183, 183, 255)) << corner.x() << "," << corner.y();
  EXPECT_EQ(form.Image1()->pixmap().size(), kChartPictureSize);
}

TEST(ChartPrinting, OnePageWithThePictureCentred) {
  TNewFormModel model = SineMode();
  TNewForm form(model);
  form.Fill();
  form.show();
  QApplication::processEvents();
  const std::string pdf = vp::test::TempPath("chart.pdf");
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    printer.setResolution(600);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    PrintChart(printer, *form.Chart1()->chart(), {}, kChartPictureSize);
  }
  const std::string info = Capture("pdfinfo '" + pdf + "'");
  const size_t pages = info.find("Pages:");
  ASSERT_NE(pages, std::string::npos) << info;
  EXPECT_EQ(std::stoi(info.substr(pages + 6)), 1);
  // Rendered at 70 dots per inch the picture is as large as it is in pixels.
  const std::string png = pdf + "-70";
  Capture("pdftoppm -r 70 -png -singlefile '" + pdf + "' '" + png + "'");
  QImage page(QString::fromStdString(png + ".png"));
  ASSERT_FALSE(page.isNull());
  QRect box;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      if (page.pixelColor(x, y) != Qt::white) box |= QRect(x, y, 1, 1);
  EXPECT_NEAR(box.width(), 326, 2);
  EXPECT_NEAR(box.height(), 202, 2);
  EXPECT_NEAR(box.center().x(), page.width() / 2.0, 2);
  EXPECT_NEAR(box.center().y(), page.height() / 2.0, 2);
  std::filesystem::remove(pdf);
  std::filesystem::remove(png + ".png");
}

TEST(ChartPrinting, AHeadingGoesAboveThePictureWithoutMovingIt) {
  const QSize page(7016, 4960);  // A4 landscape at 600 dots per inch
  const QRect centred = PicturePlacement(kChartPictureSize, 600, 600, page);
  const PictureLayout none = LayOutPicturePage(kChartPictureSize, 600, 600, page, 0, 100);
  EXPECT_EQ(none.picture, centred);
  const PictureLayout small = LayOutPicturePage(kChartPictureSize, 600, 600, page, 300, 100);
  EXPECT_EQ(small.picture, centred);
  EXPECT_EQ(small.headingTop + 300 + 100, centred.top());
  // Taller than the room above: the heading starts at the top, the picture
  // follows it, whole and as large as before while it fits.
  const PictureLayout tall = LayOutPicturePage(kChartPictureSize, 600, 600, page, 2000, 100);
  EXPECT_EQ(tall.headingTop, 0);
  EXPECT_EQ(tall.picture.top(), 2100);
  EXPECT_EQ(tall.picture.size(), centred.size());
  EXPECT_EQ(tall.picture.left(), centred.left());
  // Taller still: the picture shrinks into the rest of the page, its shape kept.
  const PictureLayout huge = LayOutPicturePage(kChartPictureSize, 600, 600, page, 4000, 100);
  EXPECT_EQ(huge.picture.top(), 4100);
  EXPECT_EQ(huge.picture.bottom(), page.height() - 1);
  EXPECT_NEAR(huge.picture.width() / double(huge.picture.height()), 326.0 / 202, 0.01);
  EXPECT_NEAR(huge.picture.center().x(), page.width() / 2.0, 1);
}

TEST(ChartPrinting, HeadingsSayWhatTheChartShows) {
  EXPECT_EQ(ModeShapeHeading(SineMode()),
            QStringList({"Форма колебаний", "Вариант по жесткости N 1     Частота N 1     P= 2237.67517623468"}));
  // With the continuous shaft's line, what it is, in one line.
  TNewFormModel both = SineMode();
  both.Label8 = "Непрерывная модель:\nP= 2237.3\n3.56 Гц, 213.6 об/мин\n(при единицах СИ)\nотличие +0.02 %";
  EXPECT_EQ(ModeShapeHeading(both).value(2),
            "Непрерывная модель: P= 2237.3; 3.56 Гц, 213.6 об/мин (при единицах СИ); отличие +0.02 %");
  TShaftModel m;
  m.N = 2;
  m.KW = 2;
  m.SupportStiffness[1][1] = 1e8;
  m.SupportStiffness[2][1] = 2.5e8;
  m.SupportStiffness[1][2] = 1e9;
  m.SupportStiffness[2][2] = 0.5;
  EXPECT_EQ(FrequencyMapHeading(m, ','),
            QStringList({"Карта частот по вариантам жесткости опор",
                         "Вариант по жесткости N 1:  жесткости опор 100000000; 250000000",
                         "Вариант по жесткости N 2:  жесткости опор 1000000000; 0,5"}));
}

TEST(ChartPrinting, ThePrintedModeShapeSaysVariantFrequencyAndP) {
  TNewFormModel model = SineMode();
  TNewForm form(model);
  form.Fill();
  form.show();
  QApplication::processEvents();
  const std::string pdf = vp::test::TempPath("chart_h.pdf");
  QRect picture;
  {
    QPdfWriter printer(QString::fromStdString(pdf));
    SetUpPdfWriter(printer, PrintoutPageSetup());
    picture = PicturePlacement(kChartPictureSize, printer.logicalDpiX(), printer.logicalDpiY(),
                               QSize(printer.width(), printer.height()));
    PrintChart(printer, *form.Chart1()->chart(), ModeShapeHeading(model), kChartPictureSize);
  }
  const std::vector<std::string> pages = PdfPages(pdf);
  ASSERT_EQ(pages.size(), 1u);
  const std::vector<std::string> lines = TextLines(pages[0]);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Форма колебаний");
  EXPECT_NE(lines[1].find("Вариант по жесткости N 1"), std::string::npos);
  EXPECT_NE(lines[1].find("Частота N 1"), std::string::npos);
  EXPECT_NE(lines[1].find("P= 2237.67517623468"), std::string::npos);
  // The heading's words lie above the picture, which is where it was without
  // them (page coordinates in points, 10 points of margin, 600 dots per
  // inch); the chart's own texts are text on the page too, inside the
  // picture: the chart is drawn as vectors, no picture of it is printed.
  const double pictureTop = 10 + picture.top() * 72.0 / 600;
  QStringList inside;
  for (const PdfWord& w : PdfWords(pdf)) {
    if (w.y + 8 >= pictureTop) inside << w.text.c_str();
    else EXPECT_GT(w.y, pictureTop - 60) << w.text;
  }
  EXPECT_TRUE(inside.contains("Смещение") && !inside.contains("TChart")) << inside.join(' ').toStdString();
  EXPECT_EQ(Capture("pdfimages -list '" + pdf + "' | tail -n +3"), "");
  // Rendered at 70 dots per inch, the chart's background fills the picture's
  // place, as large as the picture is in pixels.
  const std::string png = pdf + "-70";
  Capture("pdftoppm -r 70 -png -singlefile '" + pdf + "' '" + png + "'");
  QImage page(QString::fromStdString(png + ".png"));
  ASSERT_FALSE(page.isNull());
  QRect box;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      if (page.pixelColor(x, y) == QColor(183, 183, 255)) box |= QRect(x, y, 1, 1);
  const double toPixels = 70.0 / 600;
  EXPECT_NEAR(box.width(), 326, 2);
  EXPECT_NEAR(box.height(), 202, 2);
  EXPECT_NEAR(box.top(), (10 * 600 / 72.0 + picture.top()) * toPixels, 2);
  EXPECT_NEAR(box.center().x(), page.width() / 2.0, 2);
  std::filesystem::remove(pdf);
  std::filesystem::remove(png + ".png");
}

TEST(ChartPrinting, NoPrinterIsAClearMessage) {
  try {
    RequirePrinter(QStringList());
    FAIL();
  } catch (const PrintError& e) {
    EXPECT_STREQ(e.what(), kNoPrinterMessage);
  }
  EXPECT_NO_THROW(RequirePrinter(QStringList{"Лазерный"}));
}

namespace {

// A printer that prints into a PDF file, as "print to file" in the print dialog sets it.
void PrintToFile(QPrinter& printer, const std::string& path) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(path));
  printer.setResolution(600);
  printer.setPageLayout(PrintoutPageSetup().layout);
}

}  // namespace

// Through RunPrintJob the pages come out as the printer itself would lay them.
TEST(RunPrintJob, PrintsThePagesThePrinterWould) {
  TMainFormModel form;
  ResultsTables results;
  FillResults(form, results, 21, 2, 3);
  const std::string directPath = TempPath("direct.pdf"), jobPath = TempPath("job.pdf");
  QPrinter direct(QPrinter::HighResolution), job(QPrinter::HighResolution);
  PrintToFile(direct, directPath);
  PrintToFile(job, jobPath);
  PrintResults(direct, form, results, '.');
  int calls = 0;
  RunPrintJob(job, [&](QPagedPaintDevice& device) {
    ++calls;
    LinePrinter onJob(device), onPrinter(direct);
    EXPECT_EQ(onJob.PageWidth(), onPrinter.PageWidth());
    EXPECT_EQ(onJob.PageHeight(), onPrinter.PageHeight());
    EXPECT_EQ(onJob.LineHeight(), onPrinter.LineHeight());
    onPrinter.End();
    onJob.End();
    PrintResults(device, form, results, '.');
  });
  EXPECT_EQ(calls, 1);
  PrintResults(direct, form, results, '.');  // the check above reused its file
  const std::vector<std::string> expected = PdfPages(directPath), printed = PdfPages(jobPath);
  ASSERT_GE(printed.size(), 2u);
  EXPECT_EQ(printed, expected);
  EXPECT_EQ(Capture("pdfinfo '" + jobPath + "' | grep 'Page size'"), Capture("pdfinfo '" + directPath + "' | grep 'Page size'"));
  std::filesystem::remove(directPath);
  std::filesystem::remove(jobPath);
}

// A printout that cannot start on the printer says why in the printer's words.
TEST(RunPrintJob, AJobThatCannotStartSaysWhy) {
  TMainFormModel form;
  ResultsTables results;
  FillResults(form, results, 5, 1, 1);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);  // no file named
  EXPECT_EQ(ErrorOf([&] { RunPrintJob(printer, [&](QPagedPaintDevice& device) { PrintResults(device, form, results, '.'); }); }),
            "Не задан файл для печати.");
}

int main(int argc, char** argv) {
  vp::platform::ChooseQtPlatform(true);
  QApplication app(argc, argv);
  vp::platform::UseCNumbers();
  InstallFontSubstitutes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
