#include "jestk_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include "form_kit.h"
#include "messages.h"
#include "settings.h"

namespace vp {

TMainFormJestk::TMainFormJestk(TMainFormJestkModel& model, TMainFormModel& mainForm, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window), model_(model), mainForm_(mainForm), mainWindow_(mainWindow) {
  setWindowTitle("Расчет изгибной жесткости участков");
  StyleForm(this);
  setFixedSize(680, 410);

  auto oneRow = [this](StringTable* table, const QRect& geometry, int width) {
    auto* grid = new GridView(this, new StringTableModel(table, 0, 0, true), geometry, width);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return grid;
  };
  auto spin = [this](JestkCount which, const QRect& geometry) {
    auto* s = new SpinEdit(this);
    s->setGeometry(geometry);
    connect(s, &SpinEdit::Typed, this, [this, which](const QString& text) {
      model_.SetSpinText(which, text.toStdString());
      SyncFromModel();
    });
    connect(s, &SpinEdit::Stepped, this, [this, which](int steps) {
      model_.SetSpinValue(which, model_.Spin(which).Value() + steps);
      SyncFromModel();
    });
    connect(s, &SpinEdit::Left, this, [this, which] {
      model_.LeaveSpin(which);
      SyncFromModel();
    });
    return s;
  };

  // Count, modulus and bore.
  Bevel(this, QRect(8, 8, 330, 174));
  Caption(this, "Число участков:", 16, 22);
  spinEdit1_ = spin(JestkCount::Sections, QRect(190, 18, 90, 22));
  Caption(this, "Модуль упругости:", 16, 62);
  edit1_ = new QLineEdit(this);
  edit1_->setGeometry(190, 58, 96, 22);
  Caption(this, "Диаметр центрального свеления:", 16, 96, true, 150);
  edit2_ = new QLineEdit(this);
  edit2_->setGeometry(190, 100, 96, 22);
  // The units the values are taken in, and so the EI transferred.
  Caption(this, "Единицы:", 16, 144);
  units_ = new QComboBox(this);
  units_->addItems({"МПа, мм", "Па, м (СИ)"});
  units_->setGeometry(190, 140, 136, 24);
  connect(units_, &QComboBox::activated, this, [this](int index) {
    model_.SetUnits(index == 1 ? JestkUnits::PascalMetre : JestkUnits::MegapascalMillimetre);
    Remember("units/calculator", index);
    SyncFromModel();
  });
  model_.SetUnits(Remembered("units/calculator", 0).toInt() == 1 ? JestkUnits::PascalMetre
                                                                 : JestkUnits::MegapascalMillimetre);
  unitLabels_[0] = Caption(this, "", 292, 62, false);
  unitLabels_[1] = Caption(this, "", 292, 104, false);
  connect(edit1_, &QLineEdit::textEdited, this, [this](const QString& t) { model_.Edit1 = t.toStdString(); });
  connect(edit2_, &QLineEdit::textEdited, this, [this](const QString& t) { model_.Edit2 = t.toStdString(); });

  // Discs.
  checkBox1_ = new QCheckBox("Учитывать влияние дисков", this);
  QFont bold = checkBox1_->font();
  bold.setBold(true);
  checkBox1_->setFont(bold);
  checkBox1_->setGeometry(354, 10, 300, 22);
  bevel3_ = Bevel(this, QRect(346, 34, 326, 148), false);
  discLabels_[1] = Caption(this, "Число участков с дисками:", 354, 44);
  spinEdit2_ = spin(JestkCount::Discs, QRect(570, 40, 90, 22));
  discLabels_[0] = Caption(this, "Номера участков с дисками:", 354, 70);
  grids_[1] = oneRow(&model_.StringGrid2, QRect(354, 86, 310, 38), 64);
  discLabels_[2] = Caption(this, "Ширина дисков:", 354, 126);
  unitLabels_[3] = Caption(this, "", 480, 126, false);
  grids_[2] = oneRow(&model_.StringGrid3, QRect(354, 142, 310, 38), 64);
  connect(checkBox1_, &QCheckBox::toggled, this, [this](bool on) {
    model_.SetCheckBox1(on);
    SyncFromModel();
  });

  // Diameters and results.
  Bevel(this, QRect(8, 190, 664, 160));
  Caption(this, "Диаметры ротора:", 16, 196);
  unitLabels_[2] = Caption(this, "", 150, 196, false);
  grids_[0] = oneRow(&model_.StringGrid1, QRect(16, 214, 609, 38), 64);
  Caption(this, "Искомая  изгибная жесткость:", 16, 264);
  unitLabels_[4] = Caption(this, "", 236, 264, false);
  grids_[3] = new GridView(this, new StringTableModel(&model_.StringGrid4, 0, 0, false), QRect(16, 282, 609, 38), 80);
  grids_[3]->horizontalHeader()->hide();
  grids_[3]->verticalHeader()->hide();
  grids_[3]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grids_[3]->SetFitToTexts(true);

  bitBtn1_ = BitBtn(this, "Расчет", QRect(16, 362, 120, 36), Glyph::Calculator);
  bitBtn2_ = BitBtn(this, "Передать", QRect(148, 362, 120, 36), Glyph::Ok);
  bitBtn3_ = BitBtn(this, "Вернуться", QRect(552, 362, 120, 36), Glyph::Cancel);
  spinEdit1_->setToolTip("Число участков вала, для которых считается жесткость (до 200)");
  spinEdit2_->setToolTip("Число дисков, повышающих жесткость своих участков по номограмме");
  checkBox1_->setToolTip("Показать поля дисков; заданные диски учитываются и при снятом флажке");
  SetTabOrder({spinEdit1_, edit1_, edit2_, units_, checkBox1_, spinEdit2_, grids_[1], grids_[2], grids_[0], grids_[3],
               bitBtn1_, bitBtn2_, bitBtn3_});
  connect(bitBtn1_, &QPushButton::clicked, this, [this] { Calculate(); });
  connect(bitBtn2_, &QPushButton::clicked, this, [this] {
    // The main form's input belongs to the run while it computes.
    if (running_ && running_()) {
      ShowPlainMessage(this, "Идет расчет: жесткости можно передать на главную форму после его окончания.");
      return;
    }
    // What is transferred is computed from the fields as they are now.
    if (!Calculate()) return;
    // Fewer sections than the main form has lose its later ones: asked first.
    if (const std::optional<Error> loss = model_.TransferLoss(mainForm_))
      if (!ask_(QString::fromStdString(Message(*loss)) + " Передать?")) return;
    RunReporting(this, [this] { model_.BitBtn2Click(mainForm_, DecimalSeparator()); });
    SyncFromModel();
    if (transferred_) transferred_();
  });
  connect(bitBtn3_, &QPushButton::clicked, this, [this] {
    model_.BitBtn3Click();
    SyncFromModel();
  });
  ask_ = [this](const QString& question) {
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), question,
                    QMessageBox::Yes | QMessageBox::No, this);
    return box.exec() == QMessageBox::Yes;
  };
  SyncFromModel();
}

