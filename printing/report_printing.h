#pragma once
// The calculation report on A4 pages, vector throughout: a header on every
// page (the program, the input file, the time of the run), "Стр. N из M" at
// the foot, the input with the drawing of the shaft, the results per variant,
// the mode shapes several to a page, the maps, the closing line. The shaft's
// drawing and the plots are painted here for the mode-shape window too.

#include <QFont>
#include <QRectF>
#include <QString>

#include "calculation_report.h"

class QPagedPaintDevice;
class QPainter;

namespace vp {

// The report's font: Liberation Sans (Arial where it is missing) of `points`.
QFont ReportFont(double points, bool bold = false);

// The shaft in `area`, its length across the whole width: sections as boxes
// whose height follows EI^(1/4) (those after the last span end grey), point
// masses as discs, supports as springs with their numbers. `unit` is device
// units per point (line widths, text).
void PaintShaft(QPainter& painter, const QRectF& area, const ShaftDrawing& shaft, double unit);

// A plot in `area`: its title, the frame with ticks, labels and grid, the
// lines, the supports under the zero line, the nodes on it, the legend and
// the notes below.
void PaintPlot(QPainter& painter, const QRectF& area, const ReportPlot& plot, double unit);

// Prints the report: begins the job, lays out and paints every page, ends
// it. Throws PrintError when the job cannot start or end.
void PrintCalculationReport(QPagedPaintDevice& device, const CalculationReport& report);

// Where the report comes from: the input file, the time of the run, this
// program's version and the commit it was built from.
ReportSource ReportSourceOf(const std::string& inputFile, const std::string& runTime);

}  // namespace vp
