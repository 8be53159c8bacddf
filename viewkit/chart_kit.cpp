#include "chart_kit.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "settings.h"

namespace vp {

QAbstractAxis* AxisOf(const PlotAxis& plot) {
  if (plot.log) {
    auto* axis = new QLogValueAxis;
    axis->setBase(10);
    axis->setTitleText(QString::fromStdString(plot.title));
    axis->setLabelFormat(QString::fromStdString(AxisLabelFormat(plot.high, plot.low)));
    // A hair beyond the powers of ten at the ends, so that rounding in their
    // logarithms drops neither label.
    axis->setRange(plot.low * (1 - 1e-9), plot.high * (1 + 1e-9));
    // 2, 3, ... 9 between the powers of ten while they are few enough to tell apart.
    axis->setMinorTickCount(std::log10(plot.high / plot.low) <= 6.5 ? 8 : 0);
    return axis;
  }
  auto* axis = new QValueAxis;
  axis->setTitleText(QString::fromStdString(plot.title));
  axis->setRange(plot.low, plot.high);
  if (plot.ticks.size() >= 2) {
    const double first = plot.ticks.front().value, last = plot.ticks.back().value;
    const double step = plot.ticks[1].value - first;
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(first);
    axis->setTickInterval(step);
    axis->setLabelFormat(QString::fromStdString(AxisLabelFormat(std::max(std::fabs(first), std::fabs(last)), step)));
  }
  axis->setMinorTickCount(0);
  return axis;
}

QChart* NewMapChart(QChartView* view, const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->setBackgroundRoundness(0);
  chart->legend()->hide();
  UseTableNumbers(chart);
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
  return chart;
}

namespace {

constexpr double kSample = 22, kGap = 4, kSpacing = 14, kSide = 10, kBottom = 8;

// A mark of the given shape, `size` across, centred on `at`.
void PaintMark(QPainter* painter, int shape, QPointF at, double size) {
  const double r = size / 2;
  auto polygon = [&](int corners, double inner) {
    QPolygonF points;
    const int n = inner > 0 ? 2 * corners : corners;
    for (int i = 0; i < n; ++i) {
      const double angle = 2 * std::numbers::pi * i / n, radius = inner > 0 && i % 2 ? inner * r : r;
      points << at + QPointF(radius * std::sin(angle), -radius * std::cos(angle));
    }
    painter->drawPolygon(points);
  };
  switch (shape) {
    case QScatterSeries::MarkerShapeCircle: painter->drawEllipse(at, r, r); break;
    case QScatterSeries::MarkerShapeRectangle: painter->drawRect(QRectF(at - QPointF(r, r), QSizeF(size, size))); break;
    case QScatterSeries::MarkerShapeRotatedRectangle: polygon(4, 0); break;
    case QScatterSeries::MarkerShapeTriangle: polygon(3, 0); break;
    case QScatterSeries::MarkerShapeStar: polygon(5, 0.45); break;
    default: polygon(5, 0); break;
  }
}

}  // namespace

WrappingLegend::WrappingLegend(QChart* chart, const QFont& font)
    : QGraphicsObject(chart), chart_(chart), font_(font), margins_(chart->margins()) {
  // In pixels of the scene, so that a page the scene is printed on scales it as it scales the rest.
  font_.setPixelSize(QFontInfo(font).pixelSize());
  for (QAbstractSeries* series : chart->series()) {
    if (series->name().isEmpty()) continue;
    Entry entry{series->name(), Qt::NoPen};
    if (auto* marks = qobject_cast<QScatterSeries*>(series)) {
      entry.shape = marks->markerShape();
      entry.colour = marks->color();
    } else if (auto* line = qobject_cast<QXYSeries*>(series)) {
      entry.pen = line->pen();
      entry.pen.setWidthF(std::min(entry.pen.widthF(), 2.0));
      entry.dot = line->pointsVisible();
      entry.colour = entry.pen.color();
    }
    entries_.push_back(entry);
  }
  setZValue(10);
  connect(chart, &QGraphicsWidget::geometryChanged, this, [this] { Arrange(); });
  Arrange();
}

QStringList WrappingLegend::Labels() const {
  QStringList labels;
  for (const Entry& entry : entries_) labels << entry.text;
  return labels;
}

QList<QColor> WrappingLegend::Colours() const {
  QList<QColor> colours;
  for (const Entry& entry : entries_) colours << entry.colour;
  return colours;
}

void WrappingLegend::Arrange() {
  const QFontMetricsF metrics(font_);
  const double available = std::max(1.0, chart_->size().width() - 2 * kSide), rowHeight = metrics.height() + 2;
  std::vector<double> widths;
  for (const Entry& entry : entries_) widths.push_back(kSample + kGap + metrics.horizontalAdvance(entry.text) + kSpacing);
  const std::vector<std::vector<size_t>> rows = LegendRows(widths, available + kSpacing);
  places_.assign(entries_.size(), QPointF());
  for (size_t r = 0; r < rows.size(); ++r) {
    double width = -kSpacing;
    for (size_t i : rows[r]) width += widths[i];
    double x = std::max(0.0, (available - width) / 2);  // each row centred
    for (size_t i : rows[r]) {
      places_[i] = QPointF(x, r * rowHeight);
      x += widths[i];
    }
  }
  prepareGeometryChange();
  size_ = QSizeF(available, rows.size() * rowHeight);
  setPos(kSide, chart_->size().height() - kBottom - size_.height());
  QMargins margins = margins_;
  margins.setBottom(margins_.bottom() + static_cast<int>(std::ceil(size_.height())));
  if (chart_->margins() != margins) chart_->setMargins(margins);
}

void WrappingLegend::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  const QFontMetricsF metrics(font_);
  const double middle = (metrics.height() + 2) / 2;
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setFont(font_);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    const QPointF at = places_[i];
    painter->setBrush(entry.colour);
    if (entry.pen.style() == Qt::NoPen) {
      painter->setPen(QPen(entry.colour.darker(), 1));
      PaintMark(painter, entry.shape, at + QPointF(kSample / 2, middle), 8);
    } else {
      painter->setPen(entry.pen);
      painter->drawLine(at + QPointF(0, middle), at + QPointF(kSample, middle));
      painter->setPen(Qt::NoPen);
      if (entry.dot) painter->drawEllipse(at + QPointF(kSample / 2, middle), 2.5, 2.5);
    }
    painter->setPen(chart_->legend()->labelColor());
    painter->drawText(at + QPointF(kSample + kGap, middle + (metrics.ascent() - metrics.descent()) / 2), entry.text);
  }
}

