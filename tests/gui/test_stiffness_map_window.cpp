// "Карта критических скоростей" driven as a user would: opened from the
// results, fields typed key by key, printed and exported.

#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QScatterSeries>
#include <QTest>
#include <QTimer>

#include "chart_printing.h"
#include "form_fixtures.h"
#include "forms.h"
#include "settings.h"
#include "input_loader.h"
#include "line_printer.h"
#include "pdf_file.h"
#include "output_files.h"
#include "pdf_text.h"
#include "platform.h"
#include "window_tests_main.h"
#include "shaft_fixtures.h"
#include "window_printing.h"
#include "workbook_reader.h"

using namespace vp;

namespace {

// Types the text into the field as keys, over what it held.
void Type(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}

// Lets the event loop run until the form has no map being computed.
bool WaitForMap(const TStiffnessMapForm& form, int ms = 60000) {
  QElapsedTimer clock;
  clock.start();
  while (form.Model().Computing() && clock.elapsed() < ms) QTest::qWait(5);
  return !form.Model().Computing();
}

std::vector<QXYSeries*> Series(QChart* chart, bool scatter) {
  std::vector<QXYSeries*> out;
  for (QAbstractSeries* s : chart->series())
    if ((qobject_cast<QScatterSeries*>(s) != nullptr) == scatter) out.push_back(static_cast<QXYSeries*>(s));
  return out;
}

// The largest shaft the program takes: 200 sections, 20 spans, 10 supports
// whose stiffness grows with the variant.
TShaftModel LargestShaft() {
  TShaftModel m = test::UniformFreeFree(200, {200}, 20);
  m.N = 10;
  m.KZ = 20;
  m.KW = 20;
  for (int j = 1; j <= m.KZ; ++j) m.SpanEnd[j] = 10 * j;
  for (int s = 1; s <= m.N; ++s) {
    m.SupportSection[s] = 200 * s / 11;
    for (int v = 1; v <= m.KW; ++v) m.SupportStiffness[s][v] = 10.0 * v * v;
  }
  return m;
}

class StiffnessMapWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    forms = std::make_unique<Forms>();
    EXPECT_FALSE(LoadInputFile(std::string(VP_EXAMPLES_DIR) + "/rotor_two_bearings.txt", forms->state.form, '.'));
    test::RunToResults(forms->state);
    forms->OutputForm->Refresh();
    forms->OutputForm->show();
  }
  void TearDown() override { forms.reset(); }

  // Clicks the results' button; `inside` runs while the map window is shown.
  void OpenMap(const std::function<void(TStiffnessMapForm&)>& inside) {
    TStiffnessMapForm& form = *forms->StiffnessMapForm;
    bool ran = false;
    QTimer::singleShot(0, [&] {
      ran = true;
      EXPECT_TRUE(form.isVisible());
      EXPECT_EQ(QApplication::activeModalWidget(), &form);
      inside(form);
      if (form.isVisible()) form.CloseButton()->click();
    });
    forms->OutputForm->StiffnessMapButton()->click();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(form.isVisible());
  }

  std::unique_ptr<Forms> forms;
};

}  // namespace

