#pragma once
// How many natural frequencies the discrete shaft has below a given frequency,
// independently of the determinant sweep. The shaft is exactly a lumped-mass
// beam: per section a massless uniform beam element (l, EI), the section's mass
// on the deflection of its left cross-section, the support springs on the
// deflections of their cross-sections, free ends, and only the sections the
// spans cover. The count of eigenvalues of K - w^2 M below w^2 is the number of
// negative pivots of the banded LDL^T factorisation (Sylvester's law of inertia);
// the massless slopes and deflections only add positive pivots.

#include <string>
#include <vector>

#include "shaft_model.h"

namespace vp {

class FrequencyCounter {
 public:
  FrequencyCounter(const TShaftModel& model, int variant);

  // Empty when the count can be trusted; otherwise why not (negative masses,
  // non-positive stiffness, a shaft whose massless parts move freely).
  const std::string& Problem() const { return problem_; }

  // Natural frequencies (in the search variable) strictly below omega.
  int CountBelow(double omega) const;

 private:
  int Negatives(double lambda, bool masslessOnly) const;

  static constexpr int kBand = 3;  // (y, theta) per cross-section, elements span 4 unknowns
  int size_ = 0;
  std::vector<double> k_;  // lower band of K: k_[i * (kBand + 1) + (i - j)] for j = i-kBand..i
  std::vector<double> m_;  // diagonal of M
  std::string problem_;
};

struct CompletenessReport {
  bool checked = false;
  std::string problem;  // why the check could not be made
  int found = 0;        // frequencies the sweep found
  int inRange = 0;      // natural frequencies between the start and the last trial
  double start = 0, end = 0;  // the range searched (search variable)
  // Frequencies of the shaft (search variable) that the sweep passed over,
  // each isolated to within `resolution`, as intervals [low, high].
  std::vector<std::pair<double, double>> missed;
};

// Counts the natural frequencies in [start, end] (frequencies of rigid-body
// motion at 0 excluded) and, where the sweep found fewer, locates the ones it
// passed over to within `resolution`.
CompletenessReport CheckCompleteness(const TShaftModel& model, int variant, double start, double end,
                                     const std::vector<double>& foundOmegas, double resolution);

}  // namespace vp

namespace vp {

// Whether a natural frequency may lie in [low, high] (search variable): false
// only when the count shows none there, the range widened by a millionth at
// both ends against rounding. A range reaching down to 0 or below always may
// (the determinant's zeros mirror at 0, rigid-body motion sits there), and so
// may one whose count overflows.
bool MayHoldFrequency(const FrequencyCounter& counter, double low, double high);

}  // namespace vp
