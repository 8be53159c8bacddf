#include "map_axes.h"

#include <algorithm>
#include <cmath>

#include "continuous_comparison.h"
#include "numtext.h"

namespace vp {

AxisTicks RoundTicks(double low, double high, int maxIntervals, double minStep) {
  if (!std::isfinite(low) || !std::isfinite(high)) return {};
  if (!(high > low)) high = low + std::max({std::fabs(low), minStep, 1.0});
  maxIntervals = std::max(1, maxIntervals);
  // Multiples of the step within rounding of a bound count as that bound.
  constexpr double kSlack = 1e-9;
  const double unit = PowerOfTen(std::floor(std::log10((high - low) / maxIntervals)));
  for (double decade = unit; std::isfinite(decade); decade *= 10)
    for (double m : {1.0, 2.0, 5.0}) {
      const double step = m * decade;
      if (step < minStep) continue;
      const double first = std::floor(low / step + kSlack), last = std::ceil(high / step - kSlack);
      if (last - first <= maxIntervals) return {first * step, last * step, step};
    }
  return {low, high, high - low};
}

LogAxisSpan LogAxisSpanOf(double low, double high) {
  // A power of ten within rounding of a bound counts as that bound.
  constexpr double kSlack = 1e-9;
  const double a = std::log10(low), b = std::log10(high);
  const double below = std::floor(a + kSlack), above = std::ceil(b - kSlack);
  LogAxisSpan span{low, high};
  // A bound within half a decade of the power of ten beyond it moves out to
  // it, so that the power is labelled.
  if (a - below <= 0.5) span.low = PowerOfTen(below);
  if (above - b <= 0.5) span.high = PowerOfTen(above);
  if (std::floor(std::log10(span.high) + kSlack) - std::ceil(std::log10(span.low) - kSlack) >= 1) return span;
  return {PowerOfTen(below), PowerOfTen(std::max(above, below + 1))};
}

int AxisLabelDigits(double largest, double finest) {
  const auto exponent = [](double x) { return x > 0 && std::isfinite(x) ? static_cast<int>(std::floor(std::log10(x))) : 0; };
  const int whole = std::max(0, exponent(std::fabs(largest)) + 1);
  const int decimals = std::max(0, -exponent(std::fabs(finest)));
  return std::max(1, whole + decimals);
}

std::string AxisLabelFormat(double largest, double finest) {
  return "%." + std::to_string(AxisLabelDigits(largest, finest)) + "g";
}

std::string FrequencyUnitName(FrequencyUnit unit) {
  switch (unit) {
    case FrequencyUnit::Hertz: return "Гц";
    case FrequencyUnit::Rpm: return "об/мин";
    case FrequencyUnit::P: break;
  }
  return "Частота, P";
}

std::string FrequencyAxisTitle(FrequencyUnit unit) {
  if (unit == FrequencyUnit::P) return "Частота, P";
  return "Частота, " + FrequencyUnitName(unit) + " (при единицах СИ)";
}

double FrequencyUnitScale(FrequencyUnit unit, double reportFactor) {
  switch (unit) {
    case FrequencyUnit::Hertz: return Hertz(1 / reportFactor);
    case FrequencyUnit::Rpm: return Rpm(1 / reportFactor);
    case FrequencyUnit::P: break;
  }
  return 1;
}

}  // namespace vp
