#pragma once
// "Для расчета приняты следующие данные:": the data as the run took them,
// shown for confirmation before anything is computed.

#include <QDialog>
#include <array>

#include "echo_model.h"

class QLabel;
class QPushButton;

namespace vp {

class GridView;

class TInputForm : public QDialog {
  Q_OBJECT
 public:
  explicit TInputForm(TInputFormModel& model, QWidget* parent = nullptr);

  // Shows the model's labels and grids.
  void Fill();
  // Fills the form and shows it modally; true for "Продолжить расчет".
  bool Confirm();
  QPushButton* ContinueButton() const { return bitBtn1_; }
  QPushButton* RepeatButton() const { return bitBtn2_; }
  GridView* Grid(int number) const { return grids_.at(number - 1); }

 private:
  TInputFormModel& model_;
  std::array<QLabel*, 10> labels_{};
  std::array<GridView*, 4> grids_{};
  QLabel* notes_;  // below the grids, in red: what takes no part in the calculation
  QPushButton* bitBtn1_;
  QPushButton* bitBtn2_;
};

}  // namespace vp
