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

#include "chart_kit.h"
#include "chart_printing.h"
#include "form_kit.h"
#include "map_axes.h"
#include "report_printing.h"
#include "settings.h"

namespace vp {

// The shaft drawn above the chart, to the chart's scale along x.
class ShaftView : public QWidget {
 public:
  ShaftView(const TNewFormModel& model, QWidget* parent) : QWidget(parent), model_(model) {}
  // x of cross-section 0 and of the shaft's end in this widget.
  void SetSpan(double left, double right) {
    left_ = left;
    right_ = right;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!(right_ > left_)) return;
    QPainter painter(this);
    PaintShaft(painter, QRectF(left_, 2, right_ - left_, height() - 4), model_.shaft, 1);
  }

 private:
  const TNewFormModel& model_;
  double left_ = 0, right_ = 0;
};

TNewForm::TNewForm(TNewFormModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setWindowTitle("Формы Колебаний");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  StyleForm(this, 10);
  setFixedSize(645, 446);

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

  Bevel(this, QRect(8, 128, 625, 301));
  label2_ = Caption(this, QString::fromStdString(model_.Label2), 143, 130);
  label3_ = Caption(this, QString::fromStdString(model_.Label3), 371, 130);
  Caption(this, "Форма колебаний:", 143, 143);
  label7_ = Caption(this, QString(), 371, 143);

  image_ = new QLabel(this);
  image_->setGeometry(143, 216, 326, 202);
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
  UseTableNumbers(chart_);
  chart_->setBackgroundBrush(QColor(183, 183, 255));
  chart_->setPlotAreaBackgroundVisible(false);
  chart_->setMargins(QMargins(2, 2, 2, 2));
  chart_->setBackgroundRoundness(0);
  chart_->layout()->setContentsMargins(0, 0, 0, 0);
  chartView_ = new QChartView(chart_, this);
  chartView_->setFrameShape(QFrame::NoFrame);
  chartView_->setRenderHint(QPainter::Antialiasing);
  chartView_->setGeometry(143, 216, 325, 203);
  shaftView_ = new ShaftView(model_, this);
  shaftView_->setGeometry(143, 158, 325, 56);
  connect(chart_, &QChart::plotAreaChanged, this, [this] { PlaceShaft(); });

  label8_ = Caption(this, QString(), 476, 158, false, 150);

  bitBtn1_ = BitBtn(this, "Следующая частота", QRect(493, 288, 130, 39), Glyph::Next);
  noMore_ = new QCheckBox("Больше не показывать", this);
  noMore_->setGeometry(493, 330, 134, 20);
  bitBtn3_ = BitBtn(this, "Печать графика", QRect(493, 354, 130, 34), Glyph::Print);
  pdfButton_ = BitBtn(this, "Сохранить в PDF", QRect(493, 392, 130, 30), Glyph::Save);
  SetTabOrder({grid_, chartView_, bitBtn1_, noMore_, bitBtn3_, pdfButton_});
  connect(bitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
  for (auto [button, target] : {std::pair{bitBtn3_, PrintTarget::Printer}, std::pair{pdfButton_, PrintTarget::Pdf}})
    connect(button, &QPushButton::clicked, this, [this, target] {
      RunReporting(this, [&] {
        if (printChart_) printChart_(*this, target);
      });
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
  double yMin = 0, yMax = 0, xMax = model_.Series1.empty() ? 1 : model_.Series1.back().x;
  for (const ChartPoint& p : model_.Series1) {
    points.append(QPointF(p.x, p.y));
    yMin = std::min(yMin, p.y);
    yMax = std::max(yMax, p.y);
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
    // The shaft's length exactly, ticked at round steps, so that the drawing
    // above spans the whole axis.
    const double xMin = model_.Series1.empty() ? 0 : model_.Series1.front().x;
    if (!(xMax > xMin)) xMax = xMin + 1;
    horizontal.first()->setRange(xMin, xMax);
    if (auto* axis = qobject_cast<QValueAxis*>(horizontal.first())) {
      const AxisTicks ticks = RoundTicks(xMin, xMax, 6);
      axis->setTickType(QValueAxis::TicksDynamic);
      axis->setTickAnchor(ticks.low);
      axis->setTickInterval(ticks.step);
      axis->setLabelFormat(QString::fromStdString(AxisLabelFormat(std::max(std::fabs(xMin), std::fabs(xMax)), ticks.step)));
    }
  }
  if (!vertical.isEmpty()) {
    const double pad = (yMax - yMin) * 0.05 + (yMax == yMin ? 1 : 0);
    vertical.first()->setRange(yMin - pad, yMax + pad);
    if (auto* axis = qobject_cast<QValueAxis*>(vertical.first())) axis->applyNiceNumbers();
  }
  PlaceShaft();
}

void TNewForm::PlaceShaft() {
  // The chart's scene is the view's, untransformed.
  const double left = chart_->mapToPosition(QPointF(0, 0), series_).x();
  const double right = chart_->mapToPosition(QPointF(model_.shaft.length, 0), series_).x();
  shaftView_->SetSpan(left, right);
}

QWidget* TNewForm::ShaftDrawingView() const { return shaftView_; }

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
  RestoreGeometry(this, "modeShape", true);
  if (parentWidget()) CentreOn(this, parentWidget()->geometry());
  exec();
  series_->clear();
  series2_->clear();
  return !noMore_->isChecked();
}

}  // namespace vp
