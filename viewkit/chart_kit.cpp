#include "chart_kit.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLogValueAxis>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "settings.h"

namespace vp {

QValueAxis* AxisOf(const PlotAxis& plot) {
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

QLogValueAxis* LogAxis(const QString& title, const LogAxisSpan& span) {
  auto* axis = new QLogValueAxis;
  axis->setBase(10);
  axis->setTitleText(title);
  axis->setLabelFormat(QString::fromStdString(AxisLabelFormat(span.high, span.low)));
  // A hair beyond the powers of ten at the ends, so that rounding in their
  // logarithms drops neither label.
  axis->setRange(span.low * (1 - 1e-9), span.high * (1 + 1e-9));
  // 2, 3, ... 9 between the powers of ten while they are few enough to tell apart.
  axis->setMinorTickCount(std::log10(span.high / span.low) <= 6.5 ? 8 : 0);
  return axis;
}

QChart* NewMapChart(QChartView* view, const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->setBackgroundRoundness(0);
  chart->legend()->setAlignment(Qt::AlignBottom);
  UseTableNumbers(chart);
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
  return chart;
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
