#pragma once
// "Расчет изгибной жесткости участков": the stiffness calculator's window,
// modeless, opened from the main form and hidden when closed.

#include <QWidget>
#include <array>
#include <functional>

#include "stiffness_calculator_model.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vp {

class GridView;
class SpinEdit;

class TMainFormJestk : public QWidget {
  Q_OBJECT
 public:
  TMainFormJestk(TMainFormJestkModel& model, TMainFormModel& mainForm, QWidget* mainWindow);
  ~TMainFormJestk() override;

  // The main form's "Расчет жесткосткостей": shown modeless with the main form's KM.
  void Open();
  // Runs after "Передать" has changed the main form's model.
  void SetTransferHandler(std::function<void()> handler) { transferred_ = std::move(handler); }
  // Whether a calculation is computing: "Передать" is refused then.
  void SetRunningCheck(std::function<bool()> running) { running_ = std::move(running); }

  SpinEdit* Spin(JestkCount which) const { return which == JestkCount::Sections ? spinEdit1_ : spinEdit2_; }
  QLineEdit* ModulusEdit() const { return edit1_; }
  QLineEdit* BoreEdit() const { return edit2_; }
  QCheckBox* DiscsCheckBox() const { return checkBox1_; }
  GridView* Grid(int number) const { return grids_.at(number - 1); }
  QPushButton* CalculateButton() const { return bitBtn1_; }
  QPushButton* TransferButton() const { return bitBtn2_; }
  QPushButton* ReturnButton() const { return bitBtn3_; }
  QComboBox* UnitsBox() const { return units_; }
  // Asks whether to go on; tests replace it.
  void SetAsker(std::function<bool(const QString&)> ask) { ask_ = std::move(ask); }

  // Shows the model's state in the controls.
  void SyncFromModel();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // "Расчет": false when it failed (the failure is shown).
  bool Calculate();

  TMainFormJestkModel& model_;
  TMainFormModel& mainForm_;
  QWidget* mainWindow_;
  SpinEdit* spinEdit1_;
  SpinEdit* spinEdit2_;
  QLineEdit* edit1_;
  QLineEdit* edit2_;
  QCheckBox* checkBox1_;
  QFrame* bevel3_;
  std::array<QLabel*, 3> discLabels_{};  // Label6, Label7, Label9
  std::array<GridView*, 4> grids_{};     // StringGrid1..StringGrid4
  QComboBox* units_;
  std::array<QLabel*, 5> unitLabels_{};  // beside E, the bore, the diameters, the widths, the results
  std::function<bool(const QString&)> ask_;
  QPushButton* bitBtn1_;
  QPushButton* bitBtn2_;
  QPushButton* bitBtn3_;
  std::function<void()> transferred_;
  std::function<bool()> running_;
};

}  // namespace vp
