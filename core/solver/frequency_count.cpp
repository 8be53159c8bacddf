#include "frequency_count.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fpcheck.h"

namespace vp {

FrequencyCounter::FrequencyCounter(const TShaftModel& model, int variant)
    : FrequencyCounter(ShaftGeometry(model, variant)) {}

FrequencyCounter::FrequencyCounter(const ShaftGeometry& shaft) {
  fault_ = shaft.Fault();
  if (fault_) return;
  // Unknowns (y, theta) per node; the sections 1..E take part.
  const int E = shaft.LastCrossSection();
  size_ = 2 * shaft.Nodes();
  k_.assign(static_cast<size_t>(size_) * (kBand + 1), 0.0);
  m_.assign(size_, 0.0);
  auto K = [this](int i, int j) -> double& {
    if (j > i) std::swap(i, j);
    return k_[static_cast<size_t>(i) * (kBand + 1) + (i - j)];
  };
  for (int i = 1; i <= E; ++i) {
    const double l = shaft.Length(i), EI = shaft.EI(i);
    const int base = 2 * shaft.NodeOf(i - 1);
    m_[base] += shaft.Mass(i);  // the section's mass at its left cross-section
    if (shaft.Joined(i)) continue;
    const double c = EI / (l * l * l);
    const double e[4][4] = {{12 * c, 6 * l * c, -12 * c, 6 * l * c},
                            {6 * l * c, 4 * l * l * c, -6 * l * c, 2 * l * l * c},
                            {-12 * c, -6 * l * c, 12 * c, -6 * l * c},
                            {6 * l * c, 2 * l * l * c, -6 * l * c, 4 * l * l * c}};
    if (!std::isfinite(12 * c) || !std::isfinite(6 * l * c) || !std::isfinite(4 * l * l * c)) {
      fault_ = Error{ErrorCode::SectionBeyondArithmetic, i};
      return;
    }
    for (int r = 0; r < 4; ++r)
      for (int s = 0; s <= r; ++s) K(base + r, base + s) += e[r][s];
  }
  int held = 0;  // places where a spring holds the shaft
  bool negative = false;
  for (int n = 0; n < shaft.Nodes(); ++n) {
    const double spring = shaft.SpringAt(n);
    K(2 * n, 2 * n) += spring;
    held += spring != 0;
    negative = negative || spring < 0;
  }
  // The count holds only when the massless unknowns are held by the massive ones.
  if (Negatives(1, 0, true) != 0) {
    fault_ = Error{ErrorCode::MasslessPartsFree};
    return;
  }
  // With springs of no negative stiffness K is positive semi-definite and its
  // null space is the rigid motions y = a + b x that no spring resists: one
  // spring place leaves one of them, two or more none. That is exact, where a
  // count at a small frequency would depend on how small.
  atOrBelowZero_ = negative ? Negatives(1, 0, false) : 2 - std::min(held, 2);
}

// Negative pivots of LDL^T of s K - lambda M, which has the inertia of
// K - (lambda / s) M for s > 0; with masslessOnly, of K with the massive
// unknowns held fixed.
int FrequencyCounter::Negatives(double s, double lambda, bool masslessOnly) const {
  std::vector<double> a = k_;
  if (s != 1)
    for (double& x : a) x *= s;
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

int FrequencyCounter::CountBelow(double omega) const {
  // Above 1, K / omega^2 - M: omega^2 and omega^2 times a mass cannot overflow.
  // Beyond every natural frequency (omega infinite at the limit) that leaves
  // -M: every unknown with a mass counts.
  omega = std::fabs(omega);
  if (omega <= 1) return Negatives(1, omega * omega, false);
  return Negatives(1 / omega / omega, 1, false);
}

bool MayHoldFrequency(const FrequencyCounter& counter, double low, double high) {
  if (!(low > 0)) return true;
  ClearFaults();
  const int inside = counter.CountBelow(high * (1 + 1e-6)) - counter.CountBelow(low * (1 - 1e-6));
  const bool fault = HasFault();
  ClearFaults();
  return fault || inside > 0;
}

}  // namespace vp