TEST_F(StiffnessMapWindow, OpensFromTheResultsWithTheDefaultMapOfTheRun) {
  EXPECT_EQ(forms->OutputForm->StiffnessMapButton()->text(), "Карта критических скоростей");
  OpenMap([](TStiffnessMapForm& form) {
    EXPECT_EQ(form.windowTitle(), "Карта критических скоростей");
    EXPECT_EQ(form.LowEdit()->text(), "1E6");
    EXPECT_EQ(form.HighEdit()->text(), "1E11");
    EXPECT_EQ(form.PointsEdit()->text(), "61");
    EXPECT_FALSE(form.NoticeLabel()->isVisible());
    EXPECT_EQ(form.VariantsLabel()->text(), "Вариант № 1 (k = 1E8)\nВариант № 2 (k = 1E9)");
    // One line per ordinal (KP = 4), ascending along the stiffness; the two
    // variants (both bearings alike) marked on the lines.
    const std::vector<QXYSeries*> lines = Series(form.Chart(), false), marks = Series(form.Chart(), true);
    ASSERT_EQ(lines.size(), 4u);
    ASSERT_EQ(marks.size(), 2u);
    for (size_t n = 0; n < 4; ++n) {
      EXPECT_EQ(lines[n]->name(), "№ " + QString::number(n + 1));
      ASSERT_EQ(lines[n]->count(), 61);
      for (int i = 1; i < 61; ++i) EXPECT_GE(lines[n]->at(i).y(), lines[n]->at(i - 1).y());
    }
    EXPECT_EQ(marks[0]->name(), "Вариант № 1 (k = 1E8)");
    ASSERT_EQ(marks[0]->count(), 4);
    // On the lumped model variant 1 finds 61379 and 138045: the continuous
    // shaft is within 1 % of them.
    EXPECT_NEAR(marks[0]->at(0).y(), 61379, 0.01 * 61379);
    EXPECT_NEAR(marks[0]->at(1).y(), 138045, 0.01 * 138045);
    for (const QXYSeries* mark : marks) EXPECT_EQ(mark->at(0).x(), mark == marks[0] ? 1e8 : 1e9);
    // Logarithmic axes with their titles.
    const QList<QAbstractAxis*> x = form.Chart()->axes(Qt::Horizontal), y = form.Chart()->axes(Qt::Vertical);
    ASSERT_EQ(x.size(), 1);
    ASSERT_EQ(y.size(), 1);
    auto* kAxis = qobject_cast<QLogValueAxis*>(x[0]);
    auto* fAxis = qobject_cast<QLogValueAxis*>(y[0]);
    ASSERT_TRUE(kAxis && fAxis);
    EXPECT_EQ(kAxis->base(), 10);
    EXPECT_EQ(fAxis->base(), 10);
    EXPECT_EQ(kAxis->titleText(), "Жесткость опор");
    EXPECT_EQ(fAxis->titleText(), "Частота, P");
    // A hair beyond the powers of ten, whose labels show.
    EXPECT_NEAR(kAxis->min(), 1e6, 1e-8 * 1e6);
    EXPECT_NEAR(kAxis->max(), 1e11, 1e-8 * 1e11);
    // Printed under a heading of the map, its range and the variants.
    EXPECT_TRUE(form.PrintButton()->isEnabled());
    EXPECT_EQ(form.PrintHeading(), QStringList({"Карта критических скоростей", "Жесткость опор от 1E6 до 1E11, точек карты: 61",
                                                "Вариант по жесткости N 1:  жесткости опор 100000000; 100000000",
                                                "Вариант по жесткости N 2:  жесткости опор 1000000000; 1000000000"}));
    const std::string pdf = test::FreshDir("map_window_print") + "/map.pdf";
    PrintPdfFile(pdf, PrintoutPageSetup(),
                 [&](QPagedPaintDevice& device) { PrintChart(device, *form.Chart(), form.PrintHeading()); });
    const std::vector<std::string> pages = test::PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    const std::vector<std::string> text = test::TextLines(pages[0]);
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(text[0], "Карта критических скоростей");
    EXPECT_EQ(text[1], "Жесткость опор от 1E6 до 1E11, точек карты: 61");
  });
}

