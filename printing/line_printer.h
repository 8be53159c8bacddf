#pragma once
// Printing the results as plain text lines: a printer used as a stream of lines
// (line height, page breaks, over-long lines broken), the results printout
// printed through it, and the set-up of a PDF file as the printer.

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <unordered_map>

#include "errors.h"

class QPagedPaintDevice;
class QPrinter;

namespace vp {

struct ResultsSummary;
struct ResultsTables;
struct TMainFormModel;

// A print job that cannot start or finish: no printer, a busy printer, a file
// that cannot be written.
class PrintError : public AppError {
 public:
  using AppError::AppError;
};

// Shown instead of the print dialog when the system knows no printer.
extern const char* const kNoPrinterMessage;
// Asked instead when a print action can save the pages into a PDF file.
extern const char* const kNoPrinterOffer;

// Where a print action sends its pages: a printer, or a PDF file ("Сохранить в PDF").
enum class PrintTarget { Printer, Pdf };

// True when the system knows at least one printer. A QPrinter without any
// printer quietly prints into a PDF file, so this is asked of the printer list.
bool PrinterAvailable();
// Throws PrintError(kNoPrinterMessage) when `printerNames` is empty.
void RequirePrinter(const QStringList& printerNames);
void RequirePrinter();

// Text lines drawn down the printable area of a paged device, one after another,
// in the painter's default font (nothing sets another one):
// - the first line of a page at the top left of the printable area;
// - a line is as high as the font's text height plus 2 device dots, an empty
//   line as high as the text height;
// - when the top of the next line would lie less than two line heights above the
//   bottom of the printable area, the next line starts a new page;
// - a line wider than the printable area is broken after the last character that
//   fits and goes on in the next line (at least one character per line).
// A page is begun only when something is drawn on it, so empty lines at the end
// of the stream never add a blank sheet.
class LinePrinter {
 public:
  // Begins the job, in `font` where one is given. Throws PrintError when the
  // device cannot be painted on.
  explicit LinePrinter(QPagedPaintDevice& device, const QFont* font = nullptr);
  // Ends the job if End was not called (errors then go unreported).
  ~LinePrinter();
  LinePrinter(const LinePrinter&) = delete;
  LinePrinter& operator=(const LinePrinter&) = delete;

  // One line of UTF-8 text, without a line break.
  void WriteLine(const std::string& utf8);
  void WriteLine(const char* utf8) { WriteLine(std::string(utf8)); }
  void WriteLine(const QString& text);
  // Ends the job: the pages are printed. Throws PrintError when that fails.
  void End();

  int LineHeight() const { return textHeight_ + 2; }
  int EmptyLineHeight() const { return textHeight_; }
  int PageWidth() const { return pageWidth_; }
  int PageHeight() const { return pageHeight_; }
  // Pages begun so far (the first one with the job).
  int Pages() const { return pages_; }

 private:
  int Fit(const QString& text);
  qreal CharWidth(QChar c);
  void Place(const QString& text);

  QPagedPaintDevice& device_;
  QPainter painter_;
  QFontMetrics metrics_;
  QFontMetricsF exactMetrics_;
  std::unordered_map<char16_t, qreal> charWidths_;
  int textHeight_;
  int pageWidth_;
  int pageHeight_;
  int y_ = 0;              // top of the next line on the current page
  bool pageFull_ = false;  // the next line goes on a new page
  int pendingPages_ = 0;   // pages broken to but not yet begun (nothing drawn there yet)
  int pages_ = 1;
  bool open_ = false;
};

// The width of the printout in characters (its column header, under which
// the section rows line up, with a little room), and the fixed-pitch font in
// which that many fit across the device's printable width (at most 9 points),
// so that its blanks keep its columns.
inline constexpr int kPrintoutColumns = 170;
QFont PrintoutFont(const QPaintDevice& device);
// PrintoutTitle with today's date.
std::string PrintoutTitleToday(const std::string& inputFile);

// Prints the results printout (with the run's summary, its completeness lines
// too) in PrintoutFont, after `title` and an empty line where one is given:
// begins the job, writes the printout's lines and ends the job. A conversion
// failure in the tables ends the job with the lines written so far (they are
// printed) and then propagates with its message.
void PrintResults(QPagedPaintDevice& device, const TMainFormModel& form, const ResultsTables& results,
                  char decimalSeparator, const ResultsSummary* summary = nullptr, const std::string& title = {});

// Runs a print job on `printer`. A printer that writes a PDF file (the batch
// command's --pdf, "print to file" in the print dialog) prints through a
// FileReplacement: with the printer's page layout, resolution and title into a
// new file beside the target, which replaces the target only when written
// whole; a write-protected or unwritable target fails with its reason before
// anything is printed. A failure of `print` after the job ended (a bad entry of
// the printout) keeps what was printed and then propagates.
void RunPrintJob(QPrinter& printer, const std::function<void(QPagedPaintDevice&)>& print);

// Makes `printer` write `fileName` as a PDF: A4 landscape (a section row is
// wider than a portrait page) at 600 dots per inch, margins of 10 points.
void SetUpPdfPrinter(QPrinter& printer, const QString& fileName);

}  // namespace vp
