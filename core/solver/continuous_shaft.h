#pragma once
// The shaft as a continuous stepped beam, solved exactly.
//
// The same input as the lumped calculation describes it, read as ShaftGeometry
// reads it (sections 1..E, supports at their cross-sections, sections of zero
// length joining theirs): each section i is a uniform Euler-Bernoulli beam of
// length l, bending stiffness EI and mass m spread evenly along it (m/l per
// unit length); a section of zero length is a point mass m at its place; a
// massless section is a massless beam; each support is a spring on the
// deflection of its cross-section; both ends are free.
//
// Natural frequencies come from the exact dynamic stiffness matrix (two
// unknowns, deflection and slope, per cross-section; entries in closed form
// with the hyperbolic functions scaled, power series below beta*l = 1.5) and
// the Wittrick-Williams count: the number of natural frequencies below w is
// the number of negative eigenvalues of the matrix (its 2x2 block LDL^T,
// node by node) plus, per section, the number of its clamped-clamped natural
// frequencies below w (W. H. Wittrick and F. W. Williams, "A general algorithm
// for computing natural frequencies of elastic structures", Q. J. Mech. Appl.
// Math. 24, 1971). Each frequency is isolated by bisection on that count, so
// that none is missed or found twice and each has its ordinal, and then
// converged on the determinant (R. P. Brent, "Algorithms for Minimization
// without Derivatives", 1973, ch. 4) to about 1e-14 relative.
//
// For accuracy the elimination carries short sections by their transfer
// matrices (their stiffness would cancel the digits of their neighbours'),
// cuts a section in halves near its clamped-clamped frequencies, and ends at
// the node where the determinant is least spoilt by rounding. The public
// functions leave the floating-point exception flags as they found them.
//
// Ordinals count the non-zero natural frequencies from 1 upwards; the
// rigid-body motions at frequency 0 (two for a free shaft, one for a shaft held
// at one point) have none.

#include <optional>
#include <string>
#include <vector>

#include "errors.h"
#include "shaft_geometry.h"
#include "shaft_model.h"

namespace vp {

struct OrdinalFrequency {
  int ordinal;   // 1 = the lowest non-zero natural frequency
  double omega;  // search variable
};

// Deflection and slope at cross-sections 0..E of one natural mode, scaled so
// that the largest deflection is +1. Cross-sections after E take no part in
// the model and are not listed.
struct ContinuousMode {
  std::vector<double> y, theta;
};

// Every support given one stiffness (for the map over support stiffness).
struct CommonStiffness {
  double k;
};

class ContinuousShaft {
 public:
  // Ordinals above this are never searched for.
  static constexpr int kMaxOrdinal = 10000;

  explicit ContinuousShaft(const ShaftGeometry& shaft);
  ContinuousShaft(const TShaftModel& model, int variant);
  ContinuousShaft(const TShaftModel& model, CommonStiffness stiffness);

  // None when the shaft can be solved; otherwise why not (the geometry's
  // fault, a section beyond the reach of the numbers, a negative support
  // stiffness, a rigid-body motion without mass).
  const std::optional<Error>& Fault() const { return fault_; }

  // E: the last cross-section that takes part (mode shapes list 0..E).
  int LastCrossSection() const { return E_; }

  // Rigid-body motions at frequency 0: 2 without active supports, 1 when all
  // active supports act at one point, else 0.
  int RigidBodyModes() const { return rigid_; }

  // Natural frequencies strictly below omega > 0, rigid-body motions included.
  // Near 0 the rigid-body ones may be lost in rounding. -1 when the shaft
  // cannot be solved or omega is beyond the reach of the arithmetic.
  int CountBelow(double omega) const;

  // The natural frequency of the given ordinal, if the shaft has it and it
  // lies within the reach of the search (ordinal <= kMaxOrdinal).
  std::optional<double> Frequency(int ordinal) const;

  // Ordinals first..last ascending; stops early where the shaft has no more
  // (a shaft whose mass is all in point masses has finitely many).
  std::vector<OrdinalFrequency> Frequencies(int first, int last) const;

  // The natural frequencies in [low, high], ascending, at most maxCount of
  // them (the lowest). `total` (may be null) receives how many the range
  // holds, from the count alone; -1 when they cannot be counted.
  std::vector<OrdinalFrequency> FrequenciesIn(double low, double high, int maxCount, int* total = nullptr) const;

  // The mode of natural frequency omega (from the null vector of the dynamic
  // stiffness matrix by inverse iteration). Empty when the shaft cannot be
  // solved or omega is not a positive finite number.
  ContinuousMode Mode(double omega) const;

  // Frequencies(first, last) with a search that starts from these trial
  // frequencies too (for example bounds known from a neighbouring problem);
  // they change how fast, not what, it finds (up to rounding).
  std::vector<OrdinalFrequency> Frequencies(int first, int last, const std::vector<double>& trials) const;

 private:
  struct Point;    // one evaluation of the count and the determinant
  class Search;    // the trial frequencies of one search
  struct Section;  // one uniform section at one frequency
  struct Chain;    // the shaft at one frequency as the sweep reads it
  struct SectionKind {
    double l, EI;
    double t;  // t * w^2 = (beta l)^4 = m w^2 l^3 / EI
  };

  // The sections (kinds) to cut in halves for trials in [low, high]: those
  // that come near one of their clamped-clamped frequencies, where their
  // dynamic stiffness has a pole. `clear` says whether the halves then stay
  // away from their own.
  std::vector<char> SplitNear(double low, double high, bool* clear = nullptr) const;
  Chain ChainAt(double omega, const std::vector<char>& split) const;
  // The count and the determinant at omega; the elimination meets at chain
  // node `meet` (-1: the last).
  Point Evaluate(double omega, const std::vector<char>& split, int meet) const;
  Point Evaluate(double omega) const;
  std::vector<OrdinalFrequency> Solve(Search& search, int first, int last) const;
  // The frequency between L (count one less) and H, by Brent's method on the
  // determinant; nullopt where that cannot be trusted and bisection must go on.
  std::optional<double> Converge(Search& search, const std::vector<char>& split, const Point& L,
                                 const Point& H) const;

  std::optional<Error> fault_;
  int E_ = 0;
  int rigid_ = 0;
  std::vector<SectionKind> kinds_;  // distinct sections of non-zero length
  std::vector<int> beamKind_;       // beam b joins node b and node b + 1
  std::vector<double> nodeMass_;    // point masses per node
  std::vector<double> nodeSpring_;  // support stiffness per node
  std::vector<int> nodeOf_;         // cross-section 0..E -> node
  int massiveNodes_ = 0;            // nodes carrying point mass
  bool distributedMass_ = false;    // some section has mass and length
  double omegaGuess_ = 1;           // scale of the lowest frequencies
  double omegaCap_ = 0;             // the search stays below this
  double slopeScale_ = 1;           // a typical section length (scales slopes in Mode)
};

}  // namespace vp
