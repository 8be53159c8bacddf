#pragma once
// How many natural frequencies the discrete shaft has below a given frequency,
// independently of the determinant sweep. The shaft is exactly a lumped-mass
// beam, read as ShaftGeometry reads the model: per section a massless uniform
// beam element (l, EI), the section's mass on the deflection of its left
// cross-section, the support springs on the deflections of their
// cross-sections, free ends, sections 1..E; a section of length 0 (a disc
// entered as a point mass) joins its two cross-sections. The count of eigenvalues of
// K - w^2 M below w^2 is the number of negative pivots of its LDL^T
// factorisation (Sylvester's law of inertia: a congruence A = L D L^T keeps
// the numbers of negative, zero and positive eigenvalues, so D counts them);
// the massless slopes and deflections only add positive pivots.
// The factorisation runs node by node along the shaft. A section far stiffer
// than what its left end carries (a very short one) is eliminated in its own
// deformation coordinates, so that its huge EI / l^3 never meets the rest:
// otherwise the rest would drown in its rounding.

#include <optional>
#include <utility>
#include <vector>

#include "errors.h"
#include "shaft_geometry.h"
#include "shaft_model.h"

namespace vp {

class FrequencyCounter {
 public:
  explicit FrequencyCounter(const ShaftGeometry& shaft);
  FrequencyCounter(const TShaftModel& model, int variant);

  // None when the count can be trusted; otherwise why not (the geometry's
  // fault, a section beyond the reach of the numbers, a shaft whose massless
  // parts move freely).
  const std::optional<Error>& Fault() const { return fault_; }

  // Natural frequencies (in the search variable) strictly below omega, the
  // rigid-body motions at zero included.
  int CountBelow(double omega) const;

  // Eigenvalues at or below zero: the rigid-body motions the springs leave
  // free (two for a free shaft, one when every spring acts at one place), and
  // with a negative spring also the motions it makes unstable. The k-th
  // eigenvalue above them is the k-th natural frequency.
  int AtOrBelowZero() const { return atOrBelowZero_; }

 private:
  // Negative pivots of s K - lambda M; with `hold`, of K with the massive
  // deflections held, or -1 when a pivot of that is not positive (then
  // `section`, when given, is set to the section whose numbers overflowed, 0
  // when none did).
  int Negatives(double s, double lambda, bool hold = false, int* section = nullptr) const;

  // Per node n: the mass and spring on its deflection, and the element from
  // node n - 1 (n >= 1): its length, EI and section number.
  struct Node {
    double mass = 0, spring = 0, length = 0, EI = 0;
    int section = 0;
  };
  std::vector<Node> nodes_;
  int atOrBelowZero_ = 0;
  std::optional<Error> fault_;
};

// The share of a frequency to which the count resolves it.
inline constexpr double kCountResolution = 1e-12;

// Gives the frequencies a sweep accepts, one at a time in the order it accepts
// them, their true ordinals: an accepted frequency brackets the natural
// frequency nearest to it that no earlier one took, when that lies within one
// search step (FT1) of it: the sweep saw a sign change, or a small
// determinant, within that step. A closer limit would not hold: where the
// determinant is at the level of rounding (very stiff springs) the refined
// steps land some of them off the zero while the step's bracket still holds it.
class OrdinalAssigner {
 public:
  // The counter must have no Fault(); it must outlive the assigner.
  OrdinalAssigner(const FrequencyCounter& counter, double step) : counter_(counter), step_(step) {}

  // How far from omega a natural frequency may lie to be taken by it: the
  // search step, or what the count resolves where that is more.
  double Window(double omega) const;
  // Whether a natural frequency that no accepted frequency took lies within
  // the window of a value in [low, high]: an accepted value there would take one.
  bool Reaches(double low, double high) const;
  // Whether any natural frequency, taken or not, lies there.
  bool AnyWithin(double low, double high) const;
  // The true ordinal of the next accepted frequency (search variable): one
  // plus the number of non-zero natural frequencies below the one it takes; 0
  // when none is within reach (the frequency is doubtful).
  int Next(double omega);

  // The natural frequencies taken so far, numbered from 0 in ascending order
  // with the ones at or below zero first.
  const std::vector<int>& Taken() const { return taken_; }
  // How far from the frequency last given an ordinal the natural frequency it
  // took lies at most.
  double LastReach() const { return reach_; }

 private:
  // The indices [first, last) of the non-zero natural frequencies in [low, high].
  std::pair<int, int> Within(double low, double high) const;
  // Those that no accepted frequency took.
  std::vector<int> Free(double low, double high) const;

  const FrequencyCounter& counter_;
  double step_;
  std::vector<int> taken_;
  double reach_ = 0;
};

// Whether a natural frequency may lie in [low, high] (search variable): false
// only when the count shows none there, the range widened by a millionth at
// both ends against rounding. A range reaching down to 0 or below always may
// (the determinant's zeros mirror at 0, rigid-body motion sits there), and so
// may one whose count overflows.
bool MayHoldFrequency(const FrequencyCounter& counter, double low, double high);

}  // namespace vp
