#include "continuous_comparison.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vp {

double Hertz(double omega) { return omega / (2 * std::numbers::pi); }
double Rpm(double omega) { return 30 * omega / std::numbers::pi; }

std::optional<double> FrequencyOfOrdinalIn(const ContinuousShaft& shaft, int ordinal, double low, double high) {
  if (ordinal <= 0) return std::nullopt;
  const std::optional<double> omega = shaft.Frequency(ordinal);
  if (omega && *omega >= low && *omega <= high) return omega;
  return std::nullopt;
}

void CompareWithContinuous(const ContinuousShaft& shaft, double low, double high, VariantResult& variant) {
  ContinuousComparison& c = variant.continuous;
  c = ContinuousComparison();
  c.made = true;
  c.low = low;
  c.high = high;
  c.problem = shaft.Fault();
  c.sameOrdinal.assign(variant.modes.size(), std::nullopt);
  c.sameOrdinalModes.assign(variant.modes.size(), std::nullopt);
  if (c.problem) return;
  c.inRange = shaft.FrequenciesIn(low, high, kMaxContinuousInRange, &c.inRangeTotal);
  // Beyond the listed ones only when the list was cut short.
  const bool whole = c.inRange.size() < static_cast<size_t>(kMaxContinuousInRange);
  const std::vector<int>& ordinals = variant.completeness.ordinals;
  for (size_t i = 0; i < variant.modes.size() && i < ordinals.size(); ++i) {
    const int n = ordinals[i];
    if (n <= 0) continue;
    const auto listed = std::find_if(c.inRange.begin(), c.inRange.end(), [n](const OrdinalFrequency& f) { return f.ordinal == n; });
    if (listed != c.inRange.end())
      c.sameOrdinal[i] = listed->omega;
    else if (!whole && n > c.inRange.back().ordinal)
      c.sameOrdinal[i] = FrequencyOfOrdinalIn(shaft, n, low, high);
    if (c.sameOrdinal[i]) c.sameOrdinalModes[i] = shaft.Mode(*c.sameOrdinal[i]);
  }
}

double CompanionScale(const std::vector<double>& lumped, const std::vector<double>& continuous) {
  const size_t n = std::min(lumped.size(), continuous.size());
  double largestLumped = 0, largestContinuous = 0, products = 0;
  for (size_t i = 0; i < n; ++i) {
    largestLumped = std::max(largestLumped, std::fabs(lumped[i]));
    largestContinuous = std::max(largestContinuous, std::fabs(continuous[i]));
    products += lumped[i] * continuous[i];
  }
  if (!(largestLumped > 0 && largestContinuous > 0) || !std::isfinite(largestLumped * largestContinuous)) return 0;
  constexpr double kNearZero = 0.05;
  const bool atStart = std::fabs(lumped[0]) >= kNearZero * largestLumped &&
                       std::fabs(continuous[0]) >= kNearZero * largestContinuous;
  const double size = atStart ? std::fabs(lumped[0] / continuous[0]) : largestLumped / largestContinuous;
  return products < 0 ? -size : size;
}

}  // namespace vp
