#pragma once
// The batch command's JSON document: every frequency and mode of a run at full
// precision, the check of each variant, the continuous shaft beside it, the
// frequency map and the critical-speed map; or the error of a failed load.

#include <QJsonObject>

#include <string>
#include <vector>

#include "errors.h"
#include "results_summary.h"
#include "shaft_model.h"
#include "stiffness_map_chart.h"

namespace vp {

// The document of a run (its members are described in
// docs/valoprovod-cli.schema.json): every variant in the summary, also one
// that failed with what it had found. The member "frequency_map" only with two
// or more variants, "stiffness_map" only with a map; "error" when `error` is
// not empty, "error_code" when `errorCode` is not.
QJsonObject ResultsJson(const TShaftModel& model, const ResultsSummary& summary, const StiffnessMapChart* stiffnessMap,
                        const std::string& error, const std::string& errorCode);

// Adds what the load found: "empty_cells", the cells of the input sheet read
// as 0 for want of a value, when there are any.
void AddLoadWarnings(QJsonObject& document, const std::vector<Warning>& warnings);

// The document of an input that could not be loaded: "error", and "error_code"
// when `errorCode` is not empty.
QJsonObject LoadFailureJson(const std::string& error, const std::string& errorCode);

// The document as the command prints it: one line of UTF-8 ending in "\n".
// Every finite number is written in the shortest form that reads back to the
// same double; a negative zero is written as 0.
std::string JsonText(const QJsonObject& document);

}  // namespace vp
