#include "output_form.h"

#include <QHeaderView>
#include <QLabel>

#include "form_kit.h"

namespace vp {

namespace {

QLabel* Title(QWidget* parent, const QString& text, int x, int y, bool visible = true) {
  QLabel* label = Caption(parent, text, x, y);
  QFont font = label->font();
  font.setPixelSize(11);
  label->setFont(font);
  label->adjustSize();
  label->setVisible(visible);
  return label;
}

}  // namespace

TOutputForm::TOutputForm(ResultsTables& tables, QWidget* parent) : QDialog(parent), tables_(tables) {
  setWindowTitle("Результаты расчета:");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  StyleForm(this, 10);
  resize(638, 569);

  Bevel(this, QRect(8, 0, 625, 97));
  Bevel(this, QRect(8, 104, 625, 81));
  Bevel(this, QRect(8, 192, 625, 273));

  grids_[0] = new GridView(this, new StringTableModel(&tables_.StringGrid1, 1, 1, false), QRect(17, 22, 608, 70), 70, false);
  Title(this, "Значения собственных частот:", 16, 3);

  Title(this, "Номер уч-ка:", 16, 114);
  Title(this, "Координата уч-ка:", 8, 133);
  grids_[1] = new GridView(this, new StringTableModel(&tables_.StringGrid2, 0, 0, false), QRect(128, 113, 497, 56), 60, false);
  grids_[1]->horizontalHeader()->hide();
  grids_[1]->verticalHeader()->hide();

  Title(this, "Кинематические и динамические параметры:", 24, 202);
  grids_[2] = new GridView(this, new StringTableModel(&tables_.StringGrid3, 1, 2, false), QRect(17, 224, 608, 235), 85, false);
  QFont gridFont = FormFont();
  gridFont.setPixelSize(10);
  grids_[2]->setFont(gridFont);

  // Filled by the solver and read by the export; never shown.
  grids_[3] = new GridView(this, new StringTableModel(&tables_.StringGrid4, 0, 0, false), QRect(512, 432, 121, 73), 100);
  grids_[4] = new GridView(this, new StringTableModel(&tables_.StringGrid5, 0, 0, false), QRect(514, 13, 88, 71), 100);
  grids_[3]->hide();
  grids_[4]->hide();
  Title(this, "RX:", 490, 450, false);

  bitBtn3_ = BitBtn(this, "Печать", QRect(65, 491, 105, 41), Glyph::Print);
  bitBtn2_ = BitBtn(this, "Повторить расчет", QRect(180, 491, 121, 41), Glyph::Retry);
  bitBtn4_ = PlainButton(this, "Импортировать в Excel", QRect(312, 491, 131, 41));
  bitBtn1_ = BitBtn(this, "Выход", QRect(454, 491, 138, 41), Glyph::Exit);

  connect(bitBtn3_, &QPushButton::clicked, this, [this] { Run(print_); });
  connect(bitBtn4_, &QPushButton::clicked, this, [this] { Run(export_); });
  connect(bitBtn2_, &QPushButton::clicked, this, &QDialog::reject);
  connect(bitBtn1_, &QPushButton::clicked, this, [this] {
    reject();
    if (mainWindow_) mainWindow_->close();
  });
}

void TOutputForm::Run(const std::function<void(TOutputForm&)>& handler) {
  try {
    if (handler) handler(*this);
  } catch (const std::exception& e) {
    ReportError(this, e);
  }
}

void TOutputForm::Refresh() {
  for (int i = 0; i < 3; ++i) grids_[i]->Refresh(true);
  grids_[3]->Refresh();
  grids_[4]->Refresh();
  bitBtn2_->setFocus();
}

void TOutputForm::ShowResults() {
  Refresh();
  if (mainWindow_) move(mainWindow_->geometry().center() - rect().center());
  exec();
}

}  // namespace vp
