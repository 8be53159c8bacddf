#pragma once
// The continuous shaft beside the lumped one: per solved variant, the exact
// natural frequencies of the stepped shaft of the same true ordinals as the
// frequencies the sweep found; Hz and rpm; the scale that lays its mode shape
// over the lumped one.

#include <optional>
#include <string>
#include <vector>

#include "continuous_shaft.h"
#include "results_summary.h"

namespace vp {

// The continuous frequencies in range are listed up to this many.
inline constexpr int kMaxContinuousInRange = 100;
// A found frequency further than this (relative) from the continuous shaft's
// is marked: its sections are too long for their masses to be lumped.
inline constexpr double kLargeDifference = 0.01;

// f = omega / 2 pi and n = 30 omega / pi: Hz and rpm when omega is in rad/s.
double Hertz(double omega);
double Rpm(double omega);

// The continuous shaft's frequency (search variable) of a true ordinal, where
// it lies in [low, high].
std::optional<double> FrequencyOfOrdinalIn(const ContinuousShaft& shaft, int ordinal, double low, double high);

// Compares a solved variant with its continuous shaft by the true ordinals its
// check gave the found frequencies; fills variant.continuous, the continuous
// modes of the frequencies compared included. [low, high] is
// the searched range F1..FK (search variable).
void CompareWithContinuous(const ContinuousShaft& shaft, double low, double high, VariantResult& variant);

// The factor that puts the continuous shaft's deflections (cross-sections
// 0..) onto the lumped mode's at the same cross-sections: the same deflection
// at cross-section 0, or where either line is near zero there (below 5 % of
// its largest), the same largest deflection; of the sign that best matches
// the lumped line (positive sum of the products). 0 when either line is zero.
double CompanionScale(const std::vector<double>& lumped, const std::vector<double>& continuous);

}  // namespace vp
