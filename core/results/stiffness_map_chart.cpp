#include "stiffness_map_chart.h"

#include <algorithm>
#include <cmath>

#include "numtext.h"

namespace vp {

std::string VariantMarkName(const StiffnessMapMark& mark, char decimalSeparator) {
  return "Вариант № " + std::to_string(mark.variant) + " (k = " + StiffnessText(mark.stiffness, decimalSeparator) + ")";
}

std::string UnmappedLine(const UnmappedVariant& variant, char decimalSeparator) {
  std::string reason;
  switch (variant.reason) {
    case UnmappedVariant::NoSupports: reason = "у вала нет опор"; break;
    case UnmappedVariant::UnequalSupports:
      reason = "жесткости опор разные, одной жесткостью всех опор вариант не представить";
      break;
    case UnmappedVariant::NotOnLogScale:
      reason = "жесткость опор " + StiffnessText(variant.stiffness, decimalSeparator) + " - на логарифмической шкале ее нет";
      break;
    case UnmappedVariant::OutsideRange:
      reason = "жесткость опор " + StiffnessText(variant.stiffness, decimalSeparator) + " вне диапазона карты";
      break;
  }
  return "Вариант № " + std::to_string(variant.variant) + ": " + reason;
}

std::string StiffnessMapRangeLine(const StiffnessMapRange& range, char decimalSeparator) {
  return "Жесткость опор от " + StiffnessText(range.low, decimalSeparator) + " до " +
         StiffnessText(range.high, decimalSeparator) + ", точек карты: " + std::to_string(range.points);
}

std::vector<std::string> StiffnessMapVariantLines(const StiffnessMapChart& chart, char decimalSeparator) {
  std::vector<std::string> lines;
  for (const StiffnessMapMark& mark : chart.marks) lines.push_back(VariantMarkName(mark, decimalSeparator));
  if (!chart.unmapped.empty()) lines.push_back("Не показаны на карте:");
  for (const UnmappedVariant& variant : chart.unmapped) lines.push_back(UnmappedLine(variant, decimalSeparator));
  return lines;
}

LogAxisSpan StiffnessAxisSpan(const StiffnessMapChart& chart) {
  return LogAxisSpanOf(chart.range.low, chart.range.high);
}

LogAxisSpan FrequencyAxisSpan(const StiffnessMapChart& chart, double scale) {
  double low = INFINITY, high = 0;
  auto take = [&](const std::vector<double>& values) {
    for (double F : values)
      if (F > 0 && std::isfinite(F)) {
        low = std::min(low, F);
        high = std::max(high, F);
      }
  };
  for (const StiffnessMapCurve& curve : chart.curves) take(curve.F);
  for (const StiffnessMapMark& mark : chart.marks) take(mark.F);
  if (!(high > 0)) return {1, 10};
  return LogAxisSpanOf(low * scale / 1.2, high * scale * 1.2);
}

}  // namespace vp
