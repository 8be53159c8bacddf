// Renders every window after a real calculation of an example file into PNG
// files, and the printed mode shape into a PDF file, without a display:
// valoprovod-screenshots INPUT OUTDIR [PREFIX].

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QPixmap>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <vector>

#include "chart_printing.h"
#include "continuous_comparison.h"
#include "forms.h"
#include "settings.h"
#include "input_loader.h"
#include "messages.h"
#include "pdf_file.h"
#include "platform.h"
#include "window_printing.h"

namespace {

using namespace vp;

// Confirms the echo, keeps every mode shape for the pictures, shows nothing.
class Silent : public RunUi, public ModeShapeDisplay {
 public:
  std::vector<TNewFormModel> modes;
  bool ConfirmEcho(const TInputFormModel&) override { return true; }
  ModeShapeDisplay* ModeDisplay() override { return this; }
  bool ShowModeShape(const TNewFormModel& form) override {
    modes.push_back(form);
    return true;
  }
  void ShowResults() override {}
  void ShowInputError(const std::string& detail) override { std::fprintf(stderr, "%s\n", detail.c_str()); }
  void ShowInterrupted() override {}
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

bool Save(QWidget* window, const QString& path) {
  window->show();
  QApplication::processEvents();
  const bool ok = window->grab().save(path);
  window->hide();
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
  vp::platform::ChooseQtPlatform(true);
  QApplication app(argc, argv);
  vp::platform::UseCNumbers();
  const QStringList args = QCoreApplication::arguments();  // UTF-16 on Windows, whatever the code page
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: valoprovod-screenshots INPUT OUTDIR [PREFIX]\n");
    return 2;
  }
  SetUpApplication();
  UseFreshSettings();
  Forms forms;
  ProgramState& st = forms.state;
  const QString out = args[2] + "/" + (argc == 4 ? args[3] : QString());
  QDir().mkpath(args[2]);
  if (const std::optional<Error> error = LoadInputFile(args[1].toStdString(), st.form, '.')) {
    std::fprintf(stderr, "%s\n", Message(*error).c_str());
    return 1;
  }
  st.form.CheckBox1 = true;
  bool ok = Save(forms.MainForm.get(), out + "main_form.png");
  forms.MainForm->show();

  Silent ui;
  if (RunCalculation(st, ui, '.') != RunOutcome::Completed) return 1;
  forms.InputForm->Fill();
  ok &= Save(forms.InputForm.get(), out + "input_form.png");
  forms.OutputForm->Refresh();
  ok &= Save(forms.OutputForm.get(), out + "output_form.png");
  // The frequency map alone, when the run has one.
  if (forms.OutputForm->PrintMapButton()->isVisibleTo(forms.OutputForm.get())) {
    forms.OutputForm->show();
    QApplication::processEvents();
    const bool saved = forms.OutputForm->CaptureMap().save(out + "frequency_map.png");
    forms.OutputForm->hide();
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(out + "frequency_map.png"));
    ok &= saved;
  }
  // The critical-speed map window and its printed page.
  forms.StiffnessMapOfRun();
  forms.StiffnessMapForm->Fill();
  ok &= Save(forms.StiffnessMapForm.get(), out + "stiffness_map_form.png");
  forms.StiffnessMapForm->show();
  QApplication::processEvents();
  try {
    PrintPdfFile((out + "stiffness_map_page.pdf").toStdString(), PrintoutPageSetup(), [&](QPagedPaintDevice& device) {
      PrintChart(device, *forms.StiffnessMapForm->Chart(), forms.StiffnessMapForm->PrintHeading());
    });
    std::printf("wrote %s\n", qPrintable(out + "stiffness_map_page.pdf"));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", MessageOf(e).c_str());
    ok = false;
  }
  forms.StiffnessMapForm->hide();

  // The mode shape of the first frequency, or where the lumped frequency is
  // furthest from the continuous shaft's, when that is above 1 %.
  size_t shown = 0, at = 0;
  double furthest = kLargeDifference;
  for (const VariantResult& v : st.summary.variants)
    for (size_t i = 0; i < v.modes.size(); ++i, ++at)
      if (i < v.continuous.sameOrdinal.size() && v.continuous.sameOrdinal[i]) {
        const double difference = std::fabs(v.modes[i].omega / *v.continuous.sameOrdinal[i] - 1);
        if (difference > furthest) furthest = difference, shown = at;
      }
  if (shown < ui.modes.size()) st.newForm = ui.modes[shown];
  forms.NewForm->Fill();
  ok &= Save(forms.NewForm.get(), out + "mode_shape_form.png");
  // The printed mode shape, as "Печать графика" prints it, into a PDF file.
  forms.NewForm->show();
  QApplication::processEvents();
  try {
    PrintPdfFile((out + "mode_shape_page.pdf").toStdString(), PrintoutPageSetup(), [&](QPagedPaintDevice& device) {
      PrintChart(device, *forms.NewForm->Chart1()->chart(), ModeShapeHeading(st.newForm), kChartPictureSize);
    });
    std::printf("wrote %s\n", qPrintable(out + "mode_shape_page.pdf"));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", MessageOf(e).c_str());
    ok = false;
  }
  forms.NewForm->hide();

  // The calculator with discs: a stepped shaft of 6 sections, two discs.
  TMainFormJestkModel& j = forms.jestk;
  forms.MainFormJestk->Open();
  j.SetSpinValue(JestkCount::Sections, 6);
  j.Units = JestkUnits::PascalMetre;  // the rotor's steel in Pa, its diameters in m
  j.Edit1 = "2.1E11";
  j.Edit2 = "0.02";
  const char* diameters[6] = {"0.08", "0.1", "0.12", "0.12", "0.1", "0.08"};
  for (int i = 0; i < 6; ++i) j.StringGrid1.SetCell(i, 0, diameters[i]);
  j.SetCheckBox1(true);
  j.SetSpinValue(JestkCount::Discs, 2);
  j.StringGrid2.SetCell(0, 0, "3");
  j.StringGrid2.SetCell(1, 0, "4");
  j.StringGrid3.SetCell(0, 0, "0.03");
  j.StringGrid3.SetCell(1, 0, "0.05");
  j.BitBtn1Click('.');
  forms.MainFormJestk->SyncFromModel();
  ok &= Save(forms.MainFormJestk.get(), out + "calculator_form.png");
  forms.MainFormJestk->hide();

  // The input loaded on a PC with a decimal comma: the question, answered
  // "Да", and the main form with the numbers converted.
  QLocale::setDefault(QLocale(QLocale::Russian));
  forms.MainForm->SetFileChooser([&] { return args[1]; });
  forms.MainForm->show();
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    answer.stop();
    ok &= box->grab().save(out + "separator_question.png");
    std::printf("wrote %s\n", qPrintable(out + "separator_question.png"));
    box->button(QMessageBox::Yes)->click();
  });
  answer.start(20);
  forms.MainForm->LoadButton()->click();
  ok &= Save(forms.MainForm.get(), out + "main_form_comma.png");
  QLocale::setDefault(QLocale::c());
  return ok ? 0 : 1;
}
