#pragma once
// The results workbook: the input data, one sheet per stiffness variant, the
// auxiliary table of mode shapes and one line chart per variant and frequency,
// written as an .xlsx file.

#include <optional>
#include <string>

#include "echo_model.h"
#include "errors.h"
#include "main_form_model.h"
#include "results_summary.h"
#include "results_tables.h"
#include "stiffness_map_chart.h"

namespace vp {

// Builds the workbook from the finished calculation and writes it to path,
// replacing a file of that name. Reads the counts and search parameters of the
// main form, the echo form's grids and the results tables, converting their
// texts with the given decimal separator. Frequencies a variant did not find
// (an empty frequency cell) keep their block's title row and nothing else.
// With the run's summary, the frequency map of the variants follows the mode
// charts as the chart sheet "Карта частот", its table below the mode shapes on
// the auxiliary sheet; the last mode chart stays the active sheet.
// With a critical-speed map, the chart sheet "Карта критических скоростей"
// follows (its table below everything else on the auxiliary sheet); a map
// that could not be computed leaves there a line saying why, and no sheet.
// A text that does not convert, or a write that fails, is returned; either
// way no new file is left and an existing one is untouched.
[[nodiscard]] std::optional<Error> ExportResultsWorkbook(const std::string& path, const TMainFormModel& mainForm,
                                           const TInputFormModel& inputForm, const ResultsTables& results,
                                           char decimalSeparator, const ResultsSummary* summary = nullptr,
                                           const StiffnessMapChart* stiffnessMap = nullptr);

}  // namespace vp