WrappingLegend* ShowWrappingLegend(QChart* chart) {
  delete LegendOf(chart);
  return new WrappingLegend(chart, chart->legend()->font());
}

WrappingLegend* LegendOf(const QChart* chart) {
  for (QGraphicsItem* item : chart->childItems())
    if (auto* legend = dynamic_cast<WrappingLegend*>(item)) return legend;
  return nullptr;
}

void ShowPlot(QChart* chart, const ReportPlot& plot) {
  // What a logarithmic axis cannot show (0 and below) is left out.
  auto shown = [&](double x, double y) { return (!plot.x.log || x > 0) && (!plot.y.log || y > 0); };
  const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};
  for (const PlotLine& line : plot.lines) {
    auto* series = new QLineSeries;
    series->setName(QString::fromStdString(line.name));
    series->setPen(QPen(QColor::fromRgb(line.rgb), line.width, styles[line.style]));
    series->setPointsVisible(line.points);
    if (line.style == PlotLine::Dotted) series->setMarkerSize(4);
    QList<QPointF> points;
    for (size_t i = 0; i < line.x.size() && i < line.y.size(); ++i)
      if (shown(line.x[i], line.y[i])) points << QPointF(line.x[i], line.y[i]);
    series->replace(points);
    chart->addSeries(series);
  }
  static const QScatterSeries::MarkerShape kShapes[] = {
      QScatterSeries::MarkerShapeRotatedRectangle, QScatterSeries::MarkerShapeRectangle,
      QScatterSeries::MarkerShapeTriangle,         QScatterSeries::MarkerShapeCircle,
      QScatterSeries::MarkerShapeStar,             QScatterSeries::MarkerShapePentagon};
  for (const PlotMarks& marks : plot.marks) {
    auto* series = new QScatterSeries;
    series->setName(QString::fromStdString(marks.name));
    series->setMarkerShape(kShapes[marks.shape]);
    series->setMarkerSize(11);
    series->setColor(Qt::black);
    series->setBorderColor(Qt::black);
    for (size_t i = 0; i < marks.x.size() && i < marks.y.size(); ++i)
      if (shown(marks.x[i], marks.y[i])) series->append(marks.x[i], marks.y[i]);
    chart->addSeries(series);
  }
  QAbstractAxis* x = AxisOf(plot.x);
  QAbstractAxis* y = AxisOf(plot.y);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series : chart->series()) {
    series->attachAxis(x);
    series->attachAxis(y);
  }
  ShowWrappingLegend(chart);
}

void UseTableNumbers(QChart* chart) {
  QLocale locale;
  locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
  chart->setLocale(locale);
  chart->setLocalizeNumbers(true);
}

QComboBox* FrequencyUnitBox(QWidget* parent, const QString& key) {
  auto* box = new QComboBox(parent);
  for (FrequencyUnit unit : {FrequencyUnit::P, FrequencyUnit::Hertz, FrequencyUnit::Rpm})
    box->addItem(QString::fromStdString(FrequencyUnitName(unit)), static_cast<int>(unit));
  box->setCurrentIndex(std::clamp(Remembered(key, 0).toInt(), 0, box->count() - 1));
  QObject::connect(box, &QComboBox::currentIndexChanged, box, [key](int index) { Remember(key, index); });
  box->setToolTip("Единицы оси частот; Гц и об/мин - при единицах СИ");
  return box;
}

FrequencyUnit UnitOf(const QComboBox* box) { return static_cast<FrequencyUnit>(box->currentData().toInt()); }

}  // namespace vp
