#pragma once
// The critical-speed map of a run's shaft in numbers: the curves of its lowest
// natural frequencies (reported, omega times the report factor) over one
// stiffness shared by all supports (stiffness_map.h), and the stiffness
// variants placed on them where the map can show them, or why not. Its texts
// and its plot are in core/results (stiffness_map_chart.h, report_plot.h).

#include <optional>
#include <vector>

#include "shaft_model.h"
#include "stiffness_map.h"
#include "stop_flag.h"

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
  enum Reason {
    NoSupports,       // the shaft has no supports
    UnequalSupports,  // no one stiffness of all supports
    NotOnLogScale,    // their one stiffness is not positive
    OutsideRange,     // their one stiffness lies outside the map's range
  };
  int variant = 0;
  Reason reason = NoSupports;
  double stiffness = 0;  // the supports' one stiffness (NotOnLogScale, OutsideRange)
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

// The map of the shaft over the stiffnesses and points of `range`, for the
// shaft's ordinals (StiffnessMapOrdinals), or over the default range when none
// is given; without a default range (no positive support stiffness) only the
// problem ErrorCode::MapNoPositiveStiffness. Frequencies times reportFactor;
// the variants 1..KW marked or listed. Looks at `stop` (may be null) before
// each stiffness and each variant.
StiffnessMapChart ChartStiffnessMap(const TShaftModel& model, std::optional<StiffnessMapRange> range,
                                    double reportFactor, const StopFlag* stop = nullptr);

}  // namespace vp
