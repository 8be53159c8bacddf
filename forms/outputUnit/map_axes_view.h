#pragma once
// What the two frequency maps share on screen: their axes, their numbers and
// the choice of the unit of their frequencies.

#include <QString>

#include "map_axes.h"
#include "report_plot.h"
#include "stiffness_map_chart.h"

class QChart;
class QComboBox;
class QLogValueAxis;
class QValueAxis;
class QWidget;

namespace vp {

// A linear axis of a plot: its range, and a labelled tick at every step of its ticks.
QValueAxis* AxisOf(const PlotAxis& axis);
// A logarithmic axis over the span, a labelled tick at every power of ten.
QLogValueAxis* LogAxis(const QString& title, const LogAxisSpan& span);
// The maps write numbers with the decimal separator of the user's regional
// settings and without digit grouping, as the tables do.
void UseMapNumbers(QChart* chart);

// The choice "Частота, P" / "Гц" / "об/мин" beside a map, and what it says.
QComboBox* FrequencyUnitBox(QWidget* parent);
FrequencyUnit UnitOf(const QComboBox* box);

}  // namespace vp
