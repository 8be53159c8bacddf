#pragma once
// Printing from the windows: the system's printers, a print job on a printer
// chosen in Qt's print dialog, and a chart of a window on a page.

#include <QSize>
#include <QStringList>

#include <functional>

class QGraphicsWidget;
class QPagedPaintDevice;
class QPrinter;

namespace vp {

// Shown instead of the print dialog when the system knows no printer.
extern const char* const kNoPrinterMessage;
// Asked instead when a print action can save the pages into a PDF file.
extern const char* const kNoPrinterOffer;

// True when the system knows at least one printer. A QPrinter without any
// printer quietly prints into a PDF file, so this is asked of the printer list.
bool PrinterAvailable();
// Throws PrintError(kNoPrinterMessage) when `printerNames` is empty.
void RequirePrinter(const QStringList& printerNames);
void RequirePrinter();

// Runs a print job on `printer`. A printer that writes a PDF file ("print to
// file" in the print dialog) prints through PrintPdfFile with the printer's
// page layout, resolution and title. A job that cannot start on the printer
// names it.
void RunPrintJob(QPrinter& printer, const std::function<void(QPagedPaintDevice&)>& print);

// One page holding the heading above the chart, drawn as what its window
// shows (PrintPicturePage): as large as a picture of `picture` pixels, by
// default the chart's size on the screen.
void PrintChart(QPagedPaintDevice& device, QGraphicsWidget& chart, const QStringList& heading = {}, QSize picture = {});

}  // namespace vp
