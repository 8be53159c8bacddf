#pragma once
// The critical-speed map: the lowest natural frequencies of the continuous
// shaft (continuous_shaft.h) against one stiffness k given to every support,
// for k log-spaced over a range. Frequencies rise with k from the nearly free
// shaft (two rigid-body motions on soft springs, then the free-free bending
// frequencies) and level off at those of the shaft on rigid supports; each
// line is non-decreasing.

#include <optional>
#include <string>
#include <vector>

#include "errors.h"
#include "shaft_model.h"
#include "stop_flag.h"

namespace vp {

struct StiffnessMapRange {
  double low = 0, high = 0;  // support stiffness, both ends included
  int points = 0;            // log-spaced stiffnesses, 2..1000
  int ordinals = 0;          // lines for the ordinals 1..ordinals, 1..100
  bool operator==(const StiffnessMapRange&) const = default;
};

// None when the range can be mapped; otherwise why not.
std::optional<Error> StiffnessMapRangeFault(const StiffnessMapRange& range);

// From 1/100 of the smallest to 100 times the largest positive support
// stiffness of the variants 1..KW, 61 points, ordinals min(KP, 6) (at least
// 1); nullopt when no variant has a positive support stiffness
// (ErrorCode::MapNoPositiveStiffness).
std::optional<StiffnessMapRange> DefaultStiffnessMapRange(const TShaftModel& model);
// The lines of a map of this shaft: min(KP, 6), at least 1.
int StiffnessMapOrdinals(const TShaftModel& model);

struct StiffnessMapLine {
  int ordinal;
  std::vector<double> omega;  // at each stiffness of the map (search variable)
};

struct StiffnessMap {
  std::optional<Error> problem;   // nothing was computed, and why
  std::vector<double> stiffness;  // ascending
  // Ordinals 1.. up to the range's count, fewer when the shaft has fewer
  // non-zero natural frequencies (all its mass in point masses).
  std::vector<StiffnessMapLine> lines;
};

// Looks at `stop` (may be null) before each stiffness.
StiffnessMap ComputeStiffnessMap(const TShaftModel& model, const StiffnessMapRange& range,
                                 const StopFlag* stop = nullptr);

// The stiffness shared by all supports 1..N in variant v, which puts the
// variant on the map; nullopt when they differ (or it is not positive).
std::optional<double> CommonVariantStiffness(const TShaftModel& model, int variant);

}  // namespace vp
