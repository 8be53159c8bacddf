#include "input_form.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

#include "form_kit.h"
#include "settings.h"

namespace vp {

TInputForm::TInputForm(TInputFormModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setWindowTitle("Для расчета приняты следующие данные:");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  StyleForm(this);
  setFixedSize(582, 581);

  // Top band: the scalar lines and the support and span grids.
  Bevel(this, QRect(8, 8, 566, 302));
  const char* captions[10] = {"Число опор:",
                              "Число участков,на которые разбит ротор:",
                              "Число собственных частот, подлежащих определению:",
                              "Число вариантов по жесткости опор:",
                              "Число пролетов,на которые разбит ротор:",
                              "Частота начала диапазона поиска собств. частот: ",
                              "Шаг по частоте при поиске k-й частоты:",
                              "Верхняя граница диапазона по частоте:",
                              "Точность вычисления определителя:",
                              "Точность вычисления k-й собственной частоты:"};
  for (int i = 0; i < 10; ++i) {
    Caption(this, captions[i], 16, 14 + 18 * i);
    labels_[i] = Caption(this, QString(), 400, 14 + 18 * i);
  }
  auto oneRow = [this](StringTable* table, int y) {
    auto* grid = new GridView(this, new StringTableModel(table, 0, 0, false), QRect(60, y, 504, 36), 40, false);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette cells = grid->palette();
    cells.setColor(QPalette::Base, kSkyBlue);
    grid->setPalette(cells);
    return grid;
  };
  Caption(this, "Номера сечений,к которым привязаны опоры:", 16, 196);
  Caption(this, "KN = ", 16, 214);
  grids_[0] = oneRow(&model_.StringGrid1, 212);
  Caption(this, "Номера сечений,ограничивающих пролеты справа:", 16, 252);
  Caption(this, "KZ = ", 16, 270);
  grids_[1] = oneRow(&model_.StringGrid2, 268);

  // Section band.
  Bevel(this, QRect(8, 316, 566, 116));
  Caption(this, "Характеристики участков валопровода:", 16, 322);
  grids_[2] = new GridView(this, new StringTableModel(&model_.StringGrid3, 1, 0, false), QRect(112, 340, 452, 86), 60, false);
  grids_[2]->verticalHeader()->hide();
  Caption(this, "Длина (l):", 16, 360);
  Caption(this, "Масса (m):", 16, 378);
  Caption(this, "Жесткость (El):", 16, 396);

  // Stiffness band.
  Bevel(this, QRect(8, 438, 566, 98));
  Caption(this, "Варианты по жесткости опор:", 16, 444);
  grids_[3] = new GridView(this, new StringTableModel(&model_.StringGrid4, 1, 1, false), QRect(16, 462, 548, 68), 70, false);
  // The data as taken show whole.
  for (GridView* grid : grids_) grid->SetFitToTexts(true);

  notes_ = Caption(this, "", 16, 540, false, 550);
  notes_->setObjectName("notes");
  notes_->setStyleSheet("color: rgb(190, 0, 0)");
  bitBtn1_ = BitBtn(this, "Продолжить расчет", QRect(112, 543, 165, 32), Glyph::Ok);
  bitBtn2_ = BitBtn(this, "Повторить ввод", QRect(305, 543, 165, 32), Glyph::Cancel);
  SetTabOrder({grids_[0], grids_[1], grids_[2], grids_[3], bitBtn1_, bitBtn2_});
  connect(bitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
  connect(bitBtn2_, &QPushButton::clicked, this, &QDialog::reject);
}

void TInputForm::Fill() {
  for (int i = 0; i < 10; ++i) {
    labels_[i]->setText(QString::fromStdString(model_.Labels[i]));
    labels_[i]->adjustSize();
  }
  for (GridView* grid : grids_) grid->Refresh();
  // The notes between the grids and the buttons, the window grown by them.
  QStringList notes;
  for (const std::string& note : model_.Notes) notes << QString::fromStdString(note);
  notes_->setText(notes.join('\n'));
  notes_->adjustSize();
  notes_->setVisible(!notes.isEmpty());
  const int grown = notes.isEmpty() ? 0 : notes_->height() + 6;
  for (QPushButton* button : {bitBtn1_, bitBtn2_}) button->move(button->x(), 543 + grown);
  setFixedSize(582, 581 + grown);
  bitBtn1_->setFocus();
}

bool TInputForm::Confirm() {
  Fill();
  RestoreGeometry(this, "echo", true);
  if (parentWidget()) CentreOn(this, parentWidget()->geometry());
  return exec() == QDialog::Accepted;
}

}  // namespace vp
