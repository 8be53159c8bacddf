// The windows on a screen of 1366 x 768 less a taskbar (1366 x 728 available):
// each opens inside the available area and what it shows grows with it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QHeaderView>
#include <QScreen>
#include <QSet>
#include <functional>

#include "chart_kit.h"
#include "form_fixtures.h"
#include "form_kit.h"
#include "grid_view.h"
#include "forms.h"
#include "modal_answerer.h"
#include "output_files.h"
#include "window_tests_main.h"

using namespace vp;

namespace {

class WindowSizes : public ::testing::Test {
 protected:
  void SetUp() override {
    forms = std::make_unique<Forms>();
    forms->MainForm->show();
    // The steel rotor in three variants: twelve ordinals on the frequency map.
    ProgramState& st = forms->state;
    st.form = test::SteelRotorForm({1e7, 1e8, 1e9}, 12);
    st.form.Edit10 = "1E9";
    test::RunToResults(st);
    forms->MainForm->SyncFromModel();
  }
  std::unique_ptr<Forms> forms;
};

// Runs `check` on a window opened modally by `open`, then closes it.
void WhileShown(QWidget* window, const std::function<void()>& open, const std::function<void()>& check) {
  bool seen = false;
  test::ModalAnswerer answer([&](QWidget* modal) {
    if (modal != window || seen) return;
    seen = true;
    check();
    window->close();
  });
  open();
  EXPECT_TRUE(seen) << window->windowTitle().toStdString();
}

}  // namespace

TEST_F(WindowSizes, EveryWindowOpensInsideTheScreenAndWhatItShowsGrowsWithIt) {
  // The sizes are checked where Qt alone lays out the screen of 1366 x 728
  // with the system's fonts: elsewhere a window manager places and maximises
  // the windows after a round trip of its own, and Windows' offscreen
  // platform measures text in fonts of its own, half as wide again as the
  // system's (the results window is measured on Windows under Xvfb instead).
#ifdef Q_OS_WIN
  GTEST_SKIP() << "Windows' offscreen platform has no system fonts";
#endif
  if (QGuiApplication::platformName() != "offscreen") GTEST_SKIP() << "not on the offscreen screen";
  Forms& f = *forms;
  using Sizes = std::vector<QSizeF>;
  struct Case {
    QWidget* window;
    std::function<void()> open;  // as the program opens it; modal where `modal`
    bool modal;
    std::function<Sizes()> shown;  // what should grow with the window
  } const cases[] = {
      {f.MainForm.get(), [&] { f.MainForm->show(); }, false,
       [&] { return Sizes{f.MainForm->Grid(1)->size(), f.MainForm->Grid(2)->size()}; }},
      {f.InputForm.get(), [&] { f.InputForm->Confirm(); }, true, [&] { return Sizes{f.InputForm->Grid(4)->size()}; }},
      {f.OutputForm.get(), [&] { f.OutputForm->ShowResults(); }, true,
       [&] { return Sizes{f.OutputForm->MapChart()->size(), f.OutputForm->Grid(3)->size()}; }},
      {f.NewForm.get(), [&] { f.NewForm->ShowModeShape(f.state.newForm); }, true,
       [&] { return Sizes{f.NewForm->Chart1()->size()}; }},
      {f.MainFormJestk.get(), [&] { f.MainFormJestk->Open(); }, false,
       [&] { return Sizes{f.MainFormJestk->Grid(1)->size()}; }},
      {f.StiffnessMapForm.get(), [&] { f.StiffnessMapForm->ShowMap(); }, true,
       [&] { return Sizes{f.StiffnessMapForm->Chart()->size()}; }},
  };
  for (const Case& c : cases) {
    const std::string name = c.window->windowTitle().toStdString();
    auto check = [&] {
      QApplication::processEvents();
      const QRect desktop = c.window->screen()->availableGeometry();
      EXPECT_TRUE(desktop.contains(c.window->frameGeometry())) << name;
      const Sizes before = c.shown();
      c.window->showMaximized();
      QApplication::processEvents();
      const Sizes after = c.shown();
      for (size_t i = 0; i < before.size(); ++i)
        EXPECT_TRUE(after[i].width() > before[i].width() && after[i].height() >= before[i].height())
            << name << ": " << before[i].width() << " x " << before[i].height() << " maximised " << after[i].width()
            << " x " << after[i].height();
      c.window->showNormal();
    };
    if (c.modal) {
      WhileShown(c.window, c.open, check);
    } else {
      c.open();
      check();
    }
  }
}

