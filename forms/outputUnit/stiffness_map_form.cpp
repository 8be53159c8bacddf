#include "stiffness_map_form.h"

#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "chart_printing.h"
#include "form_kit.h"
#include "glyph_buttons.h"
#include "message_box.h"
#include "chart_kit.h"
#include "messages.h"
#include "settings.h"

namespace vp {

namespace {

QString WithStop(const std::string& text) {
  const QString s = QString::fromStdString(text);
  return s.endsWith('.') ? s : s + '.';
}

QString Sentence(const std::string& text) {
  QString s = WithStop(text);
  s[0] = s[0].toUpper();
  return s;
}

}  // namespace

TStiffnessMapForm::TStiffnessMapForm(StiffnessMapModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setWindowTitle("Карта критических скоростей");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
  StyleForm(this);
  resize(1040, 640);
  setMinimumSize(860, 520);

  view_ = new QChartView(this);
  view_->setRenderHint(QPainter::Antialiasing);
  chart_ = NewMapChart(view_, "Карта критических скоростей");

  auto* panel = new QWidget(this);
  panel->setFixedWidth(290);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(Caption(panel, "Жесткость опор:"));
  auto* fields = new QFormLayout;
  low_ = new QLineEdit(panel);
  high_ = new QLineEdit(panel);
  points_ = new QLineEdit(panel);
  fields->addRow("от:", low_);
  fields->addRow("до:", high_);
  fields->addRow("Число точек:", points_);
  unit_ = FrequencyUnitBox(panel, "units/stiffnessMap");
  fields->addRow("Ось частот:", unit_);
  column->addLayout(fields);
  QLabel* about = Caption(panel,
                          "Собственные частоты непрерывной модели вала, когда у всех опор одна жесткость; "
                          "линия № n - n-я частота. Точки на линиях - варианты расчета, у которых жесткости "
                          "всех опор равны.",
                          false, 290);
  column->addWidget(about);
  notice_ = Caption(panel, "", false, 290);
  QPalette red = notice_->palette();
  red.setColor(QPalette::WindowText, QColor(160, 0, 0));
  notice_->setPalette(red);
  column->addWidget(notice_);
  column->addWidget(Caption(panel, "Варианты расчета:"));
  variants_ = Caption(panel, "", false, 290);
  variants_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  column->addWidget(variants_);
  column->addStretch(1);
  auto* buttons = new QGridLayout;
  print_button_ = BitBtn(panel, "Печать карты", QSize(138, 41), Glyph::Print);
  pdf_button_ = BitBtn(panel, "Сохранить в PDF", QSize(138, 41), Glyph::Save);
  close_ = BitBtn(panel, "Закрыть", QSize(138, 41), Glyph::Ok);
  buttons->addWidget(print_button_, 0, 0);
  buttons->addWidget(pdf_button_, 0, 1);
  buttons->addWidget(close_, 1, 1);
  column->addLayout(buttons);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(view_, 1);
  layout->addWidget(panel);

  SetTabOrder({low_, high_, points_, unit_, print_button_, pdf_button_, close_, view_});
  connect(unit_, &QComboBox::currentIndexChanged, this, [this] { Draw(); });
  for (QLineEdit* edit : {low_, high_, points_}) connect(edit, &QLineEdit::textEdited, this, [this] { FieldsEdited(); });
  for (auto [button, target] : {std::pair{print_button_, PrintTarget::Printer}, std::pair{pdf_button_, PrintTarget::Pdf}})
    connect(button, &QPushButton::clicked, this, [this, target] {
      RunReporting(this, [&] {
        if (print_) print_(*this, target);
      });
    });
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
  model_.SetOnDrawn([this] {
    Draw();
    ShowNotice();
  });
}

TStiffnessMapForm::~TStiffnessMapForm() {
  DisconnectControls(this);
  model_.SetOnDrawn({});
  model_.StopComputing();
}

void TStiffnessMapForm::Fill() {
  low_->setText(QString::fromStdString(model_.lowText));
  high_->setText(QString::fromStdString(model_.highText));
  points_->setText(QString::fromStdString(model_.pointsText));
  Draw();
  ShowNotice();
}

void TStiffnessMapForm::ShowMap() {
  Fill();
  model_.ResumeComputing();
  RestoreGeometry(this, "stiffnessMap", true);
  if (parentWidget()) CentreOn(this, parentWidget()->geometry());
  low_->setFocus();
  exec();
}

void TStiffnessMapForm::done(int result) {
  // The range stays asked for: the model's Settle() or the next ShowMap() computes it.
  model_.StopComputing();
  QDialog::done(result);
}

void TStiffnessMapForm::FieldsEdited() {
  model_.lowText = low_->text().toStdString();
  model_.highText = high_->text().toStdString();
  model_.pointsText = points_->text().toStdString();
  model_.Edited();
  ShowNotice();
}

void TStiffnessMapForm::ShowNotice() {
  QStringList lines;
  if (!model_.Message().empty())
    lines << Sentence(model_.Message()) + " Карта показана для прежнего диапазона.";
  else if (model_.Pending())
    lines << "Карта строится...";
  const StiffnessMapChart& map = model_.Chart();
  if (map.problem) lines << "Карта не построена: " + WithStop(Message(*map.problem));
  if (map.problem && map.problem->code == ErrorCode::MapNoPositiveStiffness && model_.Message().empty())
    lines << "Задайте диапазон жесткости опор.";
  notice_->setText(lines.join('\n'));
  notice_->setVisible(!lines.isEmpty());

  QStringList variants;
  for (const std::string& line : StiffnessMapVariantLines(map, model_.DecimalSeparator()))
    variants << QString::fromStdString(line);
  variants_->setText(variants.join('\n'));
}

void TStiffnessMapForm::Draw() {
  chart_ = NewMapChart(view_, "Карта критических скоростей");
  const StiffnessMapChart& map = model_.Chart();
  print_button_->setEnabled(map.Drawn());
  pdf_button_->setEnabled(map.Drawn());
  if (map.Drawn()) ShowPlot(chart_, StiffnessMapPlot(map, UnitOf(unit_), model_.ReportFactor(), model_.DecimalSeparator()));
  emit Drawn();
}

QStringList TStiffnessMapForm::PrintHeading() const {
  const char sep = model_.DecimalSeparator();
  return StiffnessMapHeading(model_.Shaft(), QString::fromStdString(StiffnessMapRangeLine(model_.Chart().range, sep)), sep);
}

}  // namespace vp
