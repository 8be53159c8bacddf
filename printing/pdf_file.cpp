#include "pdf_file.h"

#include <QPageSize>
#include <QPdfWriter>

#include <exception>

#include "file_output.h"
#include "line_printer.h"

namespace vp {

PageSetup PrintoutPageSetup() {
  return {QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10), QPageLayout::Point)};
}

PageSetup ReportPageSetup() {
  return {QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(36, 30, 36, 30), QPageLayout::Point)};
}

void SetUpPdfWriter(QPdfWriter& writer, const PageSetup& pages) {
  writer.setResolution(pages.resolution);
  writer.setPageLayout(pages.layout);
  writer.setTitle(pages.title);
  writer.setCreator(pages.creator);
}

void PrintPdfFile(const std::string& fileName, const PageSetup& pages,
                  const std::function<void(QPagedPaintDevice&)>& print) {
  FileReplacement file(fileName);
  std::exception_ptr failure;
  {
    QPdfWriter pdf(&file.Device());
    SetUpPdfWriter(pdf, pages);
    try {
      print(pdf);
    } catch (const PrintError&) {
      throw;  // the job never ended: nothing to keep
    } catch (...) {
      failure = std::current_exception();
    }
  }
  file.Commit();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace vp
