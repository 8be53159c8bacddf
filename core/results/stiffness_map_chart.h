#pragma once
// The critical-speed map as the program shows, prints, exports and reports
// it: the map over one stiffness shared by all supports (stiffness_map.h) in
// reported frequencies, with the stiffness variants marked where the map can
// show them, and its texts.

#include <optional>
#include <string>
#include <vector>

#include "shaft_model.h"
#include "stiffness_map.h"

namespace vp {

struct StiffnessMapCurve {
  int ordinal = 0;
  std::vector<double> F;  // reported frequency at each stiffness of the map
};

// A variant whose supports all have one stiffness within the map's range,
// with its frequencies on the curves (the continuous shaft's at that
// stiffness, ordinals 1.. as the curves).
struct StiffnessMapMark {
  int variant = 0;
  double stiffness = 0;
  std::vector<double> F;
};

// A variant the map does not show, and why.
struct UnmappedVariant {
  int variant = 0;
  std::string reason;
};

struct StiffnessMapChart {
  StiffnessMapRange range;
  std::optional<Error> problem;   // nothing was computed, and why
  std::vector<double> stiffness;  // ascending
  std::vector<StiffnessMapCurve> curves;
  std::vector<StiffnessMapMark> marks;
  std::vector<UnmappedVariant> unmapped;

  bool Drawn() const { return !problem && !curves.empty(); }
};

// The map of the shaft over the range (ordinals as the range says), with
// frequencies times reportFactor, and the variants 1..KW marked or listed.
// Looks at `stop` (may be null) before each stiffness and each variant.
StiffnessMapChart ChartStiffnessMap(const TShaftModel& model, const StiffnessMapRange& range, double reportFactor,
                                    char decimalSeparator, const StopFlag* stop = nullptr);
// The same over the default range; without one (no positive support
// stiffness) only the problem, ErrorCode::MapNoPositiveStiffness.
StiffnessMapChart DefaultStiffnessMapChart(const TShaftModel& model, double reportFactor, char decimalSeparator);

// "Вариант № 1 (k = 1E8)": a variant on the map.
std::string VariantMarkName(const StiffnessMapMark& mark, char decimalSeparator);
// "Вариант № 2: жесткости опор разные, ...": a variant not on it.
std::string UnmappedLine(const UnmappedVariant& variant);
// "Жесткость опор от 1E6 до 1E11, точек карты: 61"
std::string StiffnessMapRangeLine(const StiffnessMapRange& range, char decimalSeparator);

// The span of a logarithmic axis that shows [low, high] (0 < low <= high):
// a bound within half a decade of the power of ten beyond it moves out to
// that power; a span that then holds fewer than two powers of ten widens to
// whole decades, so that at least two are labelled.
struct LogAxisSpan {
  double low, high;
};
LogAxisSpan LogAxisSpanOf(double low, double high);
// The axes of a drawn map: the stiffness range, and the frequencies of all
// curves and marks (times `scale`, the unit they are shown in) with a little
// room above and below.
LogAxisSpan StiffnessAxisSpan(const StiffnessMapChart& chart);
LogAxisSpan FrequencyAxisSpan(const StiffnessMapChart& chart, double scale = 1);

}  // namespace vp
