#pragma once
// "Формы Колебаний": the mode shape of one frequency as a table and a line
// chart. The solver shows it modally once per frequency found.

#include <QDialog>
#include <functional>

#include "line_printer.h"
#include "mode_shape_form_model.h"

class QChart;
class QChartView;
class QLabel;
class QCheckBox;
class QLineSeries;
class QPushButton;

namespace vp {

class GridView;
class ShaftView;

class TNewForm : public QDialog, public ModeShapeDisplay {
  Q_OBJECT
 public:
  explicit TNewForm(TNewFormModel& model, QWidget* parent = nullptr);

  // Fills the form from the model, shows it modally until the user moves on,
  // then clears the chart's series; false when "Больше не показывать" was ticked.
  bool ShowModeShape(const TNewFormModel& form) override;

  // "Печать графика" (to the printer) and "Сохранить в PDF" run this; the form stays open.
  void SetChartPrinter(std::function<void(TNewForm&, PrintTarget)> printer) { printChart_ = std::move(printer); }

  // Shows the model's table, headings and chart.
  void Fill();
  // Copies what the chart shows, stretched, into the picture Image1.
  QImage CaptureChart();

  QChartView* Chart1() const { return chartView_; }
  QLabel* Image1() const { return image_; }
  QLineSeries* Series1() const { return series_; }
  // The continuous shaft's line and what it is.
  QLineSeries* Series2() const { return series2_; }
  QLabel* Label8() const { return label8_; }
  QPushButton* NextButton() const { return bitBtn1_; }
  // "Больше не показывать": the rest of the run shows no mode shapes.
  QCheckBox* NoMoreCheckBox() const { return noMore_; }
  QPushButton* PrintButton() const { return bitBtn3_; }
  QPushButton* PdfButton() const { return pdfButton_; }
  GridView* Grid() const { return grid_; }
  // The shaft drawn above the chart, to its scale.
  QWidget* ShaftDrawingView() const;

 private:
  void PlaceShaft();

  TNewFormModel& model_;
  GridView* grid_;
  QLabel* label2_;
  QLabel* label3_;
  QLabel* label7_;
  QChart* chart_;
  QChartView* chartView_;
  QLineSeries* series_;
  QLineSeries* series2_;
  ShaftView* shaftView_;
  QLabel* label8_;
  QLabel* image_;
  QPushButton* bitBtn1_;
  QCheckBox* noMore_;
  QPushButton* bitBtn3_;
  QPushButton* pdfButton_;
  std::function<void(TNewForm&, PrintTarget)> printChart_;
};

}  // namespace vp
