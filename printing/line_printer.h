#pragma once
// Printing the results as plain text lines: a printer used as a stream of lines
// (line height, page breaks, over-long lines broken) and the results printout
// printed through it.

#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <string>
#include <unordered_map>

#include "errors.h"

class QPagedPaintDevice;

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

// A line printer's job that could not start: the device cannot be painted on.
// A job on a printer says so in the words the user knows the printer by
// (RunPrintJob, window_printing.h).
class PrintNotStarted : public PrintError {
 public:
  using PrintError::PrintError;
};

// Where a print action sends its pages: a printer, or a PDF file ("Сохранить в PDF").
enum class PrintTarget { Printer, Pdf };

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
  // Begins the job, in `font` where one is given. Throws PrintNotStarted when
  // the device cannot be painted on.
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

}  // namespace vp
