#pragma once
// A PDF file as the printer: the pages of the printout and of the report, and
// a print job into a file that is written whole or not at all.

#include <QPageLayout>
#include <QString>

#include <functional>
#include <string>

class QPagedPaintDevice;
class QPdfWriter;

namespace vp {

// How the pages of a PDF file are laid out, and what the file says of itself.
struct PageSetup {
  QPageLayout layout;
  int resolution = 600;  // dots per inch
  QString title, creator;
};

// The printout's pages: A4 landscape (a section row is wider than a portrait
// page) at 600 dots per inch, margins of 10 points.
PageSetup PrintoutPageSetup();
// The report's pages: A4 portrait at 600 dots per inch, margins of 36 points
// across and 30 down, as the report is laid out.
PageSetup ReportPageSetup();

// Gives `writer` the pages' layout, resolution, title and creator.
void SetUpPdfWriter(QPdfWriter& writer, const PageSetup& pages);

// Runs `print` on a PDF writer of `pages` into a FileReplacement of
// `fileName`, which replaces the file only when written whole; a
// write-protected or unwritable target fails with its reason before anything
// is printed. A failure of `print` after the job ended (a bad entry of the
// printout) keeps what was printed and then propagates.
void PrintPdfFile(const std::string& fileName, const PageSetup& pages,
                  const std::function<void(QPagedPaintDevice&)>& print);

}  // namespace vp
