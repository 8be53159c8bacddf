#pragma once
// The windows of the program, created in their order, with the state they
// share. The main window is the first; the others stay hidden until shown.

#include <QIcon>
#include <QPrinter>
#include <functional>
#include <memory>

#include "echo_form.h"
#include "main_form.h"
#include "mode_shape_form.h"
#include "output_form.h"
#include "stiffness_calculator_form.h"
#include "stiffness_map_form.h"

namespace vp {

struct Forms {
  ProgramState state;
  TMainFormJestkModel jestk;
  std::unique_ptr<TMainForm> MainForm;
  std::unique_ptr<TInputForm> InputForm;
  std::unique_ptr<TOutputForm> OutputForm;
  std::unique_ptr<TNewForm> NewForm;
  std::unique_ptr<TMainFormJestk> MainFormJestk;
  // "Карта критических скоростей", opened from the results.
  StiffnessMapModel stiffnessMap;
  std::unique_ptr<TStiffnessMapForm> StiffnessMapForm;
  // The printer and its settings, kept from one printout to the next.
  std::unique_ptr<QPrinter> printer;
  // Where the results workbook goes (empty: cancelled) and how it is opened
  // afterwards; tests replace them.
  std::function<QString(QWidget*)> chooseWorkbookFile;
  std::function<bool(const QString&)> openWorkbook;
  // Where "Сохранить в PDF" writes (empty: cancelled), offered under the given
  // file name; tests replace it.
  std::function<QString(QWidget*, const QString&)> choosePdfFile;

  Forms();

  // The map of the last run's shaft: the range set in its window, or the
  // default one for a shaft not mapped before.
  const StiffnessMapChart& StiffnessMapOfRun();

 private:
  // Qt's print dialog serves as the printer set-up; cancelling it keeps the
  // settings and the printout still follows.
  QPrinter& SetUpPrinter(QWidget* parent);
  // A print action: on the printer, or into a PDF file the user chooses,
  // which is also offered when there is no printer.
  void Print(QWidget* parent, PrintTarget target, const QString& pdfName,
             const std::function<void(QPagedPaintDevice&)>& print);
};

// The program icon, in every size rendered from its drawing.
QIcon ProgramIcon();

// Russian texts in Qt's own dialogs, "MS Sans Serif" substitutes, the help
// file, the program icon on every window.
void SetUpApplication();

}  // namespace vp
