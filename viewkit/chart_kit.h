#pragma once
// What the charts share on screen: the maps' axes, numbers as the tables
// write them, and the choice of the unit of the maps' frequencies.

#include <QString>

#include "map_axes.h"
#include "report_plot.h"
#include "stiffness_map_chart.h"

class QChart;
class QChartView;
class QComboBox;
class QLogValueAxis;
class QValueAxis;
class QWidget;

namespace vp {

// A linear axis of a plot: its range, and a labelled tick at every step of its ticks.
QValueAxis* AxisOf(const PlotAxis& axis);
// A logarithmic axis over the span, a labelled tick at every power of ten.
QLogValueAxis* LogAxis(const QString& title, const LogAxisSpan& span);
// A new chart in the view for every drawing of a map: nothing of the chart
// before (its axes and labels leave the scene only when the event loop next
// runs) can show on the new one or on its printed page. The old chart is
// deleted. Titled, square, its legend at the bottom, numbers as the tables
// write them.
QChart* NewMapChart(QChartView* view, const QString& title);
// A chart's axes write numbers as the tables do: with the decimal separator of
// the user's regional settings and without digit grouping.
void UseTableNumbers(QChart* chart);

// The choice "Частота, P" / "Гц" / "об/мин" beside a map, and what it says;
// the choice is remembered under `key` between runs.
QComboBox* FrequencyUnitBox(QWidget* parent, const QString& key);
FrequencyUnit UnitOf(const QComboBox* box);

}  // namespace vp
