#pragma once
// The main window: the whole input of a calculation, and the buttons that
// start it, load it from a file and open the stiffness calculator.

#include <QWidget>
#include <array>
#include <functional>

#include "calculation_run.h"
#include "form_history.h"
#include "main_form_files.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace vp {

class GridView;
class SpinEdit;

class TMainForm : public QWidget, public RunUi, public InputFileUi {
  Q_OBJECT
 public:
  explicit TMainForm(ProgramState& state);
  ~TMainForm() override;

  // The other windows of a run, wired by the application: the echo shown
  // modally (true when the user continues), the results shown modally, and
  // the mode-shape window.
  void SetRunWindows(std::function<bool()> confirmEcho, std::function<void()> showResults,
                     ModeShapeDisplay* modeDisplay) {
    confirmEcho_ = std::move(confirmEcho);
    showResults_ = std::move(showResults);
    modeDisplay_ = modeDisplay;
  }
  // "Расчет жесткосткостей" runs this with the main form's model.
  void SetCalculatorOpener(std::function<void()> open) { openCalculator_ = std::move(open); }
  // Chooses the input file; empty when the user cancels. Tests replace it.
  void SetFileChooser(std::function<QString()> choose) { chooseFile_ = std::move(choose); }
  // Chooses where to save the input; empty when the user cancels.
  void SetSaveFileChooser(std::function<QString()> choose) { chooseSaveFile_ = std::move(choose); }

  // Shows the model's state in the controls (after a load or a transfer).
  void SyncFromModel();

  SpinEdit* Spin(Count which) const { return spins_[static_cast<int>(which)]; }
  QLineEdit* Edit(int number) const;  // Edit3, Edit8..Edit12
  GridView* Grid(int number) const { return grids_.at(number - 1); }
  QPushButton* StartButton() const { return bitBtn1_; }
  QPushButton* LoadButton() const { return bitBtn2_; }
  // The arrow beside it: the recent files.
  QToolButton* RecentButton() const { return recent_; }
  QPushButton* SaveButton() const { return bitBtn4_; }
  QPushButton* CalculatorButton() const { return bitBtn3_; }
  QCheckBox* ModesCheckBox() const { return checkBox1_; }

  // RunUi
  bool ConfirmEcho(const TInputFormModel& echo) override;
  ModeShapeDisplay* ModeDisplay() override;
  void ShowResults() override;
  void ShowInputError(const std::string& detail) override;
  void ShowInterrupted() override;
  void ShowMessage(const std::string& text) override;
  bool AcceptEstimate(double seconds) override;
  bool AcceptFinding(const std::string& text) override;
  // Keeps the window answering while the worker computes: serves it, shows
  // the progress window after half a second ("Отмена" stops the worker) and
  // takes no input into the main form meanwhile.
  void AwaitWorker(CalculationWorker& worker) override;

  // InputFileUi (ShowMessage as above)
  bool Ask(const std::string& question) override;
  Answer AskOrCancel(const std::string& question) override;
  std::string ChooseSaveFile() override;
  void FileTaken(const std::string& path) override;
  void FormLoaded() override;

 public slots:
  void BitBtn1Click();  // "Начать расчет"
  void BitBtn2Click();  // "Загрузить из файла"
  void BitBtn3Click();  // "Расчет жесткосткостей"
  void BitBtn4Click();  // "Сохранить в файл"

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Numbers of the fields whose keys typed in a row make one step of the history.
  static constexpr int kEditField = 100, kSpinField = 200;

  void RefreshGrids();
  // After the input changed (field: as FormHistory::Changed takes it): the
  // history and the title follow.
  void FormChanged(int field);
  // The title names the input file, marked "*" while the input differs from it.
  void UpdateTitle();
  void LoadFile(const QString& path);
  // Says on every field what it is and in which units.
  void SetToolTips();
  void ShowHelp();

  ProgramState& state_;
  FormHistory history_;
  std::array<SpinEdit*, 4> spins_{};
  std::array<QLineEdit*, 6> edits_{};  // Edit3, Edit8, Edit9, Edit10, Edit11, Edit12
  std::array<GridView*, 4> grids_{};   // StringGrid1..StringGrid4
  QCheckBox* checkBox1_;
  QPushButton* bitBtn1_;
  QPushButton* bitBtn2_;
  QPushButton* bitBtn3_;
  QPushButton* bitBtn4_;
  QToolButton* recent_;
  std::function<bool()> confirmEcho_;
  std::function<void()> showResults_;
  ModeShapeDisplay* modeDisplay_ = nullptr;
  std::function<void()> openCalculator_;
  std::function<QString()> chooseFile_;
  std::function<QString()> chooseSaveFile_;
  bool placed_ = false;      // centred at the first show
};

}  // namespace vp
