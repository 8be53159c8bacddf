#pragma once
// The batch command's work as a library: the input file loaded, the
// calculation run without windows, and the outputs of a completed run (the
// printout's lines, the critical-speed map, the results workbook, the printout
// as a PDF, the calculation report, the JSON document). The results window
// prints, exports and reports through the same outputs; the batch command
// itself keeps only its arguments, its exit status and its streams.

#include <QCoreApplication>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculation_run.h"
#include "errors.h"
#include "map_axes.h"
#include "stiffness_map_chart.h"

class QPagedPaintDevice;

namespace vp {

// ---- The outputs of a completed run -----------------------------------------

// The printout's first line: the program, today's date and the input file.
std::string RunPrintoutTitle(const ProgramState& st);
// The printout on a paged device (a printer, a PDF writer) after `title`, as
// PrintResults prints it. Throws as PrintResults does.
void PrintRunPrintout(QPagedPaintDevice& device, const ProgramState& st, char decimalSeparator, const std::string& title);
// The printout into the PDF file `path` (PrintPdfFile): after a bad entry the
// lines before it are printed, and the entry's error is returned.
std::optional<Error> WriteRunPrintoutPdf(const std::string& path, const ProgramState& st, char decimalSeparator,
                                         const std::string& title);
// The results workbook ("Импортировать в Excel") with the map's chart sheet.
std::optional<Error> ExportRunWorkbook(const std::string& path, const ProgramState& st, char decimalSeparator,
                                       const StiffnessMapChart* map);
// The calculation report into the PDF file `path`, its maps' frequencies in `unit`.
std::optional<Error> WriteRunReport(const std::string& path, const ProgramState& st, const StiffnessMapChart* map,
                                    FrequencyUnit unit, char decimalSeparator);

// ---- The batch command ---------------------------------------------------------

struct BatchRequest {
  std::string input;  // the input file
  char decimalSeparator = '.';
  bool json = false;  // the JSON document instead of the printout's lines
  std::string pdf, xlsx, report;  // the files to write; empty: none
  double maxSeconds = -1;         // --max-seconds; negative: not given; 0: no limit
  std::optional<StiffnessMapRange> stiffnessMap;  // none: the default range
};

// Where a batch run's texts go: `out` takes the printout or the JSON
// document as bytes (standard output), `err` one message of one or more
// lines at a time, without its line break (standard error).
struct BatchStreams {
  std::function<void(std::string_view)> out;
  std::function<void(const std::string&)> err;
};

// Loads the input, runs the calculation and writes what `request` asks for:
// what the load found, the estimate, findings and the run's own errors are
// told on `err` as they come; the printout's lines or, at the end, the JSON
// document go to `out`; the failures of the outputs are told at the end, each
// message once. Returns every failure, in the order met: none when the
// command succeeded.
std::vector<Error> RunBatch(const BatchRequest& request, const BatchStreams& streams);

// The Qt application a batch run needs: printing one (`printing`) needs the
// GUI part of Qt (fonts, painting), on a platform without windows so that no
// display is needed, and the program's font, so that a printout looks the same
// as from the window. Numbers are then read and written in the "C" form.
std::unique_ptr<QCoreApplication> BatchApplication(int& argc, char** argv, bool printing);

}  // namespace vp