TMainFormJestk::~TMainFormJestk() { DisconnectControls(this); }

bool TMainFormJestk::Calculate() {
  try {
    model_.BitBtn1Click(DecimalSeparator());
    SyncFromModel();
    return true;
  } catch (const std::exception& e) {
    SyncFromModel();  // the sections computed before the failure show under the message
    if (const auto* failure = dynamic_cast<const Failure*>(&e))
      ShowPlace(failure->error().place, {grids_.begin(), grids_.end()},
                [this](int field) { return field == 1 ? edit1_ : field == 2 ? edit2_ : nullptr; });
    ReportError(this, e);
    return false;
  }
}

void TMainFormJestk::SyncFromModel() {
  spinEdit1_->SetText(QString::fromStdString(model_.SpinEdit1.Text()));
  spinEdit2_->SetText(QString::fromStdString(model_.SpinEdit2.Text()));
  if (edit1_->text().toStdString() != model_.Edit1) edit1_->setText(QString::fromStdString(model_.Edit1));
  if (edit2_->text().toStdString() != model_.Edit2) edit2_->setText(QString::fromStdString(model_.Edit2));
  checkBox1_->setChecked(model_.CheckBox1);
  spinEdit2_->setVisible(model_.DiscControlsVisible);
  grids_[1]->setVisible(model_.DiscControlsVisible);
  grids_[2]->setVisible(model_.DiscControlsVisible);
  for (QLabel* label : discLabels_) label->setVisible(model_.DiscControlsVisible);
  bevel3_->setFrameShadow(model_.Bevel3Raised ? QFrame::Raised : QFrame::Sunken);
  const JestkUnitTexts& units = UnitTexts(model_.Units);
  units_->setCurrentIndex(model_.Units == JestkUnits::PascalMetre ? 1 : 0);
  const char* unitTexts[5] = {units.modulus, units.length, units.length, units.length, units.stiffness};
  for (int i = 0; i < 5; ++i) {
    unitLabels_[i]->setText(unitTexts[i]);
    unitLabels_[i]->adjustSize();
  }
  // What each field is, in the units chosen.
  const QString length = units.length;
  edit1_->setToolTip(QString("Модуль упругости материала вала E, ") + units.modulus);
  edit2_->setToolTip("Диаметр центрального сверления d0, " + length + ", один для всех участков; 0 - сплошной вал");
  grids_[0]->setToolTip("Наружный диаметр d каждого участка, " + length + "; столбец i - участок i");
  grids_[1]->setToolTip("Номер участка, на котором стоит каждый диск");
  grids_[2]->setToolTip("Ширина b каждого диска, " + length);
  grids_[3]->setToolTip(QString("Изгибная жесткость EI участков, ") + units.stiffness +
                        "; \"Передать\" пересчитывает ее по полям и переносит на главную форму");
  units_->setToolTip("Единицы модуля упругости и диаметров, а с ними - изгибной жесткости");
  unitLabels_[3]->setVisible(model_.DiscControlsVisible);
  for (GridView* grid : grids_) grid->Refresh();
  setVisible(model_.Visible);
}

void TMainFormJestk::Open() {
  const bool wasHidden = isHidden();
  model_.Open(mainForm_);
  SyncFromModel();
  if (wasHidden) RestoreGeometry(this, "calculator", true);
  if (wasHidden && mainWindow_) CentreOn(this, mainWindow_->geometry());
  raise();
  activateWindow();
}

void TMainFormJestk::closeEvent(QCloseEvent* event) {
  model_.BitBtn3Click();
  event->accept();
}

}  // namespace vp
