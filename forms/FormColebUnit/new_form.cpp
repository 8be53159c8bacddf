#include "new_form.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QHeaderView>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPixmap>
#include <QGraphicsLayout>
#include <QValueAxis>

#include "chart_printing.h"
#include "form_kit.h"

namespace vp {

TNewForm::TNewForm(TNewFormModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setWindowTitle("Формы Колебаний");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  StyleForm(this, 10);
  setFixedSize(645, 386);

  Bevel(this, QRect(8, 16, 625, 97));
  Caption(this, "№ участка:", 10, 36);
  Caption(this, "Смещение (X):", 10, 54);
  grid_ = new GridView(this, new StringTableModel(&model_.StringGrid3, 0, 0, false), QRect(96, 34, 525, 55), 60, false);
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->SetFitToTexts(true);
  QPalette cells = grid_->palette();
  cells.setColor(QPalette::Base, kSkyBlue);
  grid_->setPalette(cells);

  Bevel(this, QRect(8, 128, 625, 241));
  label2_ = Caption(this, QString::fromStdString(model_.Label2), 143, 130);
  label3_ = Caption(this, QString::fromStdString(model_.Label3), 371, 130);
  Caption(this, "Форма колебаний:", 143, 143);
  label7_ = Caption(this, QString(), 371, 143);

  image_ = new QLabel(this);
  image_->setGeometry(143, 156, 326, 202);
  QPixmap blank(326, 202);
  blank.fill(kSkyBlue);
  image_->setPixmap(blank);

  series_ = new QLineSeries;
  series_->setName("Смещение");
  series_->setColor(QColor(255, 0, 0));
  series_->setPointsVisible(false);
  series2_ = new QLineSeries;
  series2_->setName("Непрерывная модель");
  series2_->setPen(QPen(Qt::blue, 1.5, Qt::DashLine));
  chart_ = new QChart;
  chart_->addSeries(series_);
  chart_->addSeries(series2_);
  chart_->createDefaultAxes();
  chart_->setTitle("TChart");
  chart_->setBackgroundBrush(QColor(183, 183, 255));
  chart_->setPlotAreaBackgroundVisible(false);
  chart_->setMargins(QMargins(2, 2, 2, 2));
  chart_->setBackgroundRoundness(0);
  chart_->layout()->setContentsMargins(0, 0, 0, 0);
  chartView_ = new QChartView(chart_, this);
  chartView_->setFrameShape(QFrame::NoFrame);
  chartView_->setRenderHint(QPainter::Antialiasing);
  chartView_->setGeometry(143, 156, 325, 203);

  label8_ = Caption(this, QString(), 476, 158, false, 150);

  bitBtn1_ = BitBtn(this, "Следующая частота", QRect(493, 228, 130, 39), Glyph::Next);
  noMore_ = new QCheckBox("Больше не показывать", this);
  noMore_->setGeometry(493, 270, 134, 20);
  bitBtn3_ = BitBtn(this, "Печать графика", QRect(493, 294, 130, 34), Glyph::Print);
  pdfButton_ = BitBtn(this, "Сохранить в PDF", QRect(493, 332, 130, 30), Glyph::Save);
  SetTabOrder({grid_, chartView_, bitBtn1_, noMore_, bitBtn3_, pdfButton_});
  connect(bitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
  for (auto [button, target] : {std::pair{bitBtn3_, PrintTarget::Printer}, std::pair{pdfButton_, PrintTarget::Pdf}})
    connect(button, &QPushButton::clicked, this, [this, target] {
      try {
        if (printChart_) printChart_(*this, target);
      } catch (const std::exception& e) {
        ReportError(this, e);
      }
    });
}

void TNewForm::Fill() {
  grid_->Refresh();
  bitBtn1_->setFocus();
  label2_->setText(QString::fromStdString(model_.Label2));
  label2_->adjustSize();
  label3_->setText(QString::fromStdString(model_.Label3));
  label3_->adjustSize();
  label7_->setText(QString::fromStdString(model_.Label7));
  label7_->adjustSize();
  series_->clear();
  QList<QPointF> points;
  points.reserve(static_cast<int>(model_.Series1.size()));
  double yMin = 0, yMax = 0, xMax = 1;
  for (const ChartPoint& p : model_.Series1) {
    points.append(QPointF(p.x, p.y));
    yMin = std::min(yMin, p.y);
    yMax = std::max(yMax, p.y);
    xMax = std::max(xMax, p.x);
  }
  series_->replace(points);
  if (!model_.Series1.empty()) series_->setColor(QColor::fromRgb(model_.Series1.front().color));
  QList<QPointF> continuous;
  for (const ChartPoint& p : model_.Series2) {
    continuous.append(QPointF(p.x, p.y));
    yMin = std::min(yMin, p.y);
    yMax = std::max(yMax, p.y);
  }
  series2_->replace(continuous);
  if (!model_.Series2.empty()) series2_->setColor(QColor::fromRgb(model_.Series2.front().color));
  for (QLegendMarker* marker : chart_->legend()->markers(series2_)) marker->setVisible(!continuous.isEmpty());
  label8_->setText(QString::fromStdString(model_.Label8));
  label8_->adjustSize();
  const auto horizontal = chart_->axes(Qt::Horizontal);
  const auto vertical = chart_->axes(Qt::Vertical);
  if (!horizontal.isEmpty()) {
    horizontal.first()->setRange(model_.Series1.empty() ? 0 : model_.Series1.front().x, xMax);
    if (auto* axis = qobject_cast<QValueAxis*>(horizontal.first())) {
      axis->applyNiceNumbers();
      axis->setLabelFormat("%g");
    }
  }
  if (!vertical.isEmpty()) {
    const double pad = (yMax - yMin) * 0.05 + (yMax == yMin ? 1 : 0);
    vertical.first()->setRange(yMin - pad, yMax + pad);
    if (auto* axis = qobject_cast<QValueAxis*>(vertical.first())) axis->applyNiceNumbers();
  }
}

QImage TNewForm::CaptureChart() {
  // The chart's own bounds, not a fixed rectangle of the window, which would
  // cut the chart and take in part of the buttons.
  const QImage picture = chartView_->grab().toImage().scaled(kChartPictureSize, Qt::IgnoreAspectRatio,
                                                            Qt::SmoothTransformation);
  image_->setPixmap(QPixmap::fromImage(picture));
  return picture;
}

bool TNewForm::ShowModeShape(const TNewFormModel& /*form*/) {
  Fill();
  noMore_->setChecked(false);
  if (parentWidget()) CentreOn(this, parentWidget()->geometry());
  exec();
  series_->clear();
  series2_->clear();
  return !noMore_->isChecked();
}

}  // namespace vp