TEST_F(WindowSizes, TheResultsShowEveryContinuousColumnAndAWholeLegendOfDistinctColours) {
  TOutputForm& out = *forms->OutputForm;
  WhileShown(&out, [&] { out.ShowResults(); }, [&] {
    QApplication::processEvents();
    GridView* continuous = out.ContinuousGrid();
    const int columns = continuous->model()->columnCount();
    ASSERT_EQ(continuous->model()->headerData(columns - 1, Qt::Horizontal).toString(), "Отличие, %");
    for (int c = 0; c < columns; ++c)
      EXPECT_LE(continuous->columnViewportPosition(c) + continuous->columnWidth(c), continuous->viewport()->width()) << c;

    const WrappingLegend* legend = LegendOf(out.MapChart());
    ASSERT_NE(legend, nullptr);
    QStringList ordinals;
    for (int n = 1; n <= 12; ++n) ordinals << QString("№ %1").arg(n);
    EXPECT_EQ(legend->Labels().mid(0, 12), ordinals);
    const QList<QColor> colours = legend->Colours().mid(0, 12);
    QSet<QRgb> distinct;
    for (const QColor& colour : colours) distinct.insert(colour.rgb());
    EXPECT_EQ(distinct.size(), 12);
    // The legend's rows lie on the chart, under its plot.
    const QRectF placed = legend->mapRectToParent(legend->boundingRect());
    EXPECT_TRUE(QRectF(QPointF(), out.MapChart()->size()).contains(placed));
    EXPECT_GE(placed.top(), out.MapChart()->plotArea().bottom());
  });
}

TEST(WindowPlacement, AWindowCentredOnAnotherStaysInsideTheAvailableAreaAndShrinksToIt) {
  const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
  struct Case {
    QSize size;
    QRect area;  // centred on
    bool centred;
  } const cases[] = {
      {{400, 300}, desktop, true},
      {{400, 300}, QRect(desktop.topLeft() - QPoint(60, 120), QSize(200, 100)), false},      // above the top
      {{400, 300}, QRect(desktop.bottomRight() - QPoint(90, 40), QSize(200, 100)), false},  // beyond the bottom right
      {{2000, 1000}, desktop, true},                                                       // larger than the screen
  };
  for (const Case& c : cases) {
    QWidget window;
    window.resize(c.size);
    window.show();
    CentreOn(&window, c.area);
    QApplication::processEvents();
    const QRect frame = window.frameGeometry();
    EXPECT_TRUE(desktop.contains(frame)) << c.size.width() << " on " << c.area.x() << ", " << c.area.y();
    if (c.centred) {
      EXPECT_LE((frame.center() - c.area.center()).manhattanLength(), 2);
    }
  }
  // Put back as it was on a larger screen: larger than this one and partly off it.
  QWidget window;
  window.setGeometry(desktop.center().x(), desktop.top() + 40, 2000, 1000);
  window.show();
  KeepOnScreen(&window);
  QApplication::processEvents();
  EXPECT_TRUE(desktop.contains(window.frameGeometry()));
}

int main(int argc, char** argv) {
  // A screen of 1366 x 768 less a taskbar of 40 pixels, where the windows are drawn offscreen.
  const QString config = QString::fromStdString(test::TempPath("screen.json"));
  QFile file(config);
  if (file.open(QIODevice::WriteOnly))
    file.write(R"({"screens": [{"name": "1366x768", "x": 0, "y": 0, "width": 1366, "height": 728,
                                "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
  file.close();
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.isEmpty() || platform == "offscreen") qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
  return test::RunWindowTests(argc, argv);
}
