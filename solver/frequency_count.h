#pragma once
// How many natural frequencies the discrete shaft has below a given frequency,
// independently of the determinant sweep. The shaft is exactly a lumped-mass
// beam: per section a massless uniform beam element (l, EI), the section's mass
// on the deflection of its left cross-section, the support springs on the
// deflections of their cross-sections, free ends, and only the sections the
// spans cover. A section of length 0 (a disc entered as a point mass) is rigid:
// it joins its two cross-sections into one. The count of eigenvalues of
// K - w^2 M below w^2 is the number of negative pivots of the banded LDL^T
// factorisation (Sylvester's law of inertia); the massless slopes and
// deflections only add positive pivots.

#include <string>
#include <utility>
#include <vector>

#include "shaft_model.h"

namespace vp {

class FrequencyCounter {
 public:
  FrequencyCounter(const TShaftModel& model, int variant);

  // Empty when the count can be trusted; otherwise why not (negative masses,
  // non-positive stiffness, a shaft whose massless parts move freely).
  const std::string& Problem() const { return problem_; }

  // Natural frequencies (in the search variable) strictly below omega, the
  // rigid-body motions at zero included.
  int CountBelow(double omega) const;

  // Eigenvalues at or below zero: the rigid-body motions the springs leave
  // free (two for a free shaft, one when every spring acts at one place), and
  // with a negative spring also the motions it makes unstable. The k-th
  // eigenvalue above them is the k-th natural frequency.
  int AtOrBelowZero() const { return atOrBelowZero_; }

 private:
  int Negatives(double s, double lambda, bool masslessOnly) const;

  static constexpr int kBand = 3;  // (y, theta) per cross-section, elements span 4 unknowns
  int size_ = 0;
  std::vector<double> k_;  // lower band of K: k_[i * (kBand + 1) + (i - j)] for j = i-kBand..i
  std::vector<double> m_;  // diagonal of M
  int atOrBelowZero_ = 0;
  std::string problem_;
};

// What the sweep of one variant was asked to do (search variable).
struct SweepSettings {
  double start = 0;      // F1
  double end = 0;        // where the sweep stopped looking: FK, or just past its last frequency
  double step = 0;       // FT1
  double precision = 0;  // EPSF
};

struct CompletenessReport {
  bool checked = false;
  std::string problem;  // why the check could not be made
  int found = 0;        // frequencies the sweep accepted
  int inRange = 0;      // natural frequencies between the start and the end of the sweep
  double start = 0, end = 0;  // the range searched (search variable)
  // Frequencies of the shaft (search variable) that the sweep passed over,
  // each isolated to within the resolution, as intervals [low, high].
  std::vector<std::pair<double, double>> missed;
  // Per accepted frequency, in the order found: its true ordinal, one plus the
  // number of non-zero natural frequencies below it; 0 when no natural
  // frequency lies within a search step of it (the frequency is doubtful).
  std::vector<int> ordinals;
  bool stepBelowPrecision = false;  // FT1 < EPSF: every second trial is accepted

  // Accepted frequencies with a natural frequency of their own.
  int Confirmed() const;
};

// Gives the frequencies a sweep accepts, one at a time in the order it accepts
// them, their true ordinals: an accepted frequency brackets the natural
// frequency nearest to it that no earlier one took, when that lies within one
// search step (FT1) of it: the sweep saw a sign change, or a small
// determinant, within that step. A closer limit would not hold: where the
// determinant is at the level of rounding (very stiff springs) the refined
// steps land some of them off the zero while the step's bracket still holds it.
class OrdinalAssigner {
 public:
  // The counter must have no Problem(); it must outlive the assigner.
  OrdinalAssigner(const FrequencyCounter& counter, double step) : counter_(counter), step_(step) {}

  // The true ordinal of the next accepted frequency (search variable): one
  // plus the number of non-zero natural frequencies below the one it takes; 0
  // when none is within reach (the frequency is doubtful).
  int Next(double omega);

  // The natural frequencies taken so far, numbered from 0 in ascending order
  // with the ones at or below zero first.
  const std::vector<int>& Taken() const { return taken_; }

 private:
  // The natural frequencies within d of omega that no accepted one took.
  std::vector<int> Free(double omega, double d) const;

  const FrequencyCounter& counter_;
  double step_;
  std::vector<int> taken_;
};

// Counts the natural frequencies in the range searched (frequencies of
// rigid-body motion at 0 excluded), gives every accepted frequency (search
// variable, in the order found) the natural frequency it brackets (as
// OrdinalAssigner does) and, where some are left over, locates them.
CompletenessReport CheckCompleteness(const TShaftModel& model, int variant, const SweepSettings& sweep,
                                     const std::vector<double>& found);

}  // namespace vp

namespace vp {

// Whether a natural frequency may lie in [low, high] (search variable): false
// only when the count shows none there, the range widened by a millionth at
// both ends against rounding. A range reaching down to 0 or below always may
// (the determinant's zeros mirror at 0, rigid-body motion sits there), and so
// may one whose count overflows.
bool MayHoldFrequency(const FrequencyCounter& counter, double low, double high);

}  // namespace vp
