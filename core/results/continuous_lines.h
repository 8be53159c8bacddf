#pragma once
// The continuous shaft beside the lumped one in text: lines for the printout
// and the workbook, the results window's table, and the second line beside
// each mode shape.

#include <optional>
#include <string>
#include <vector>

#include "continuous_comparison.h"
#include "mode_shape_form_model.h"
#include "solver_io.h"
#include "string_table.h"

namespace vp {

inline constexpr char kLargeDifferenceMark[] = "!";
// The colour of the continuous shaft's line beside a mode shape (RGB).
inline constexpr unsigned kContinuousColour = 0x0050C8;

// The comparison of a variant in lines of text: a heading, one line per found
// frequency (P, Hz and rpm of it and of the continuous shaft's frequency of its
// ordinal, the difference in %, marked above 1 %) and the advice when any is
// marked; or one line saying why the continuous shaft cannot be solved.
// Nothing for a variant that was not compared.
std::vector<std::string> ContinuousLines(const VariantResult& variant, double reportFactor, char decimalSeparator);

// Why found frequency i of a compared variant has no continuous frequency
// beside it, in short: "вне диапазона" or "не вычислена: ..."; none where it has one.
std::optional<std::string> NoContinuousReason(const VariantResult& variant, size_t i);

// What follows a variant's results in the printout and on its workbook sheet:
// the warnings of the input, the check of completeness, then the comparison
// with the continuous shaft.
std::vector<std::string> VariantNotes(const ResultsSummary& summary, int variant, char decimalSeparator);

// The results window's table: a fixed first row of captions and a fixed first
// column of variants, one row per found frequency of every compared variant:
// its name (with its true ordinal), Hz and rpm, and the continuous shaft's
// frequency of its ordinal, Hz and rpm, and the difference.
// `markedRows` receives the rows whose difference is above 1 %.
StringTable ContinuousTable(const ResultsSummary& summary, char decimalSeparator, std::vector<int>* markedRows = nullptr);
// Below the table: a line per variant whose continuous shaft cannot be solved,
// and the advice when a difference is above 1 %.
std::vector<std::string> ContinuousNotes(const ResultsSummary& summary);
// The same for one variant.
std::vector<std::string> ContinuousNotes(const VariantResult& variant);

// The report's table of a variant's found frequencies, a row each: its number,
// its true ordinal, P (with its refined value), Hz and rpm, the continuous
// shaft's P of its ordinal (or why there is none) and the difference.
// `markedRows` receives the rows (from 0) whose difference is above 1 %.
const std::vector<std::string>& FrequencyRowCaptions();
std::vector<std::vector<std::string>> FrequencyRows(const VariantResult& variant, double reportFactor,
                                                    char decimalSeparator, std::vector<int>* markedRows = nullptr);
// Beside the mode shape of found frequency i in the report: the continuous
// shaft's P of its ordinal and the difference, or why there is none.
std::string ContinuousModeNote(const VariantResult& variant, size_t i, double reportFactor, char decimalSeparator);

// The continuous shaft's line beside the mode shapes of one variant, shown
// while its sweep goes on: the continuous mode of the accepted frequency's
// true ordinal (ModeResult::ordinal).
class ContinuousModeLine {
 public:
  // `shaft` must outlive this.
  ContinuousModeLine(const ContinuousShaft& shaft, double low, double high, double reportFactor,
                     char decimalSeparator);
  // Sets the form's Series2 and Label8 for the mode just accepted.
  void Add(const ModeResult& mode, TNewFormModel& form);

 private:
  const ContinuousShaft& shaft_;
  double low_, high_, factor_;
  char sep_;
};

}  // namespace vp
