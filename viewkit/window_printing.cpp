#include "window_printing.h"

#include <QCoreApplication>
#include <QGraphicsScene>
#include <QGraphicsWidget>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <string>

#include "chart_printing.h"
#include "line_printer.h"
#include "pdf_file.h"

namespace vp {

const char* const kNoPrinterMessage = "Не найден ни один принтер. Установите принтер и повторите печать.";
const char* const kNoPrinterOffer = "Не найден ни один принтер. Сохранить в файл PDF, чтобы напечатать его позже?";

bool PrinterAvailable() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

void RequirePrinter(const QStringList& printerNames) {
  if (printerNames.isEmpty()) throw PrintError(kNoPrinterMessage);
}

void RequirePrinter() { RequirePrinter(QPrinterInfo::availablePrinterNames()); }

namespace {

// Why a job could not start on the printer, in the words the user knows it by.
std::string BeginFailure(const QPrinter& printer) {
  // A PDF file with a name is printed through PrintPdfFile, which names the file.
  if (printer.outputFormat() == QPrinter::PdfFormat) return "Не задан файл для печати.";
  if (!printer.printerName().isEmpty())
    return "Не удалось начать печать на принтере \"" + printer.printerName().toStdString() +
           "\". Принтер недоступен или занят.";
  return "Не удалось начать печать. Принтер недоступен или занят.";
}

}  // namespace

void RunPrintJob(QPrinter& printer, const std::function<void(QPagedPaintDevice&)>& print) {
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
    PrintPdfFile(printer.outputFileName().toStdString(),
                 {printer.pageLayout(), printer.resolution(), printer.docName(), printer.creator()}, print);
    return;
  }
  try {
    print(printer);
  } catch (const PrintNotStarted&) {
    throw PrintError(BeginFailure(printer));
  }
}

void PrintChart(QPagedPaintDevice& device, QGraphicsWidget& chart, const QStringList& heading, QSize picture) {
  // A chart just drawn again lays itself out when the event loop next runs:
  // done here, so that the page shows no item of the chart before it.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  if (picture.isEmpty()) picture = chart.size().toSize();
  PrintPicturePage(device, heading, picture, [&](QPainter& painter, const QRectF& place) {
    // The scene draws the chart's items, lines and texts, onto the page itself.
    painter.setRenderHint(QPainter::Antialiasing);
    if (chart.scene()) chart.scene()->render(&painter, place, chart.sceneBoundingRect(), Qt::IgnoreAspectRatio);
  });
}

}  // namespace vp
