#pragma once
// The critical-speed map as the program shows, prints, exports and reports
// it: its texts and the spans of its axes. Its numbers are the analysis's
// (stiffness_map_curves.h), its plot is made in report_plot.h.

#include <string>
#include <vector>

#include "map_axes.h"
#include "shaft_model.h"
#include "stiffness_map_curves.h"

namespace vp {

// "Вариант № 1 (k = 1E8)": a variant on the map.
std::string VariantMarkName(const StiffnessMapMark& mark, char decimalSeparator);
// "Вариант № 2: жесткости опор разные, ...": a variant not on it.
std::string UnmappedLine(const UnmappedVariant& variant, char decimalSeparator);
// "Жесткость опор от 1E6 до 1E11, точек карты: 61"
std::string StiffnessMapRangeLine(const StiffnessMapRange& range, char decimalSeparator);
// Beside the map in its window: the variants on it, then those not on it
// under "Не показаны на карте:".
std::vector<std::string> StiffnessMapVariantLines(const StiffnessMapChart& chart, char decimalSeparator);

// The axes of a drawn map: the stiffness range, and the frequencies of all
// curves and marks (times `scale`, the unit they are shown in) with a little
// room above and below.
LogAxisSpan StiffnessAxisSpan(const StiffnessMapChart& chart);
LogAxisSpan FrequencyAxisSpan(const StiffnessMapChart& chart, double scale = 1);

}  // namespace vp
