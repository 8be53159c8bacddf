#pragma once
// "Карта критических скоростей": the lowest natural frequencies of the shaft
// against one stiffness shared by all supports, on logarithmic axes, with the
// stiffness variants marked; the range and the number of points are typed
// beside the chart and the map is redrawn as they change. The model computes
// a map on its worker, so that the window answers while it does; a range
// typed meanwhile stops it and follows, and closing the window stops it.

#include <QDialog>
#include <functional>

#include "line_printer.h"
#include "stiffness_map_model.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vp {

class TStiffnessMapForm : public QDialog {
  Q_OBJECT
 public:
  explicit TStiffnessMapForm(StiffnessMapModel& model, QWidget* parent = nullptr);
  ~TStiffnessMapForm() override;

  // Shows the model's fields and map.
  void Fill();
  // Fills the window and shows it modally over its parent; a range left
  // uncomputed when it was closed is computed again.
  void ShowMap();

  // "Печать карты" (to the printer) and "Сохранить в PDF" run this.
  void SetPrinter(std::function<void(TStiffnessMapForm&, PrintTarget)> print) { print_ = std::move(print); }
  // The heading the map is printed under (title, range, the variants' stiffnesses).
  QStringList PrintHeading() const;
  const StiffnessMapModel& Model() const { return model_; }

  QLineEdit* LowEdit() const { return low_; }
  QLineEdit* HighEdit() const { return high_; }
  QLineEdit* PointsEdit() const { return points_; }
  // The unit of the frequency axis.
  QComboBox* UnitBox() const { return unit_; }
  QLabel* NoticeLabel() const { return notice_; }
  QLabel* VariantsLabel() const { return variants_; }
  QPushButton* PrintButton() const { return print_button_; }
  QPushButton* PdfButton() const { return pdf_button_; }
  QPushButton* CloseButton() const { return close_; }
  QChart* Chart() const { return chart_; }

 signals:
  // A map was drawn (after the fields changed, or filled).
  void Drawn();

 protected:
  void done(int result) override;

 private:
  void FieldsEdited();
  void Draw();
  void ShowNotice();

  StiffnessMapModel& model_;
  QChart* chart_;
  QChartView* view_;
  QLineEdit* low_;
  QLineEdit* high_;
  QLineEdit* points_;
  QComboBox* unit_;
  QLabel* notice_;
  QLabel* variants_;
  QPushButton* print_button_;
  QPushButton* pdf_button_;
  QPushButton* close_;
  std::function<void(TStiffnessMapForm&, PrintTarget)> print_;
};

}  // namespace vp
