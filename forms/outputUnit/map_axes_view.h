#pragma once
// What the two frequency maps share on screen: their axes, their numbers and
// the choice of the unit of their frequencies.

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
// write them (the user's decimal separator, no digit grouping).
QChart* NewMapChart(QChartView* view, const QString& title);

// The choice "Частота, P" / "Гц" / "об/мин" beside a map, and what it says.
QComboBox* FrequencyUnitBox(QWidget* parent);
FrequencyUnit UnitOf(const QComboBox* box);

}  // namespace vp
