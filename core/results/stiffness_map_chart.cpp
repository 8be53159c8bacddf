#include "stiffness_map_chart.h"

#include <algorithm>
#include <cmath>

#include "continuous_shaft.h"
#include "numtext.h"

namespace vp {

namespace {

// Why the supports of variant v have no one positive stiffness.
std::string WhyNoCommonStiffness(const TShaftModel& model, int v, char sep) {
  if (model.N < 1) return "у вала нет опор";
  const double k = model.SupportStiffness[1][v];
  for (int s = 2; s <= std::min(model.N, kMaxSupports); ++s)
    if (model.SupportStiffness[s][v] != k) return "жесткости опор разные, одной жесткостью всех опор вариант не представить";
  return "жесткость опор " + StiffnessText(k, sep) + " - на логарифмической шкале ее нет";
}

// The variants 1..KW on the chart's curves, or among the unmapped with the reason.
void PlaceVariants(const TShaftModel& model, double reportFactor, char sep, StiffnessMapChart& chart,
                   const StopFlag* stop = nullptr) {
  const int curves = static_cast<int>(chart.curves.size());
  for (int v = 1; v <= std::min(model.KW, kMaxVariants); ++v) {
    ThrowIfStopped(stop);
    const std::optional<double> k = CommonVariantStiffness(model, v);
    if (!k) {
      chart.unmapped.push_back({v, WhyNoCommonStiffness(model, v, sep)});
    } else if (*k < chart.range.low || *k > chart.range.high) {
      chart.unmapped.push_back({v, "жесткость опор " + StiffnessText(*k, sep) + " вне диапазона карты"});
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

StiffnessMapChart ChartStiffnessMap(const TShaftModel& model, const StiffnessMapRange& range, double reportFactor,
                                    char decimalSeparator, const StopFlag* stop) {
  StiffnessMapChart chart;
  chart.range = range;
  StiffnessMap map = ComputeStiffnessMap(model, range, stop);
  chart.problem = map.problem;
  if (chart.problem) return chart;
  chart.stiffness = std::move(map.stiffness);
  for (const StiffnessMapLine& line : map.lines) {
    StiffnessMapCurve curve{line.ordinal, {}};
    for (double omega : line.omega) curve.F.push_back(omega * reportFactor);
    chart.curves.push_back(std::move(curve));
  }
  PlaceVariants(model, reportFactor, decimalSeparator, chart, stop);
  return chart;
}

StiffnessMapChart DefaultStiffnessMapChart(const TShaftModel& model, double reportFactor, char decimalSeparator) {
  if (const std::optional<StiffnessMapRange> range = DefaultStiffnessMapRange(model))
    return ChartStiffnessMap(model, *range, reportFactor, decimalSeparator);
  StiffnessMapChart chart;
  chart.problem = Error{ErrorCode::MapNoPositiveStiffness};
  PlaceVariants(model, reportFactor, decimalSeparator, chart);
  return chart;
}

std::string VariantMarkName(const StiffnessMapMark& mark, char decimalSeparator) {
  return "Вариант № " + std::to_string(mark.variant) + " (k = " + StiffnessText(mark.stiffness, decimalSeparator) + ")";
}

std::string UnmappedLine(const UnmappedVariant& variant) {
  return "Вариант № " + std::to_string(variant.variant) + ": " + variant.reason;
}

std::string StiffnessMapRangeLine(const StiffnessMapRange& range, char decimalSeparator) {
  return "Жесткость опор от " + StiffnessText(range.low, decimalSeparator) + " до " +
         StiffnessText(range.high, decimalSeparator) + ", точек карты: " + std::to_string(range.points);
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
