#pragma once
// The results printout as plain lines of text, read back from the results
// tables: per variant a title, per frequency its value and a table of the
// deflection, slope, moment and shear force at every listed section.

#include <functional>
#include <string>

#include "main_form_model.h"
#include "results_summary.h"
#include "results_tables.h"

namespace vp {

// Hands each line to `emit` in order, for a fixed-pitch font. The counts come
// from the main form (KW, KP, KM); a section row has its values right-aligned
// under the ends of the header's captions, so that their decimal points line
// up. A frequency that a variant did not find (an empty cell) has one line
// saying so, with the upper bound FK on the scale of the frequencies (FK times
// the reporting factor, 100). With the run's summary, each variant's notes
// (VariantNotes) follow its frequencies.
// An entry that does not read as a number stops the printout with its
// conversion error; the lines emitted so far stay emitted.
void WritePrintout(const TMainFormModel& form, const ResultsTables& results, char decimalSeparator,
                   const std::function<void(const std::string&)>& emit, const ResultsSummary* summary = nullptr);

// The first line of a printed printout: the program's title, the date and the
// file the input came from (`inputFile`, empty when none).
std::string PrintoutTitle(const std::string& inputFile, const std::string& date);

// The run's input file as the documents name it, " (изменено после загрузки)"
// after it when the run's input differs from the file; empty when there is none.
std::string RunInputName(const ResultsSummary& summary);
// "Файл исходных данных: " and the file's name, or "не задан" for none.
std::string InputFileLine(const std::string& inputFile);

}  // namespace vp
