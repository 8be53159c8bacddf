#include "ordinals.h"

#include <algorithm>
#include <cmath>

namespace vp {

namespace {

// Narrows [low, high], which holds natural frequency number `index`
// (CountBelow(low) <= index < CountBelow(high)), by bisection on the count
// until it is at most `width` wide.
std::pair<double, double> Isolate(const FrequencyCounter& counter, int index, double low, double high, double width) {
  for (int step = 0; step < 200 && high - low > width; ++step) {
    const double mid = 0.5 * (low + high);
    (counter.CountBelow(mid) > index ? high : low) = mid;
  }
  return {low, high};
}

}  // namespace

int CompletenessReport::Confirmed() const {
  return static_cast<int>(std::count_if(ordinals.begin(), ordinals.end(), [](int n) { return n > 0; }));
}

CompletenessReport CheckCompleteness(const TShaftModel& model, int variant, const SweepSettings& sweep,
                                     const std::vector<double>& found, const StopFlag* stop) {
  CompletenessReport report;
  report.found = static_cast<int>(found.size());
  report.ordinals.assign(found.size(), 0);
  report.refined.assign(found.size(), std::nullopt);
  report.start = sweep.start;
  report.end = sweep.end;
  report.stepBelowPrecision = sweep.step < sweep.precision;
  const FrequencyCounter counter(model, variant);
  if (counter.Fault()) {
    report.problem = counter.Fault();
    return report;
  }
  report.checked = true;
  // Natural frequencies are numbered from 0 in ascending order, the ones at or
  // below zero first.
  const int zero = counter.AtOrBelowZero();
  OrdinalAssigner assigner(counter, sweep.step);
  for (size_t f = 0; f < found.size(); ++f) {
    ThrowIfStopped(stop);
    report.ordinals[f] = assigner.Next(found[f]);
    if (report.ordinals[f] == 0) continue;
    const double reach = assigner.LastReach(), width = kCountResolution * std::fabs(found[f]);
    const auto [low, high] = Isolate(counter, assigner.Taken().back(), found[f] - reach, found[f] + reach, width);
    const double root = 0.5 * (low + high);
    if (std::fabs(root - found[f]) > std::max(sweep.precision, width)) report.refined[f] = root;
  }
  const std::vector<int>& taken = assigner.Taken();

  // The range holds the natural frequencies from its start to its end, and the
  // ones the accepted frequencies took beyond either end.
  const int below = std::max(zero, counter.CountBelow(std::max(sweep.start, 0.0)));
  const int upto = std::max(below, counter.CountBelow(sweep.end));
  report.inRange = upto - below;
  report.inWholeRange = std::max(below, counter.CountBelow(std::max(sweep.upper, 0.0))) - below;
  for (int index : taken) report.inRange += index < below || index >= upto;

  // Isolate each natural frequency of the range that no accepted one took by
  // bisection on the count.
  // A hundredth of the step, or of the range when the step is wider.
  const double width =
      std::max({sweep.precision, std::min(sweep.step, sweep.end - sweep.start) / 100, 1e-12 * sweep.end});
  for (int index = below; index < upto; ++index) {
    if (std::find(taken.begin(), taken.end(), index) != taken.end()) continue;
    ThrowIfStopped(stop);
    report.missed.push_back(Isolate(counter, index, std::max(sweep.start, 0.0), sweep.end, width));
  }
  return report;
}

}  // namespace vp
