#pragma once
// The calculation report on A4 pages, vector throughout: a header on every
// page (the program, the input file, the time of the run), "Стр. N из M" at
// the foot, the input with the drawing of the shaft, the results per variant,
// the mode shapes several to a page, the maps, the closing line. The plots
// and the shaft's drawing are painted by plot_painter.h.

#include <QString>

#include "calculation_report.h"

class QPagedPaintDevice;

namespace vp {

// Prints the report: begins the job, lays out and paints every page, ends
// it. Throws PrintError when the job cannot start or end.
void PrintCalculationReport(QPagedPaintDevice& device, const CalculationReport& report);

// Where the report comes from: the input file, the time of the run, this
// program's version and the commit it was built from.
ReportSource ReportSourceOf(const std::string& inputFile, const std::string& runTime);

}  // namespace vp
