#include "stiffness_map_curves.h"

#include <algorithm>

#include "continuous_shaft.h"

namespace vp {

namespace {

// Why the supports of variant v have no one positive stiffness.
UnmappedVariant WhyNoCommonStiffness(const TShaftModel& model, int v) {
  if (model.N < 1) return {v, UnmappedVariant::NoSupports, 0};
  const double k = model.SupportStiffness[1][v];
  for (int s = 2; s <= std::min(model.N, kMaxSupports); ++s)
    if (model.SupportStiffness[s][v] != k) return {v, UnmappedVariant::UnequalSupports, 0};
  return {v, UnmappedVariant::NotOnLogScale, k};
}

// The variants 1..KW on the chart's curves, or among the unmapped with the reason.
void PlaceVariants(const TShaftModel& model, double reportFactor, StiffnessMapChart& chart, const StopFlag* stop) {
  const int curves = static_cast<int>(chart.curves.size());
  for (int v = 1; v <= std::min(model.KW, kMaxVariants); ++v) {
    ThrowIfStopped(stop);
    const std::optional<double> k = CommonVariantStiffness(model, v);
    if (!k) {
      chart.unmapped.push_back(WhyNoCommonStiffness(model, v));
    } else if (*k < chart.range.low || *k > chart.range.high) {
      chart.unmapped.push_back({v, UnmappedVariant::OutsideRange, *k});
    } else {
      StiffnessMapMark mark{v, *k, {}};
      if (curves > 0)
        for (const OrdinalFrequency& f : ContinuousShaft(model, CommonStiffness{*k}).Frequencies(1, curves))
          mark.F.push_back(f.omega * reportFactor);
      chart.marks.push_back(std::move(mark));
    }
  }
}

}  // namespace

StiffnessMapChart ChartStiffnessMap(const TShaftModel& model, std::optional<StiffnessMapRange> range,
                                    double reportFactor, const StopFlag* stop) {
  StiffnessMapChart chart;
  if (!range) range = DefaultStiffnessMapRange(model);
  if (!range) {
    chart.problem = Error{ErrorCode::MapNoPositiveStiffness};
    PlaceVariants(model, reportFactor, chart, stop);
    return chart;
  }
  range->ordinals = StiffnessMapOrdinals(model);
  chart.range = *range;
  StiffnessMap map = ComputeStiffnessMap(model, *range, stop);
  chart.problem = map.problem;
  if (chart.problem) return chart;
  chart.stiffness = std::move(map.stiffness);
  for (const StiffnessMapLine& line : map.lines) {
    StiffnessMapCurve curve{line.ordinal, {}};
    for (double omega : line.omega) curve.F.push_back(omega * reportFactor);
    chart.curves.push_back(std::move(curve));
  }
  PlaceVariants(model, reportFactor, chart, stop);
  return chart;
}

}  // namespace vp
