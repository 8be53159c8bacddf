#pragma once
// "Результаты расчета:": the frequencies of every variant and the deflection,
// slope, moment and shear force of every mode, with printing, export, a new
// calculation and leaving the program.

#include <QDialog>
#include <array>
#include <functional>

#include "line_printer.h"
#include "results_summary.h"
#include "results_tables.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vp {

class GridView;

class TOutputForm : public QDialog {
  Q_OBJECT
 public:
  TOutputForm(ResultsTables& tables, ResultsSummary& summary, QWidget* parent = nullptr);

  // Shows the tables as the solver left them.
  void Refresh();
  // Refreshes and shows the form modally.
  void ShowResults();

  // "Печать" (to the printer) and "Сохранить в PDF" beside it run this, and
  // "Импортировать в Excel" the exporter; the form stays open.
  using PrintHandler = std::function<void(TOutputForm&, PrintTarget)>;
  void SetPrinter(PrintHandler print) { print_ = std::move(print); }
  void SetExporter(std::function<void(TOutputForm&)> exportTo) { export_ = std::move(exportTo); }
  // "Печать карты" and the "Сохранить в PDF" beside it run this.
  void SetMapPrinter(PrintHandler print) { printMap_ = std::move(print); }
  // "Отчет (PDF)…" runs this.
  void SetReporter(std::function<void(TOutputForm&)> report) { report_ = std::move(report); }
  // "Карта критических скоростей" runs this.
  void SetStiffnessMapOpener(std::function<void(TOutputForm&)> open) { openStiffnessMap_ = std::move(open); }
  // What the frequency map shows, as a picture.
  QImage CaptureMap() const;
  // "Выход" closes this window and then the main window.
  void SetMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

  QPushButton* ExitButton() const { return bitBtn1_; }
  QPushButton* RepeatButton() const { return bitBtn2_; }
  QPushButton* PrintButton() const { return bitBtn3_; }
  QPushButton* ExportButton() const { return bitBtn4_; }
  QPushButton* PdfButton() const { return pdfButton_; }
  QPushButton* PrintMapButton() const { return printMapButton_; }
  QPushButton* PdfMapButton() const { return pdfMapButton_; }
  QPushButton* ReportButton() const { return reportButton_; }
  QPushButton* StiffnessMapButton() const { return stiffnessMapButton_; }
  QChart* MapChart() const { return map_; }
  // The unit of the map's frequency axis.
  QComboBox* MapUnitBox() const { return mapUnit_; }
  QString CheckText() const;
  // The comparison with the continuous shaft and the lines below it.
  GridView* ContinuousGrid() const { return continuous_; }
  QString ContinuousNotesText() const;
  GridView* Grid(int number) const { return grids_.at(number - 1); }

 private:
  void Run(const std::function<void(TOutputForm&)>& handler);
  void Print(const PrintHandler& handler, PrintTarget target);
  void FillMap();

  ResultsTables& tables_;
  ResultsSummary& summary_;
  QPlainTextEdit* checks_;
  GridView* continuous_;
  QLabel* continuousNotes_;
  QChart* map_;
  QChartView* mapView_;
  QComboBox* mapUnit_;
  QPushButton* printMapButton_;
  QPushButton* pdfMapButton_;
  QPushButton* pdfButton_;
  QPushButton* stiffnessMapButton_;
  QPushButton* reportButton_;
  QLabel* noMap_;  // in place of the map when there is none
  std::array<GridView*, 5> grids_{};
  QPushButton* bitBtn1_;
  QPushButton* bitBtn2_;
  QPushButton* bitBtn3_;
  QPushButton* bitBtn4_;
  QWidget* mainWindow_ = nullptr;
  PrintHandler print_;
  std::function<void(TOutputForm&)> export_;
  PrintHandler printMap_;
  std::function<void(TOutputForm&)> openStiffnessMap_;
  std::function<void(TOutputForm&)> report_;
};

}  // namespace vp
