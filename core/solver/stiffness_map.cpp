#include "stiffness_map.h"

#include <algorithm>
#include <cmath>

#include "continuous_shaft.h"

namespace vp {

std::optional<Error> StiffnessMapRangeFault(const StiffnessMapRange& range) {
  if (!(range.low > 0) || !std::isfinite(range.low)) return Error{ErrorCode::MapLowBound, 0, range.low};
  if (!(range.high > range.low)) return Error{ErrorCode::MapHighBound, 0, range.high};
  if (!std::isfinite(range.high)) return Error{ErrorCode::MapHighNotFinite, 0, range.high};
  if (range.points < 2 || range.points > 1000) return Error{ErrorCode::MapPoints, range.points};
  if (range.ordinals < 1 || range.ordinals > 100) return Error{ErrorCode::MapOrdinals, range.ordinals};
  return std::nullopt;
}

std::optional<StiffnessMapRange> DefaultStiffnessMapRange(const TShaftModel& model) {
  double smallest = 0, largest = 0;
  for (int s = 1; s <= std::min(model.N, kMaxSupports); ++s)
    for (int v = 1; v <= std::min(model.KW, kMaxVariants); ++v) {
      const double k = model.SupportStiffness[s][v];
      if (!(k > 0) || !std::isfinite(k)) continue;
      smallest = smallest > 0 ? std::min(smallest, k) : k;
      largest = std::max(largest, k);
    }
  if (!(smallest > 0)) return std::nullopt;
  return StiffnessMapRange{smallest / 100, largest * 100, 61, StiffnessMapOrdinals(model)};
}

int StiffnessMapOrdinals(const TShaftModel& model) { return std::clamp(model.KP, 1, 6); }

StiffnessMap ComputeStiffnessMap(const TShaftModel& model, const StiffnessMapRange& range, const StopFlag* stop) {
  StiffnessMap map;
  map.problem = StiffnessMapRangeFault(range);
  if (map.problem) return map;
  const double a = std::log(range.low), b = std::log(range.high);
  for (int i = 0; i < range.points; ++i)
    map.stiffness.push_back(i == 0                  ? range.low
                            : i == range.points - 1 ? range.high
                                                    : std::exp(a + (b - a) * i / (range.points - 1)));
  std::vector<std::vector<double>> columns;  // frequencies at each stiffness, ordinals 1..
  for (size_t i = 0; i < map.stiffness.size(); ++i) {
    ThrowIfStopped(stop);
    const ContinuousShaft shaft(model, CommonStiffness{map.stiffness[i]});
    if (shaft.Fault()) {
      map = StiffnessMap{shaft.Fault(), {}, {}};
      return map;
    }
    // Stiffer springs never lower a frequency, and multiplying them by r
    // raises none by more than sqrt(r): the previous column brackets this one.
    std::vector<double> trials;
    if (i > 0) {
      const double rise = std::sqrt(map.stiffness[i] / map.stiffness[i - 1]);
      for (double w : columns.back()) {
        trials.push_back(w * (1 - 1e-9));
        trials.push_back(w * rise * (1 + 1e-9));
      }
    }
    std::vector<double> column;
    for (const OrdinalFrequency& f : shaft.Frequencies(1, range.ordinals, trials)) column.push_back(f.omega);
    if (i > 0 && column.size() != columns.back().size()) {
      map = StiffnessMap{Error{ErrorCode::MapFrequenciesLost}, {}, {}};
      return map;
    }
    columns.push_back(std::move(column));
  }
  for (size_t n = 0; n < columns.front().size(); ++n) {
    StiffnessMapLine line{static_cast<int>(n) + 1, {}};
    for (const std::vector<double>& column : columns) line.omega.push_back(column[n]);
    map.lines.push_back(std::move(line));
  }
  return map;
}

std::optional<double> CommonVariantStiffness(const TShaftModel& model, int variant) {
  if (model.N < 1 || model.N > kMaxSupports || variant < 1 || variant > kMaxVariants) return std::nullopt;
  const double k = model.SupportStiffness[1][variant];
  for (int s = 2; s <= model.N; ++s)
    if (model.SupportStiffness[s][variant] != k) return std::nullopt;
  if (!(k > 0) || !std::isfinite(k)) return std::nullopt;
  return k;
}

}  // namespace vp
