#include "mode_shape_form.h"

#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QGridLayout>
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
#include "glyph_buttons.h"
#include "grid_view.h"
#include "map_axes.h"
#include "message_box.h"
#include "plot_painter.h"
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
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
  StyleForm(this, 10);

  // The table: its row captions level with its rows.
  grid_ = new GridView(this, new StringTableModel(&model_.StringGrid3, 0, 0, false), 60, false);
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->SetFitToTexts(true);
  grid_->setFixedHeight(55);
  QPalette cells = grid_->palette();
  cells.setColor(QPalette::Base, kSkyBlue);
  grid_->setPalette(cells);
  auto* rowCaptions = new QVBoxLayout;
  rowCaptions->setSpacing(0);
  for (const char* caption : {"№ участка:", "Смещение (X):"}) {
    QLabel* label = Caption(this, caption);
    label->setFixedHeight(18);
    label->setMinimumWidth(80);
    rowCaptions->addWidget(label);
  }
  rowCaptions->addStretch(1);
  auto* table = new QHBoxLayout;
  table->addLayout(rowCaptions);
  table->addWidget(grid_, 1);

  // The chart under its headings and the shaft, the buttons beside it.
  label2_ = Caption(this, QString::fromStdString(model_.Label2));
  label3_ = Caption(this, QString::fromStdString(model_.Label3));
  label7_ = Caption(this, QString());
  auto* headings = new QGridLayout;
  headings->setSpacing(0);
  headings->setColumnMinimumWidth(0, 228);
  headings->setColumnStretch(2, 1);
  headings->addWidget(label2_, 0, 0);
  headings->addWidget(label3_, 0, 1);
  headings->addWidget(Caption(this, "Форма колебаний:"), 1, 0);
  headings->addWidget(label7_, 1, 1);

  image_ = new QLabel(this);  // under the chart, covered by it
  image_->setGeometry(0, 0, 326, 202);
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
  chartView_->setMinimumSize(260, 160);
  image_->stackUnder(chartView_);
  shaftView_ = new ShaftView(model_, this);
  shaftView_->setFixedHeight(56);
  connect(chart_, &QChart::plotAreaChanged, this, [this] { PlaceShaft(); });
  auto* drawing = new QVBoxLayout;
  drawing->setSpacing(2);
  drawing->addLayout(headings);
  drawing->addWidget(shaftView_);
  drawing->addWidget(chartView_, 1);

  label8_ = Caption(this, QString(), false, 150);
  label8_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  bitBtn1_ = BitBtn(this, "Следующая частота", QSize(130, 39), Glyph::Next);
  noMore_ = new QCheckBox("Больше не показывать", this);
  bitBtn3_ = BitBtn(this, "Печать графика", QSize(130, 34), Glyph::Print);
  pdfButton_ = BitBtn(this, "Сохранить в PDF", QSize(130, 30), Glyph::Save);
  auto* side = new QVBoxLayout;
  side->addWidget(label8_);
  side->addStretch(1);
  for (QWidget* control : std::initializer_list<QWidget*>{bitBtn1_, noMore_, bitBtn3_, pdfButton_})
    side->addWidget(control, 0, Qt::AlignRight);

  auto* chartBand = new QHBoxLayout;
  chartBand->setSpacing(8);
  chartBand->addLayout(drawing, 1);
  chartBand->addLayout(side);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 16, 12, 17);
  layout->setSpacing(15);
  QFrame* tableFrame = Bevel(this, table);
  QFrame* chartFrame = Bevel(this, chartBand);
  table->setContentsMargins(2, 18, 10, 22);
  chartBand->setContentsMargins(127, 2, 10, 10);  // the chart where it always stood, right of the captions above
  layout->addWidget(tableFrame);
  layout->addWidget(chartFrame, 1);
  resize(645, 446);

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
