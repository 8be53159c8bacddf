#include "echo_form.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

#include "form_kit.h"
#include "glyph_buttons.h"
#include "grid_view.h"
#include "settings.h"

namespace vp {

TInputForm::TInputForm(TInputFormModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setWindowTitle("Для расчета приняты следующие данные:");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
  StyleForm(this);

  // Top band: the scalar lines and the support and span grids.
  auto* lines = new QGridLayout;
  lines->setContentsMargins(0, 0, 0, 0);
  lines->setVerticalSpacing(4);
  lines->setColumnMinimumWidth(0, 384);  // the values in one column at the default width
  lines->setColumnStretch(1, 1);
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
    lines->addWidget(Caption(this, captions[i]), i, 0);
    labels_[i] = Caption(this, QString());
    lines->addWidget(labels_[i], i, 1);
  }
  auto oneRow = [this](StringTable* table) {
    auto* grid = new GridView(this, new StringTableModel(table, 0, 0, false), 40, false);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setFixedHeight(36);  // the row and a scroll bar under it
    QPalette cells = grid->palette();
    cells.setColor(QPalette::Base, kSkyBlue);
    grid->setPalette(cells);
    return grid;
  };
  auto numbered = [this](const char* prefix, GridView* grid) {
    auto* row = new QHBoxLayout;
    QLabel* label = Caption(this, prefix);
    label->setFixedWidth(44);
    row->addWidget(label, 0, Qt::AlignTop);
    row->addWidget(grid, 1);
    return row;
  };
  auto* top = new QVBoxLayout;
  top->addLayout(lines);
  top->addSpacing(4);
  top->addWidget(Caption(this, "Номера сечений,к которым привязаны опоры:"));
  grids_[0] = oneRow(&model_.StringGrid1);
  top->addLayout(numbered("KN = ", grids_[0]));
  top->addSpacing(4);
  top->addWidget(Caption(this, "Номера сечений,ограничивающих пролеты справа:"));
  grids_[1] = oneRow(&model_.StringGrid2);
  top->addLayout(numbered("KZ = ", grids_[1]));

  // Section band: the row captions level with the grid's rows.
  grids_[2] = new GridView(this, new StringTableModel(&model_.StringGrid3, 1, 0, false), 60, false);
  grids_[2]->verticalHeader()->hide();
  grids_[2]->setFixedHeight(88);  // the header, three rows and a scroll bar
  auto* rowCaptions = new QVBoxLayout;
  rowCaptions->setSpacing(0);
  rowCaptions->addSpacing(18);
  for (const char* caption : {"Длина (l):", "Масса (m):", "Жесткость (El):"}) {
    QLabel* label = Caption(this, caption);
    label->setFixedHeight(18);
    label->setMinimumWidth(92);  // the grid where it stood at the default width
    rowCaptions->addWidget(label);
  }
  rowCaptions->addStretch(1);
  auto* sectionRow = new QHBoxLayout;
  sectionRow->addLayout(rowCaptions);
  sectionRow->addWidget(grids_[2], 1);
  auto* sections = new QVBoxLayout;
  sections->addWidget(Caption(this, "Характеристики участков валопровода:"));
  sections->addLayout(sectionRow);

  // Stiffness band.
  grids_[3] = new GridView(this, new StringTableModel(&model_.StringGrid4, 1, 1, false), 70, false);
  grids_[3]->setMinimumHeight(58);
  auto* stiffness = new QVBoxLayout;
  stiffness->addWidget(Caption(this, "Варианты по жесткости опор:"));
  stiffness->addWidget(grids_[3], 1);
  // The data as taken show whole.
  for (GridView* grid : grids_) grid->SetFitToTexts(true);

  notes_ = Caption(this, "", false);
  notes_->setWordWrap(true);
  notes_->setObjectName("notes");
  notes_->setStyleSheet("color: rgb(190, 0, 0)");
  notes_->hide();
  bitBtn1_ = BitBtn(this, "Продолжить расчет", QSize(165, 32), Glyph::Ok);
  bitBtn2_ = BitBtn(this, "Повторить ввод", QSize(165, 32), Glyph::Cancel);
  QHBoxLayout* buttons = Row({nullptr, bitBtn1_, bitBtn2_, nullptr});
  buttons->setSpacing(28);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 6);
  layout->setSpacing(6);
  layout->addWidget(Bevel(this, top));
  layout->addWidget(Bevel(this, sections));
  layout->addWidget(Bevel(this, stiffness), 1);
  layout->addWidget(notes_);
  layout->addLayout(buttons);
  resize(582, 581);

  SetTabOrder({grids_[0], grids_[1], grids_[2], grids_[3], bitBtn1_, bitBtn2_});
  connect(bitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
  connect(bitBtn2_, &QPushButton::clicked, this, &QDialog::reject);
}

void TInputForm::Fill() {
  for (int i = 0; i < 10; ++i) labels_[i]->setText(QString::fromStdString(model_.Labels[i]));
  for (GridView* grid : grids_) grid->Refresh();
  // The notes between the grids and the buttons; the window grows where they need the room.
  QStringList notes;
  for (const std::string& note : model_.Notes) notes << QString::fromStdString(note);
  notes_->setText(notes.join('\n'));
  notes_->setVisible(!notes.isEmpty());
  bitBtn1_->setFocus();
}

bool TInputForm::Confirm() {
  Fill();
  RestoreGeometry(this, "echo", true);
  if (parentWidget()) CentreOn(this, parentWidget()->geometry());
  return exec() == QDialog::Accepted;
}

}  // namespace vp
