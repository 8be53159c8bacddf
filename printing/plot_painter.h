#pragma once
// The pictures of core/results painted onto any QPainter (a page of the
// report, a printed map, a window): a plot (report_plot.h) with its frame,
// ticks, grid, lines, marks, legend and notes, and the drawing of the shaft.
// Sizes are in points, `unit` device units each; texts in the report's font.

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>

#include "report_plot.h"
#include "shaft_drawing.h"

class QPainter;

namespace vp {

// The report's font: Liberation Sans (Arial where it is missing) of `points`.
QFont ReportFont(double points, bool bold = false);
// The grid of a plot, and the rules of the report's tables.
inline const QColor kReportGridColour(215, 215, 215);

// Where a value lies between `from` (the axis's low end) and `to` (its high
// end); NaN for a value a log axis cannot show.
double PlotPlace(const PlotAxis& axis, double value, double from, double to);
// The height of a text in one font, broken into as many lines as `width` needs.
double WrappedTextHeight(const QFontMetricsF& metrics, const QString& text, double width);

// The shaft in `area`, its length across the whole width: sections as boxes
// whose height follows EI^(1/4) (those after the last span end grey), point
// masses as discs, supports as springs with their numbers.
void PaintShaft(QPainter& painter, const QRectF& area, const ShaftDrawing& shaft, double unit);

// A plot in `area`: its title, the frame with ticks, labels and grid, the
// lines and marks, the supports under the zero line, the nodes on it, the
// legend and the notes below.
void PaintPlot(QPainter& painter, const QRectF& area, const ReportPlot& plot, double unit);

}  // namespace vp