TEST_F(StiffnessMapWindow, TypedRangesRedrawAndBadOnesKeepTheMapWithTheReason) {
  OpenMap([](TStiffnessMapForm& form) {
    Type(form.PointsEdit(), "200");
    ASSERT_TRUE(WaitForMap(form));
    EXPECT_EQ(Series(form.Chart(), false)[0]->count(), 200);
    // A lower bound above the upper: the reason shows beside the fields and
    // the map stays as it was; the good ranges typed on the way ("1", "1E1")
    // are dropped.
    Type(form.LowEdit(), "1E12");
    EXPECT_FALSE(form.Model().Pending());
    ASSERT_TRUE(WaitForMap(form));
    EXPECT_TRUE(form.NoticeLabel()->isVisible());
    EXPECT_EQ(form.NoticeLabel()->text(),
              "Верхняя граница жесткости опор должна быть больше нижней. Карта показана для прежнего диапазона.");
    EXPECT_EQ(Series(form.Chart(), false)[0]->count(), 200);
    EXPECT_EQ(form.Model().Chart().range, (StiffnessMapRange{1e6, 1e11, 200, 4}));
    Type(form.LowEdit(), "1E6");
    ASSERT_TRUE(WaitForMap(form));
    EXPECT_FALSE(form.NoticeLabel()->isVisible());
    // Enter in a field closes nothing.
    QTest::keyClick(form.HighEdit(), Qt::Key_Return);
    EXPECT_TRUE(form.isVisible());
    // A range that leaves variant 2 outside lists it beside the chart.
    Type(form.HighEdit(), "5E8");
    ASSERT_TRUE(WaitForMap(form));
    EXPECT_EQ(Series(form.Chart(), true).size(), 1u);
    EXPECT_EQ(form.VariantsLabel()->text(),
              "Вариант № 1 (k = 1E8)\nНе показаны на карте:\nВариант № 2: жесткость опор 1E9 вне диапазона карты");
    EXPECT_NEAR(qobject_cast<QLogValueAxis*>(form.Chart()->axes(Qt::Horizontal)[0])->max(), 1e9, 10);  // out to the power
    // Closed while the last range typed is still being computed: the map of
    // the run is of that range.
    Type(form.PointsEdit(), "999");
  });
  const StiffnessMapChart& kept = forms->StiffnessMapOfRun();
  EXPECT_EQ(kept.range, (StiffnessMapRange{1e6, 5e8, 999, 4}));
  EXPECT_EQ(kept.stiffness.size(), 999u);
}

TEST_F(StiffnessMapWindow, TheExportChartsTheRangeSetInTheWindowUntilTheShaftChanges) {
  const QString path = QString::fromStdString(vp::test::TempPath("map_window.xlsx"));
  forms->chooseWorkbookFile = [&](QWidget*) { return path; };
  forms->openWorkbook = [](const QString&) { return true; };
  auto exportedPoints = [&] {
    QFile::remove(path);
    forms->OutputForm->ExportButton()->click();
    const WorkbookInfo info = ReadWorkbookInfo(path.toStdString());
    EXPECT_EQ(info.sheets.back().name, "Карта критических скоростей");
    int aux = 0;
    while (info.sheets[aux].name != "вспомогательная") ++aux;
    const Sheet s = ReadSheet(path.toStdString(), aux, 100, 200);
    int points = 0;
    for (int r = 1; r <= 100; ++r)
      if (s.Cell(r, 1).text == "Жесткость опор:")
        while (s.Cell(r, 2 + points).kind == CellKind::Number) ++points;
    return points;
  };
  EXPECT_EQ(exportedPoints(), 61);  // the window never opened: the default range
  OpenMap([](TStiffnessMapForm& form) { Type(form.PointsEdit(), "25"); });
  EXPECT_EQ(exportedPoints(), 25);
  // Another run of the same shaft keeps the range; other bearings bring back the default.
  test::RunToResults(forms->state);
  EXPECT_EQ(exportedPoints(), 25);
  forms->state.form.StringGrid2.SetCell(1, 1, "2E8");
  forms->state.form.StringGrid2.SetCell(1, 2, "2E8");
  test::RunToResults(forms->state);
  EXPECT_EQ(exportedPoints(), 61);
  OpenMap([](TStiffnessMapForm& form) {
    EXPECT_EQ(form.PointsEdit()->text(), "61");
    EXPECT_EQ(form.LowEdit()->text(), "2E6");
  });
  QFile::remove(path);
}

