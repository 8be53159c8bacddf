#include "frequency_count.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fpcheck.h"

namespace vp {

FrequencyCounter::FrequencyCounter(const TShaftModel& model, int variant) {
  // Sections 1..E take part, E the last cross-section that closes a span.
  int E = 0;
  for (int j = 1; j <= model.KZ; ++j) E = std::max(E, std::min(model.SpanEnd[j], model.KM));
  if (E < 1) {
    problem_ = "ни один пролет не замыкается на валу";
    return;
  }
  size_ = 2 * (E + 1);
  k_.assign(static_cast<size_t>(size_) * (kBand + 1), 0.0);
  m_.assign(size_, 0.0);
  auto K = [this](int i, int j) -> double& {
    if (j > i) std::swap(i, j);
    return k_[static_cast<size_t>(i) * (kBand + 1) + (i - j)];
  };
  for (int i = 1; i <= E; ++i) {
    const double l = model.SectionLength[i], EI = model.SectionEI[i], m = model.SectionMass[i];
    if (!(l > 0) || !(EI > 0) || !(m >= 0) || !std::isfinite(l * EI * m)) {
      problem_ = "участок " + std::to_string(i) + ": длина и жесткость должны быть больше нуля, масса не меньше нуля";
      return;
    }
    const double c = EI / (l * l * l);
    const double e[4][4] = {{12 * c, 6 * l * c, -12 * c, 6 * l * c},
                            {6 * l * c, 4 * l * l * c, -6 * l * c, 2 * l * l * c},
                            {-12 * c, -6 * l * c, 12 * c, -6 * l * c},
                            {6 * l * c, 2 * l * l * c, -6 * l * c, 4 * l * l * c}};
    const int base = 2 * (i - 1);
    for (int r = 0; r < 4; ++r)
      for (int s = 0; s <= r; ++s) K(base + r, base + s) += e[r][s];
    m_[base] += m;  // the section's mass at its left cross-section
  }
  for (int s = 1; s <= model.N; ++s) {
    const int at = model.SupportSection[s];
    if (at >= 1 && at <= E) K(2 * at, 2 * at) += model.SupportStiffness[s][variant];
  }
  // The count holds only when the massless unknowns are held by the massive ones.
  if (Negatives(0, true) != 0) problem_ = "безмассовые части вала не закреплены";
}

// Negative pivots of LDL^T of K - lambda M; with masslessOnly, of K with the
// massive unknowns held fixed.
int FrequencyCounter::Negatives(double lambda, bool masslessOnly) const {
  std::vector<double> a = k_;
  auto A = [&](int i, int j) -> double& { return a[static_cast<size_t>(i) * (kBand + 1) + (i - j)]; };
  double scale = 0;
  for (int i = 0; i < size_; ++i) {
    if (masslessOnly && m_[i] > 0) {
      for (int j = std::max(0, i - kBand); j < i; ++j) A(i, j) = 0;
      for (int j = i + 1; j <= std::min(size_ - 1, i + kBand); ++j) A(j, i) = 0;
      A(i, i) = 1;
    } else {
      A(i, i) -= lambda * m_[i];
    }
    scale = std::max(scale, std::fabs(A(i, i)));
  }
  const double tiny = std::numeric_limits<double>::epsilon() * (scale > 0 ? scale : 1);
  std::vector<double> d(size_);
  int negatives = 0;
  for (int i = 0; i < size_; ++i) {
    // Row i of L (stored in place of A's lower band) and the pivot d[i].
    for (int j = std::max(0, i - kBand); j < i; ++j) {
      double sum = A(i, j);
      for (int k = std::max(0, i - kBand); k < j; ++k) sum -= A(i, k) * A(j, k) * d[k];
      A(i, j) = sum / d[j];
    }
    double pivot = A(i, i);
    for (int k = std::max(0, i - kBand); k < i; ++k) pivot -= A(i, k) * A(i, k) * d[k];
    if (masslessOnly && pivot <= tiny) return 1;
    if (pivot == 0) pivot = tiny;
    d[i] = pivot;
    if (pivot < 0) ++negatives;
  }
  return negatives;
}

int FrequencyCounter::CountBelow(double omega) const { return Negatives(omega * omega, false); }

CompletenessReport CheckCompleteness(const TShaftModel& model, int variant, double start, double end,
                                     const std::vector<double>& found, double resolution) {
  CompletenessReport report;
  report.found = static_cast<int>(found.size());
  report.start = start;
  report.end = end;
  const FrequencyCounter counter(model, variant);
  if (!counter.Problem().empty()) {
    report.problem = counter.Problem();
    return report;
  }
  // Rigid-body motion has frequency 0 in exact arithmetic and a rounding-sized
  // one in floating point: the range starts a little above 0.
  const double low = std::max({start, 0.0, 1e-5 * std::fabs(end)});
  if (!(end > low)) {
    report.checked = true;
    return report;
  }
  const int below = counter.CountBelow(low);
  const int upto = counter.CountBelow(end);
  report.checked = true;
  report.inRange = upto - below;
  if (report.inRange <= report.found) return report;

  // Isolate each frequency of the range by bisection on the count, then take
  // away the ones near a found frequency.
  const double width = std::max(resolution, 1e-12 * end);
  std::vector<std::pair<double, double>> all;
  for (int index = below; index < upto; ++index) {
    double a = low, b = end;  // CountBelow(a) <= index < CountBelow(b)
    for (int step = 0; step < 200 && b - a > width; ++step) {
      const double mid = 0.5 * (a + b);
      (counter.CountBelow(mid) > index ? b : a) = mid;
    }
    all.emplace_back(a, b);
  }
  std::vector<bool> matched(all.size(), false);
  for (double f : found) {
    // The nearest frequency of the shaft not yet matched.
    int best = -1;
    double bestDistance = 0;
    for (size_t i = 0; i < all.size(); ++i) {
      if (matched[i]) continue;
      const double distance = std::fabs(0.5 * (all[i].first + all[i].second) - f);
      if (best < 0 || distance < bestDistance) {
        best = static_cast<int>(i);
        bestDistance = distance;
      }
    }
    if (best >= 0) matched[best] = true;
  }
  for (size_t i = 0; i < all.size(); ++i)
    if (!matched[i]) report.missed.push_back(all[i]);
  return report;
}

}  // namespace vp

namespace vp {

bool MayHoldFrequency(const FrequencyCounter& counter, double low, double high) {
  if (!(low > 0)) return true;
  ClearFaults();
  const int inside = counter.CountBelow(high * (1 + 1e-6)) - counter.CountBelow(low * (1 - 1e-6));
  const bool fault = HasFault();
  ClearFaults();
  return fault || inside > 0;
}

}  // namespace vp
