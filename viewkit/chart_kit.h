#pragma once
// What the charts share on screen: a plot (report_plot.h) shown as a chart,
// the maps' axes and legend, numbers as the tables write them, and the
// choice of the unit of the maps' frequencies.

#include <QFont>
#include <QGraphicsObject>
#include <QMargins>
#include <QPen>
#include <QString>
#include <vector>

#include "map_axes.h"
#include "report_plot.h"

class QChart;
class QChartView;
class QComboBox;
class QAbstractAxis;
class QWidget;

namespace vp {

// The axis of a plot over its range: a linear one labelled at every step of
// its ticks, a logarithmic one at every power of ten.
QAbstractAxis* AxisOf(const PlotAxis& axis);
// A new chart in the view for every drawing of a map: nothing of the chart
// before (its axes and labels leave the scene only when the event loop next
// runs) can show on the new one or on its printed page. The old chart is
// deleted. Titled, square, numbers as the tables write them; its own legend
// hidden: ShowWrappingLegend() shows the series once they are added.
QChart* NewMapChart(QChartView* view, const QString& title);

// A legend under a chart's plot showing each named series of the chart whole
// (a line with its pen, a dot where the line has points, a mark in its shape),
// in as many rows as the chart's width needs, the plot giving up the room:
// the chart's own legend cuts the labels of many series short. A child item of
// the chart, so that it is drawn, and printed, with it.
class WrappingLegend : public QGraphicsObject {
 public:
  WrappingLegend(QChart* chart, const QFont& font);
  QStringList Labels() const;
  QList<QColor> Colours() const;
  QRectF boundingRect() const override { return QRectF(QPointF(), size_); }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

 private:
  struct Entry {
    QString text;
    QPen pen;  // of a line; NoPen for a mark
    bool dot = false;
    int shape = 0;  // of a mark: QScatterSeries::MarkerShape
    QColor colour;
  };
  // Breaks the entries into rows across the chart's width and takes their room from the plot.
  void Arrange();

  QChart* chart_;
  QFont font_;
  QMargins margins_;  // the chart's own
  std::vector<Entry> entries_;
  std::vector<QPointF> places_;
  QSizeF size_;
};
// Shows the chart's named series in a WrappingLegend, in the font of its own
// legend; the legend it shows.
WrappingLegend* ShowWrappingLegend(QChart* chart);
// The chart's WrappingLegend, or none.
WrappingLegend* LegendOf(const QChart* chart);
// Shows the plot in the chart, as the report paints it: a line series per
// line, a scatter series per set of marks (what a logarithmic axis cannot
// show left out), the axes, and a WrappingLegend of the named series in the
// font of the chart's own legend.
void ShowPlot(QChart* chart, const ReportPlot& plot);
// A chart's axes write numbers as the tables do: with the decimal separator of
// the user's regional settings and without digit grouping.
void UseTableNumbers(QChart* chart);

// The choice "Частота, P" / "Гц" / "об/мин" beside a map, and what it says;
// the choice is remembered under `key` between runs.
QComboBox* FrequencyUnitBox(QWidget* parent, const QString& key);
FrequencyUnit UnitOf(const QComboBox* box);

}  // namespace vp