TEST(StiffnessMapWindowAlone, AThousandPointsOfTheLargestShaftKeepTheWindowAnswering) {
  StiffnessMapModel model;
  model.SetShaft(LargestShaft(), 100, '.');
  TStiffnessMapForm form(model);
  form.Fill();
  form.show();
  // The longest time the event loop went without running a 10 ms timer.
  QElapsedTimer clock, sinceTick;
  qint64 longestGap = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, sinceTick.restart());
  });
  tick.start(10);
  sinceTick.start();
  clock.start();
  Type(form.PointsEdit(), "1000");
  const qint64 typed = clock.elapsed();
  EXPECT_TRUE(form.Model().Computing());
  ASSERT_TRUE(WaitForMap(form));
  const qint64 drawn = clock.elapsed();
  tick.stop();
  EXPECT_EQ(Series(form.Chart(), false)[0]->count(), 1000);
  EXPECT_EQ(Series(form.Chart(), false).size(), 6u);  // min(KP, 6)
  std::printf("typing 1000: %lld ms; map drawn after %lld ms; longest pause of the event loop %lld ms\n",
              static_cast<long long>(typed), static_cast<long long>(drawn), static_cast<long long>(longestGap));
  // Computing a map of the largest shaft takes the better part of a second;
  // the window's own work stays well below that.
  EXPECT_LT(longestGap, 400);
  // Destroying the window while a map is computed stops it and ends cleanly.
  Type(form.PointsEdit(), "900");
  EXPECT_TRUE(form.Model().Computing());
}

TEST(StiffnessMapWindowAlone, ClosingTheWindowStopsItsMapAndOpeningItAgainComputesIt) {
  StiffnessMapModel model;
  model.SetShaft(LargestShaft(), 100, '.');
  TStiffnessMapForm form(model);
  const StiffnessMapRange thousand{model.Chart().range.low, model.Chart().range.high, 1000, 6};
  QTimer::singleShot(0, [&] {
    Type(form.PointsEdit(), "1000");  // about a second of computing
    EXPECT_TRUE(form.Model().Computing());
    form.close();
  });
  form.ShowMap();
  // Stopped, not waited for: the map of 1000 points is still to come.
  EXPECT_FALSE(form.Model().Computing());
  EXPECT_EQ(model.Pending(), thousand);
  EXPECT_EQ(model.Chart().stiffness.size(), 61u);
  QTimer::singleShot(0, [&] {
    EXPECT_TRUE(form.Model().Computing());
    EXPECT_TRUE(WaitForMap(form));
    form.close();
  });
  form.ShowMap();
  EXPECT_EQ(model.Chart().range, thousand);
}

// A map drawn after a state without one (no support of positive stiffness)
// prints one set of axes and its whole legend.
TEST_F(StiffnessMapWindow, EveryRedrawStartsFromCleanAxes) {
  for (int cell = 0; cell < 4; ++cell) forms->state.form.StringGrid2.SetCell(1 + cell % 2, 1 + cell / 2, "0");
  test::RunToResults(forms->state);
  const std::string pdf = test::FreshDir("map_redrawn") + "/map.pdf";
  OpenMap([&](TStiffnessMapForm& form) {
    Type(form.LowEdit(), "1E5");
    Type(form.HighEdit(), "1E9");
    Type(form.PointsEdit(), "30");
    ASSERT_TRUE(WaitForMap(form));
    PrintPdfFile(pdf, PrintoutPageSetup(),
                 [&](QPagedPaintDevice& device) { PrintChart(device, *form.Chart(), form.PrintHeading()); });
  });
  std::vector<std::string> lines;
  for (const std::string& line : test::TextLines(test::PdfPages(pdf).at(0)))
    if (line.starts_with("Частота") || line.starts_with("№")) lines.push_back(QString::fromStdString(line).remove(' ').toStdString());
  EXPECT_EQ(lines, (std::vector<std::string>{"Частота,P", "№1№2№3№4"}));
}

int main(int argc, char** argv) { return test::RunWindowTests(argc, argv); }
