#pragma once
// The main form's texts into the model (steps 1 to 6 of a run), the checks
// that keep a search finite and within its tables, and the echo of what was read.

#include <optional>
#include <string>
#include <vector>

#include "echo_model.h"
#include "errors.h"
#include "main_form_model.h"
#include "shaft_model.h"

namespace vp {

inline constexpr int kMaxFrequencies = 100;
// The solver reports 100 times the search variable.
inline constexpr double kReportFactorValue = 100.0;

// A form's text as an integer or a real; a failure names the field (and, for a
// real written with the other decimal separator, the one in use) and where it is.
int IntField(const std::string& field, const std::string& text, FormPlace place = {});
double RealField(const std::string& field, const std::string& text, char decimalSeparator, FormPlace place = {});

// Steps 1 to 6: the form's texts into the model, in their order; the first
// text that does not convert ends the reading (what was read stays) and is
// returned with its field.
[[nodiscard]] std::optional<Error> ReadForm(const TMainFormModel& form, TShaftModel& model, TSearchParams& params,
                              char decimalSeparator);

// The checks that keep the search finite and within its tables.
[[nodiscard]] std::optional<Error> CheckSearchLimits(const TShaftModel& model, const TSearchParams& params, char decimalSeparator);

// A negative length or EI, which no shaft has: the first one, named by its cell.
[[nodiscard]] std::optional<Error> CheckSections(const TShaftModel& model, char decimalSeparator);

// What a run says before computing: the supports that take no part (outside
// cross-sections 1..E), and a negative mass, which the user is asked about.
std::vector<Error> InactiveSupportFindings(const TShaftModel& model);
std::optional<Error> NegativeMassFinding(const TShaftModel& model, char decimalSeparator);

// Fills the echo form from the model.
void FillEcho(const TShaftModel& model, const TSearchParams& params, TInputFormModel& echo, char decimalSeparator);

}  // namespace vp
