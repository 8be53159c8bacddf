#include "stiffness_calculator_form.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGridLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include "form_kit.h"
#include "glyph_buttons.h"
#include "grid_view.h"
#include "message_box.h"
#include "messages.h"
#include "settings.h"
#include "spin_edit_widget.h"

namespace vp {

TMainFormJestk::TMainFormJestk(TMainFormJestkModel& model, TMainFormModel& mainForm, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window), model_(model), mainForm_(mainForm), mainWindow_(mainWindow) {
  setWindowTitle("Расчет изгибной жесткости участков");
  StyleForm(this);

  auto oneRow = [this](StringTable* table, int width) {
    auto* grid = new GridView(this, new StringTableModel(table, 0, 0, true), width);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setFixedHeight(38);  // the row and a scroll bar under it
    return grid;
  };
  auto spin = [this](JestkCount which) {
    auto* s = new SpinEdit(this);
    s->setFixedSize(90, 22);
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
  // A caption with the unit after it.
  auto withUnit = [this](QLabel* caption, QLabel*& unit, int indent) {
    unit = Caption(this, "", false);
    caption->setMinimumWidth(indent);
    return Row({caption, unit, nullptr});
  };

  // Count, modulus and bore.
  auto* fields = new QGridLayout;
  fields->setHorizontalSpacing(6);
  fields->setVerticalSpacing(8);
  fields->setColumnMinimumWidth(0, 168);
  fields->setColumnStretch(2, 1);
  spinEdit1_ = spin(JestkCount::Sections);
  fields->addWidget(Caption(this, "Число участков:"), 0, 0);
  fields->addWidget(spinEdit1_, 0, 1, 1, 2, Qt::AlignLeft);
  edit1_ = new QLineEdit(this);
  edit1_->setFixedSize(96, 22);
  fields->addWidget(Caption(this, "Модуль упругости:"), 1, 0);
  fields->addWidget(edit1_, 1, 1);
  edit2_ = new QLineEdit(this);
  edit2_->setFixedSize(96, 22);
  fields->addWidget(Caption(this, "Диаметр центрального свеления:", true, 150), 2, 0);
  fields->addWidget(edit2_, 2, 1);
  // The units the values are taken in, and so the EI transferred.
  units_ = new QComboBox(this);
  units_->addItems({"МПа, мм", "Па, м (СИ)"});
  units_->setFixedSize(136, 24);
  fields->addWidget(Caption(this, "Единицы:"), 3, 0);
  fields->addWidget(units_, 3, 1, 1, 2, Qt::AlignLeft);
  connect(units_, &QComboBox::activated, this, [this](int index) {
    model_.SetUnits(index == 1 ? JestkUnits::PascalMetre : JestkUnits::MegapascalMillimetre);
    Remember("units/calculator", index);
    SyncFromModel();
  });
  model_.SetUnits(Remembered("units/calculator", 0).toInt() == 1 ? JestkUnits::PascalMetre
                                                                 : JestkUnits::MegapascalMillimetre);
  unitLabels_[0] = Caption(this, "", false);
  unitLabels_[1] = Caption(this, "", false);
  fields->addWidget(unitLabels_[0], 1, 2);
  fields->addWidget(unitLabels_[1], 2, 2);
  for (int row = 0; row < 4; ++row) fields->setRowStretch(row, 1);
  connect(edit1_, &QLineEdit::textEdited, this, [this](const QString& t) { model_.Edit1 = t.toStdString(); });
  connect(edit2_, &QLineEdit::textEdited, this, [this](const QString& t) { model_.Edit2 = t.toStdString(); });

  // Discs.
  checkBox1_ = new QCheckBox("Учитывать влияние дисков", this);
  QFont bold = checkBox1_->font();
  bold.setBold(true);
  checkBox1_->setFont(bold);
  auto* discs = new QVBoxLayout;
  discLabels_[1] = Caption(this, "Число участков с дисками:");
  spinEdit2_ = spin(JestkCount::Discs);
  discs->addLayout(Row({discLabels_[1], nullptr, spinEdit2_}));
  discLabels_[0] = Caption(this, "Номера участков с дисками:");
  discs->addWidget(discLabels_[0]);
  grids_[1] = oneRow(&model_.StringGrid2, 64);
  discs->addWidget(grids_[1]);
  discLabels_[2] = Caption(this, "Ширина дисков:");
  discs->addLayout(withUnit(discLabels_[2], unitLabels_[3], 120));
  grids_[2] = oneRow(&model_.StringGrid3, 64);
  discs->addWidget(grids_[2]);
  discs->addStretch(1);
  bevel3_ = Bevel(this, discs, false);
  auto* discColumn = new QVBoxLayout;
  discColumn->setContentsMargins(0, 0, 0, 0);
  discColumn->setSpacing(2);
  discColumn->addWidget(checkBox1_);
  discColumn->addWidget(bevel3_, 1);
  connect(checkBox1_, &QCheckBox::toggled, this, [this](bool on) {
    model_.SetCheckBox1(on);
    SyncFromModel();
  });

  // Diameters and results.
  auto* sections = new QVBoxLayout;
  sections->addLayout(withUnit(Caption(this, "Диаметры ротора:"), unitLabels_[2], 130));
  grids_[0] = oneRow(&model_.StringGrid1, 64);
  sections->addWidget(grids_[0]);
  sections->addSpacing(8);
  sections->addLayout(withUnit(Caption(this, "Искомая  изгибная жесткость:"), unitLabels_[4], 216));
  grids_[3] = new GridView(this, new StringTableModel(&model_.StringGrid4, 0, 0, false), 80);
  grids_[3]->horizontalHeader()->hide();
  grids_[3]->verticalHeader()->hide();
  grids_[3]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grids_[3]->setFixedHeight(38);
  grids_[3]->SetFitToTexts(true);
  sections->addWidget(grids_[3]);
  sections->addStretch(1);

  bitBtn1_ = BitBtn(this, "Расчет", QSize(120, 36), Glyph::Calculator);
  bitBtn2_ = BitBtn(this, "Передать", QSize(120, 36), Glyph::Ok);
  bitBtn3_ = BitBtn(this, "Вернуться", QSize(120, 36), Glyph::Cancel);
  QHBoxLayout* buttons = Row({bitBtn1_, bitBtn2_, nullptr, bitBtn3_});
  buttons->setSpacing(12);
  buttons->setContentsMargins(8, 0, 0, 0);

  auto* top = new QHBoxLayout;
  top->setSpacing(8);
  top->addWidget(Bevel(this, fields), 1);
  top->addLayout(discColumn, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 12);
  layout->setSpacing(8);
  layout->addLayout(top);
  layout->addWidget(Bevel(this, sections), 1);
  layout->addLayout(buttons);
  resize(680, 410);

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
