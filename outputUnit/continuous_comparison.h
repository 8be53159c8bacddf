#pragma once
// The continuous shaft beside the lumped one: per solved variant, the exact
// natural frequencies of the stepped shaft of the same true ordinals as the
// frequencies the sweep found, the relative difference, Hz and rpm; as text
// lines (printout, workbook), as the results window's table, and as a second
// line beside each mode shape.

#include <optional>
#include <string>
#include <vector>

#include "continuous_shaft.h"
#include "frequency_count.h"
#include "mode_shape_form_model.h"
#include "results_summary.h"
#include "solver_io.h"
#include "string_table.h"

namespace vp {

// The continuous frequencies in range are listed up to this many.
inline constexpr int kMaxContinuousInRange = 100;
// A found frequency further than this (relative) from the continuous shaft's
// is marked: its sections are too long for their masses to be lumped.
inline constexpr double kLargeDifference = 0.01;
inline constexpr char kLargeDifferenceMark[] = "!";
// The colour of the continuous shaft's line beside a mode shape (RGB).
inline constexpr unsigned kContinuousColour = 0x0050C8;

// f = omega / 2 pi and n = 30 omega / pi: Hz and rpm when omega is in rad/s.
double Hertz(double omega);
double Rpm(double omega);

// The continuous shaft's frequency (search variable) of a true ordinal, where
// it lies in [low, high].
std::optional<double> FrequencyOfOrdinalIn(const ContinuousShaft& shaft, int ordinal, double low, double high);

// Compares a solved variant with its continuous shaft by the true ordinals its
// check gave the found frequencies; fills variant.continuous. [low, high] is
// the searched range F1..FK (search variable).
void CompareWithContinuous(const ContinuousShaft& shaft, double low, double high, VariantResult& variant);

// The comparison of a variant in lines of text: a heading, one line per found
// frequency (P, Hz and rpm of it and of the continuous shaft's frequency of its
// ordinal, the difference in %, marked above 1 %) and the advice when any is
// marked; or one line saying why the continuous shaft cannot be solved.
// Nothing for a variant that was not compared.
std::vector<std::string> ContinuousLines(const VariantResult& variant, double reportFactor, char decimalSeparator);

// What follows a variant's results in the printout and on its workbook sheet:
// the check of completeness, then the comparison with the continuous shaft.
std::vector<std::string> VariantNotes(const VariantResult& variant, double reportFactor, char decimalSeparator);

// The results window's table: a fixed first row of captions and a fixed first
// column of variants, one row per found frequency of every compared variant.
// `markedRows` receives the rows whose difference is above 1 %.
StringTable ContinuousTable(const ResultsSummary& summary, char decimalSeparator, std::vector<int>* markedRows = nullptr);
// Below the table: a line per variant whose continuous shaft cannot be solved,
// and the advice when a difference is above 1 %.
std::vector<std::string> ContinuousNotes(const ResultsSummary& summary);

// The factor that puts the continuous shaft's deflections (cross-sections
// 0..) onto the lumped mode's at the same cross-sections: the same deflection
// at cross-section 0, or where either line is near zero there (below 5 % of
// its largest), the same largest deflection; of the sign that best matches
// the lumped line (positive sum of the products). 0 when either line is zero.
double CompanionScale(const std::vector<double>& lumped, const std::vector<double>& continuous);

// The continuous shaft's line beside the mode shapes of one variant, shown
// while its sweep goes on: each accepted frequency is given its true ordinal
// as it is found (OrdinalAssigner), so every accepted mode must pass through
// Add, in the order found.
class ContinuousModeLine {
 public:
  // `counter` (none when it cannot count) and `shaft` must outlive this.
  ContinuousModeLine(const ContinuousShaft& shaft, const FrequencyCounter* counter, double step, double low,
                     double high, double reportFactor, char decimalSeparator);
  // Sets the form's Series2 and Label8 for the mode just accepted.
  void Add(const ModeResult& mode, TNewFormModel& form);

 private:
  const ContinuousShaft& shaft_;
  std::optional<OrdinalAssigner> ordinals_;
  double low_, high_, factor_;
  char sep_;
};

}  // namespace vp
